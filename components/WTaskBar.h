// The notification-area icon: the load text as its tooltip, the bar's menu on a right press.
#pragma once

#include "platform/Shell.h"
#include "platform/WindowMessages.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

enum TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };
// Keys held with a mouse event; the icon always reports none.
using TShiftState = Qt::KeyboardModifiers;
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TMouseEvent =
    std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

// The message the shell sends to the icon's message window on mouse input.
constexpr uint32_t TrayCallbackMessage = platform::WM_USER + 123;

// Keeps one icon in the notification area with Hint as its tooltip, receives the shell's
// callback messages in a hidden window of its own and shows PopUpMenu on request.
class TCustomWinTaskbar : public QObject {
    Q_OBJECT
public:
    // The owner must be a top-level window; anything else raises "Invalid class typecast".
    explicit TCustomWinTaskbar(QObject* AOwner);
    ~TCustomWinTaskbar() override;

    // Hint, Icon and ShowIcon are written through these; reading them is reading the fields.
    void SetHint(const QString& Value);
    // An empty icon stands for none.
    void SetIcon(const QIcon& Value);
    void SetShowIcon(bool Value);

    // Adds, changes or removes the icon as ShowIcon, Icon and the current state require.
    void RefreshNotifyIcon();
    // Shows PopUpMenu with its top-left corner at the screen point and returns when it closed.
    void ShowPopupAtCursor(int X, int Y);
    // The window procedure of MessageWindow.
    void TrayWndProc(const platform::TMessage& Message);

    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

    QString Hint;
    QIcon Icon;
    // The request passed on every call to the shell; hIcon set means the icon is in the area.
    platform::NOTIFYICONDATAA IconData;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    // The owning form. Qt looks up its native window at each use, so a window re-created by the
    // stay-on-top switch is always the one addressed.
    QWidget* OwnerWindow = nullptr;
    // Not owned; cleared when the menu is destroyed.
    QPointer<QMenu> PopUpMenu;
    bool ShowIcon = false;
    platform::MessageWindow* MessageWindow = nullptr;
};

// The icon as the program uses it: a right press shows the menu, a left click and a double click
// run OnClick and OnDblClick.
class TWinTaskbar : public TCustomWinTaskbar {
    Q_OBJECT
public:
    using TCustomWinTaskbar::TCustomWinTaskbar;

    void DblClick() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click();

    TNotifyEvent OnClick;
    // Set by a handled double click: the next left release then fires no click.
    bool SkipNextClick = false;
};
