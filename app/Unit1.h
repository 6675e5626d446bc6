// The bar window: start-up, the sampler, dragging, settings read/write and bar scheme loading.
#pragma once

#include "app/Globals.h"
#include "controls/Form.h"

#include <QPoint>
#include <QString>
#include <QWidget>
#include <optional>

class QAction;
class QMenu;
class QTimer;
class TImage;
class TShape;
class TWinTaskbar;

class TVantrel : public TForm<QWidget> {
    Q_OBJECT
public:
    TVantrel();
    ~TVantrel() override;

    // Controls, in painting order.
    TImage* IBack;  // the strip's background (back.bmp)
    TImage* Ibar;   // the load band (bar.bmp), as wide as the load
    TImage* Ibbar;  // start cap of the band (bbar.bmp)
    TImage* Iebar;  // end cap, right after the band (ebar.bmp)
    TImage* ICache; // picture at the right end (cache.bmp), see-through
    TShape* Shape1; // invisible, over the strip: mouse, keyboard, screen reader
    // Holders of the built-in pictures; never shown.
    TImage* res_back;  // built-in back.bmp
    TImage* res_bar;   // built-in bar.bmp
    TImage* res_bbar;  // built-in bbar.bmp
    TImage* res_cache; // built-in cache.bmp
    TImage* res_ebar;  // built-in ebar.bmp

    QMenu* PopupMenu1;        // the right-click menu of the bar and the icon
    QAction* About1;          // "&About..."
    QAction* ShowDetails1;    // "&Show Details" (Ctrl+I)
    QAction* Prefs1;          // "Preferences..." (Ctrl+P)
    QAction* Quit1;           // "&Quit" (Ctrl+Q)
    QAction* Cancel1;         // "&Cancel": closes the menu
    TWinTaskbar* WinTaskbar1; // the notification-area icon
    QTimer* SuperTimer1;      // the sampling timer (TimerDelay)

    // The settings record (with the bar's Top and Left, the ten stored values), the last memory
    // sample with the geometry drawn from it, and whether the details window is open.
    TBarPrefs BarPrefs;
    TMemoryFigures MemFig;
    bool DetailsShown = false;
    // Drag state: a button is held on the strip, pressed at PressX, PressY of the strip.
    bool Dragging = false;
    int32_t PressX = 0;
    int32_t PressY = 0;

    // The bar's tooltip text, and whether it is shown when the mouse rests on the strip.
    QString Hint;
    bool ShowHint = false;

    // Handlers.
    void FormCreate();
    void FormActivate();
    void FormCloseQuery(bool& CanClose);
    // Runs the close query as every close request does; false when the bar is to stay open.
    bool QueryClose();
    // A close query is under way (behind the box of a failed save, say).
    bool Closing() const { return InCloseQuery; }
    // The bar has been shown: start-up is over and every setting has been read.
    bool Started() const { return ShownOnce; }
    void SuperTimer1Timer();
    void About1Click();
    void ShowDetails1Click();
    void Prefs1Click();
    void Quit1Click();
    void Shape1MouseDown(Qt::MouseButton Button, int X, int Y);
    void Shape1MouseMove(int X, int Y);
    void Shape1MouseUp(Qt::MouseButton Button, int X, int Y);

    // One sampling and drawing run.
    void Timer();
    // Repaints the background at once.
    void paintbackground();
    // Applies the scheme named by Dir and Scheme, or the built-in pictures.
    void LoadScheme();
    // The commands that put the settings record into effect; Scheme is a double click in the
    // preferences' scheme list.
    enum class SettingsCommand { StartUp, Apply, Ok, Scheme };
    // Puts the settings record into effect on the bar: for Apply and OK the timer interval, the
    // scheme (after OK and a double click the details window's too), a redraw from scratch and,
    // for Apply and OK, the fixed edge. At start-up a scheme that does not load is reported and
    // the built-in look taken.
    void ApplySettings(SettingsCommand command);
    // Loads the built-in pictures (the default look, "<default>") into the bar's images.
    void LoadPemmet();
    // The settings store: read at creation, written at every close.
    void readprefs();
    void writeprefs();

    // Stay-on-top (1 on, anything else off); setting the state in force does nothing.
    void SetStayOnTop(int32_t aot);
    bool StaysOnTop() const;
    // Moves the bar against the edge BarPos names when FixPos is 1 (the preferences commands).
    void MoveToFixedEdge();
    // Where a position lies once held against the edge BarPos names (the coordinate along the
    // edge kept); none when BarPos names no edge.
    std::optional<QPoint> OnFixedEdge(QPoint position) const;
    // Sets the timer interval as the preferences commands do (an interval of 0 stops it until
    // the next interval above 0).
    void SetTimerInterval(int32_t delay);
    // Shows the pop-up menu at a screen point.
    void PopupAt(const QPoint& screenPos);

    // The position the user gave the bar (the top-left of the window as the window manager
    // frames it): set by the settings, a drag, the edge placement and the preferences; saved at
    // close. Where a window manager puts the bar somewhere else, that is not the user's choice and
    // is not saved.
    int Left() const { return Placed.x(); }
    int Top() const { return Placed.y(); }
    void SetLeft(int left) { Place(QPoint(left, Top())); }
    void SetTop(int top) { Place(QPoint(Left(), top)); }
    void Place(QPoint position);
    // Where the bar is shown: the user's place, or, while not one pixel of it lies on a monitor,
    // the nearest place wholly on the nearest monitor (not saved: the user's place stays).
    QPoint ShownAt() const { return Shown; }

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPoint Placed;
    QPoint Shown;
    // Moves the bar to where its place is shown on the monitors there are now.
    void ShowInSight();
    // A drag step: the place and the window move together.
    void DragTo(QPoint position);
    bool AwaitingPlacement = false;
    // What the window manager is told of a new native window: no taskbar entry, every workspace.
    void MarkNativeWindow();
    void NativeWindowMade() override;
    bool InCloseQuery = false;
    // The timer is switched on (at creation); it fires only while it also has an interval.
    bool TimerEnabled = false;
    // The load a screen reader was last told of.
    int AnnouncedLoad = -1;
    bool ShownOnce = false;
    void BuildControls();
    void BuildMenu();
    // The end of every scheme load: FullBarWidth, BarScale and the left of Ibar from the pictures.
    void SetBarGeometry();
};
