// The preferences dialog: every setting but the bar's position, and the scheme list.
#pragma once

#include "app/Globals.h"
#include "controls/Form.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <utility>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QSlider;
class TImage;
class Tdirtree;

class TDPrefs : public TForm<QDialog> {
    Q_OBJECT
public:
    TDPrefs();
    ~TDPrefs() override;

    // Controls, in creation order.
    QFrame* Bevel1;            // sunken frame round the banner
    TImage* Image1;            // the banner across the top
    QGroupBox* GroupBox1;      // " Scheme Options ", the left half
    QListWidget* SchemeList;   // the schemes: "<default>" and the folder's sub-folders
    QLabel* Label3;            // "Schemes folder :" over the folder field
    QLineEdit* EditDir;        // the schemes folder field
    QPushButton* Button2;      // "..." beside the folder field: shows the folder tree
    QGroupBox* GroupBox2;      // " Timer Options ", top right
    QLabel* Label1;            // "Refresh delay :" before the delay field
    QLineEdit* EditDelay;      // the delay field (ms)
    QLabel* Label2;            // "(ms)" after the delay field
    QSlider* TrackBar1;        // the delay slider, 0 to 65535
    QGroupBox* GroupBox3;      // " Schemes Folder ": the folder tree, over the right half
    Tdirtree* dirtree1;        // the folder tree
    QPushButton* Button5;      // OK under the folder tree
    QPushButton* Button6;      // Cancel under the folder tree
    QGroupBox* GroupBox4;      // " Position Options "
    QCheckBox* CheckFixPos;    // "Fix position on :"
    QWidget* Panel1;           // the screen picture with the four edge buttons
    QWidget* Shape1;           // the screen in the picture (solid outline)
    QWidget* Shape2;           // a window at the top left of the picture (dotted)
    QWidget* Shape3;           // a window at the bottom right of the picture (dotted)
    QRadioButton* RadioTop;    // top edge button
    QRadioButton* RadioLeft;   // left edge button
    QRadioButton* RadioRight;  // right edge button
    QRadioButton* RadioBottom; // bottom edge button
    QCheckBox* CheckNoMove;    // "Don't move !"
    QCheckBox* CheckAot;       // "Stay Always On Top"
    QGroupBox* GroupBox5;      // " Misc "
    QCheckBox* Checkbartip;    // "Tooltip on bar"
    QLabel* Label4;            // version and copyright, bottom left
    QPushButton* Button1;      // OK of the dialog
    QPushButton* Button3;      // Cancel of the dialog
    QPushButton* Button4;      // Apply of the dialog

    // The key codes the key handlers look at; every other key arrives as some other code.
    static constexpr int VK_RETURN = 13;
    static constexpr int VK_ESCAPE = 27;

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void Button1Click();
    void Button2Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void CheckFixPosClick();
    void EditDirKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void EditDelayKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void EditDelayExit();
    void TrackBar1Change();
    void SchemeListDblClick();

    // Settings to controls.
    void InitPrefs();
    // Controls to settings (OK and Apply).
    void OKClick();
    // The edge buttons are usable only while "Fix position on :" is checked.
    void RefreshRadios();
    // Each edge with its button.
    std::array<std::pair<BarEdge, QRadioButton*>, 4> EdgeButtons() const;
    // Fills SchemeList with "<default>" and the sub-folders of Folder, and selects the entry of
    // the current Scheme.
    void RefreshList(const QString& Folder);

    // The scheme chosen: the selected entry of SchemeList, or null when none is. OK and Apply
    // store it, a double click puts it into effect; the current entry (where the keyboard's
    // focus is) may be another.
    QListWidgetItem* SelectedScheme() const;
    // Sets the track bar's position from the program: clamped to its range, and no
    // TrackBar1Change follows.
    void SetTrackPosition(int32_t Position);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TClickEnd;
    // The delay field's exit (as on leaving it), reporting bad text; false when the text was bad.
    bool RunDelayExit();
    // A mouse press took the focus from the delay field. The field's text is handled before the
    // pressed control acts: when the track bar is pressed, before it moves; when a button is
    // clicked, before its action; otherwise once the press has ended.
    void ExpectClickEnd();
    void ClickEnded();
    // Handles the field's text if a press left it pending (clicked: the button about to act).
    void FinishDelayExit(const QPushButton* clicked);
    QObject* ClickWatcher = nullptr;
    bool DelayExitPending = false;
};
