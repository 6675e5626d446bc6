// Window messages as posted Qt events; the real pointer, foreground and menu calls.
#include "platform/WindowMessages.h"

#include "platform/ErrorReport.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QWidget>

namespace platform {
namespace {

class MessageEvent final : public QEvent {
public:
    explicit MessageEvent(const TMessage& message) : QEvent(EventType()), Message(message) {}
    static QEvent::Type EventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    TMessage Message;
};

class RealDesktop final : public Desktop {
public:
    QPoint CursorPos() override { return QCursor::pos(); }

    void SetForegroundWindow(QWidget* window) override {
        if (!window || !window->isVisible()) return;
        window->raise();
        window->activateWindow();
    }

    void TrackPopupMenu(QMenu* menu, QPoint at) override {
        // A menu that is already open (a request that came in while it was shown) is not shown
        // a second time from inside its own loop.
        if (menu && !menu->isVisible()) menu->exec(at);
    }
};

} // namespace

MessageWindow::MessageWindow(Procedure procedure) : WndProc(std::move(procedure)) {}

bool MessageWindow::event(QEvent* event) {
    TMessage message;
    if (!PostedMessage(event, message)) return QObject::event(event);
    Guarded([&] {
        if (WndProc) WndProc(message);
    });
    return true;
}

void PostMessage(QObject* target, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (target)
        QCoreApplication::postEvent(target, new MessageEvent(TMessage{msg, wParam, lParam}));
}

bool PostedMessage(const QEvent* event, TMessage& message) {
    if (!event || event->type() != MessageEvent::EventType()) return false;
    message = static_cast<const MessageEvent*>(event)->Message;
    return true;
}

template <> Desktop& Service<Desktop>::Real() {
    static RealDesktop real;
    return real;
}

} // namespace platform
