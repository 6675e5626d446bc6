// The notification-area icon: requests to the shell, the callback messages, the click logic.
#include "components/WTaskBar.h"

#include "core/VError.h"

#include <QWidget>

TCustomWinTaskbar::TCustomWinTaskbar(QObject* AOwner) : QObject(AOwner) {
    auto* form = qobject_cast<QWidget*>(AOwner);
    if (!form || !form->isWindow()) throw VantrelError(QStringLiteral("Invalid class typecast"));
    OwnerWindow = form;
    form->winId(); // the owner's native window exists from now on

    MessageWindow = new platform::MessageWindow(
        [this](const platform::TMessage& Message) { TrayWndProc(Message); });
    IconData.cbSize = platform::NotifyIconDataSize;
    IconData.hWnd = MessageWindow;
    IconData.uID = 0;
    IconData.uFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
    IconData.uCallbackMessage = TrayCallbackMessage;
    IconData.hIcon = nullptr;
    platform::SetTip(IconData, Hint);
}

TCustomWinTaskbar::~TCustomWinTaskbar() {
    SetShowIcon(false); // the icon leaves the notification area
    Icon = QIcon();
    delete MessageWindow;
    MessageWindow = nullptr;
}

void TCustomWinTaskbar::SetHint(const QString& Value) {
    if (Value != Hint) {
        platform::SetTip(IconData, Value);
        RefreshNotifyIcon();
    }
    Hint = Value;
}

void TCustomWinTaskbar::SetIcon(const QIcon& Value) {
    Icon = Value;
    // hIcon keeps saying whether the icon is in the area, so that a picture given while
    // ShowIcon is on but no icon is shown (the previous one was empty) adds the icon.
    if (!ShowIcon || Value.isNull()) IconData.hIcon = nullptr;
    RefreshNotifyIcon();
}

void TCustomWinTaskbar::SetShowIcon(bool Value) {
    ShowIcon = Value;
    RefreshNotifyIcon();
}

void TCustomWinTaskbar::RefreshNotifyIcon() {
    uint32_t operation;
    if (ShowIcon && !Icon.isNull()) {
        operation = IconData.hIcon ? platform::NIM_MODIFY : platform::NIM_ADD;
        IconData.hIcon = &Icon;
    } else {
        IconData.hIcon = nullptr;
        operation = platform::NIM_DELETE;
    }
    platform::Shell_NotifyIconA(operation, IconData);
    // Notification areas that show the icon's menu themselves show this one.
    if (operation == platform::NIM_ADD) platform::SetNotifyMenu(IconData, PopUpMenu);
}

void TCustomWinTaskbar::ShowPopupAtCursor(int X, int Y) {
    if (!PopUpMenu) return;
    const QPointer<TCustomWinTaskbar> alive(this);
    platform::SetForegroundWindow(OwnerWindow);
    platform::TrackPopupMenu(PopUpMenu, QPoint(X, Y));
    // The chosen command may have ended the program's windows, and this component with them.
    if (alive) platform::PostMessage(OwnerWindow, platform::WM_USER, 0, 0);
}

void TCustomWinTaskbar::TrayWndProc(const platform::TMessage& Message) {
    const QPoint pt = platform::GetCursorPos();
    if (Message.Msg != TrayCallbackMessage) return;
    const TShiftState none;
    switch (Message.LParam) {
    case platform::WM_LBUTTONDOWN:
        MouseDown(mbLeft, none, pt.x(), pt.y());
        break;
    case platform::WM_LBUTTONUP:
        MouseUp(mbLeft, none, pt.x(), pt.y());
        break;
    case platform::WM_RBUTTONDOWN:
        MouseDown(mbRight, none, pt.x(), pt.y());
        break;
    case platform::WM_RBUTTONUP:
        MouseUp(mbRight, none, pt.x(), pt.y());
        break;
    case platform::WM_MBUTTONDOWN:
        MouseDown(mbMiddle, none, pt.x(), pt.y());
        break;
    case platform::WM_MBUTTONUP:
        MouseUp(mbMiddle, none, pt.x(), pt.y());
        break;
    case platform::WM_LBUTTONDBLCLK:
    case platform::WM_RBUTTONDBLCLK:
    case platform::WM_MBUTTONDBLCLK:
        DblClick();
        break;
    default:
        break;
    }
}

void TCustomWinTaskbar::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TCustomWinTaskbar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TCustomWinTaskbar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------------------------

void TWinTaskbar::DblClick() {
    if (!OnDblClick) return;
    SkipNextClick = true;
    platform::SetForegroundWindow(OwnerWindow);
    OnDblClick(this);
}

void TWinTaskbar::MouseDown(TMouseButton Button, TShiftState, int X, int Y) {
    if (Button == mbRight) ShowPopupAtCursor(X, Y);
}

void TWinTaskbar::MouseUp(TMouseButton Button, TShiftState, int, int) {
    if (Button != mbLeft) return;
    if (SkipNextClick) {
        SkipNextClick = false;
        return;
    }
    Click();
}

void TWinTaskbar::Click() {
    if (!OnClick) return;
    platform::SetForegroundWindow(OwnerWindow);
    OnClick(this);
}
