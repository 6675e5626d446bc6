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
    QFrame* Bevel1;
    TImage* Image1;
    QGroupBox* GroupBox1;
    QListWidget* SchemeList;
    QLabel* Label3;
    QLineEdit* EditDir;
    QPushButton* Button2;
    QGroupBox* GroupBox2;
    QLabel* Label1;
    QLineEdit* EditDelay;
    QLabel* Label2;
    QSlider* TrackBar1;
    QGroupBox* GroupBox3;
    Tdirtree* dirtree1;
    QPushButton* Button5;
    QPushButton* Button6;
    QGroupBox* GroupBox4;
    QCheckBox* CheckFixPos;
    QWidget* Panel1;
    QWidget* Shape1;
    QWidget* Shape2;
    QWidget* Shape3;
    QRadioButton* RadioTop;
    QRadioButton* RadioLeft;
    QRadioButton* RadioRight;
    QRadioButton* RadioBottom;
    QCheckBox* CheckNoMove;
    QCheckBox* CheckAot;
    QGroupBox* GroupBox5;
    QCheckBox* Checkbartip;
    QLabel* Label4;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button4;

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

    // The selected entry of SchemeList, or null when none is.
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
