// Window messages on Qt's event queue, and the pointer, foreground and pop-up menu calls that the
// notification-area icon makes.
#pragma once

#include "platform/Service.h"

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

namespace platform {

constexpr uint32_t WM_USER = 1024;
constexpr uint32_t WM_LBUTTONDOWN = 513;
constexpr uint32_t WM_LBUTTONUP = 514;
constexpr uint32_t WM_LBUTTONDBLCLK = 515;
constexpr uint32_t WM_RBUTTONDOWN = 516;
constexpr uint32_t WM_RBUTTONUP = 517;
constexpr uint32_t WM_RBUTTONDBLCLK = 518;
constexpr uint32_t WM_MBUTTONDOWN = 519;
constexpr uint32_t WM_MBUTTONUP = 520;
constexpr uint32_t WM_MBUTTONDBLCLK = 521;

// One message: its number and both parameters.
struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
};

// A hidden window that only receives messages: never shown, so a modal dialog never disables
// it. Every message that reaches it goes through its window procedure; an error raised there is
// reported and ends the handling of that message only.
class MessageWindow final : public QObject {
public:
    using Procedure = std::function<void(const TMessage& message)>;
    explicit MessageWindow(Procedure procedure);

protected:
    bool event(QEvent* event) override;

private:
    Procedure WndProc;
};

// Queues a message for the target; a message window handles it from the event loop, in the
// order of posting. Any other object receives it as an event it may ignore.
void PostMessage(QObject* target, uint32_t msg, uintptr_t wParam, intptr_t lParam);
// The message a posted event carries, or false when the event is no posted message.
bool PostedMessage(const QEvent* event, TMessage& message);

// The desktop services the notification-area icon needs.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The pointer position in screen pixels, at the moment of the call.
    virtual QPoint CursorPos() = 0;
    // Raises and activates a top-level window; a hidden window is left alone.
    virtual void SetForegroundWindow(QWidget* window) = 0;
    // Shows the menu with its top-left corner at the screen point (moved as needed to stay on
    // the screen) and returns when it has closed; a chosen entry has run by then. A menu that is
    // open already is left as it is.
    virtual void TrackPopupMenu(QMenu* menu, QPoint at) = 0;
};

// The services in use: the real ones, through Qt.
template <> Desktop& Service<Desktop>::Real();

inline QPoint GetCursorPos() {
    return Current<Desktop>().CursorPos();
}
inline void SetForegroundWindow(QWidget* window) {
    Current<Desktop>().SetForegroundWindow(window);
}
inline void TrackPopupMenu(QMenu* menu, QPoint at) {
    Current<Desktop>().TrackPopupMenu(menu, at);
}

} // namespace platform
