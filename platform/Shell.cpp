// The notification area on QSystemTrayIcon: one icon per message window and number, its
// activations turned into mouse messages for that window.
#include "platform/Shell.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

namespace platform {
namespace {

// One icon. It belongs to its message window and goes with it, and is listed in its shell's
// icons while it lives.
class TrayIcon final : public QSystemTrayIcon {
public:
    TrayIcon(MessageWindow* window, uint32_t id, std::vector<TrayIcon*>& icons)
        : QSystemTrayIcon(window), Window(window), ID(id), Icons(icons) {
        Icons.push_back(this);
        connect(this, &QSystemTrayIcon::activated, this,
                [this](ActivationReason reason) { Activated(reason); });
    }
    ~TrayIcon() override {
        std::erase(Icons, this);
        delete Mirror;
    }

    // The menu a notification area shows by itself (a StatusNotifierItem host reading the
    // exported menu) is a second menu holding the very actions of the program's menu, so that
    // the program's own menu stays an ordinary pop-up: Qt turns the tray's menu into the
    // exported one.
    void SetMenu(QMenu* menu) {
        if (menu == Source) return;
        if (Source) {
            Source->removeEventFilter(this);
            disconnect(Source, nullptr, this, nullptr);
        }
        DropMirror();
        Source = menu;
        if (!menu) return;
        Mirror = new QMenu;
        Mirror->addActions(menu->actions());
        // Entries added to or taken from the program's menu later are followed.
        menu->installEventFilter(this);
        // Only the pointer is cleared here: the menu is no longer a menu while it is destroyed.
        connect(menu, &QObject::destroyed, this, [this] {
            Source = nullptr;
            DropMirror();
        });
        setContextMenu(Mirror);
    }

    void DropMirror() {
        setContextMenu(nullptr);
        delete Mirror;
        Mirror = nullptr;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == Source && Mirror &&
            (type == QEvent::ActionAdded || type == QEvent::ActionRemoved)) {
            // After the menu's own handling, once the action is in or out.
            QTimer::singleShot(0, this, [this] {
                if (!Source || !Mirror) return;
                for (QAction* action : Mirror->actions())
                    Mirror->removeAction(action);
                Mirror->addActions(Source->actions());
            });
        }
        return false;
    }

    void Apply(const NOTIFYICONDATAA& data) {
        if (data.uFlags & NIF_MESSAGE) {
            CallbackMessage = data.uCallbackMessage;
            HasCallback = true;
        }
        // The picture and the text are set only when they changed, so that a new tooltip does
        // not send the picture to the notification area again.
        if ((data.uFlags & NIF_ICON) && data.hIcon && data.hIcon->cacheKey() != icon().cacheKey())
            setIcon(*data.hIcon);
        if (data.uFlags & NIF_TIP) {
            const QString tip = TipText(data);
            if (tip != toolTip()) setToolTip(tip);
        }
    }

    // Every click on the icon enters the program here: from the tray's `activated` signal
    // (StatusNotifierItem hosts, and X11 trays where Qt reports the press itself) or from
    // Pressed (the presses EmbeddedClicks takes from the X server). From here:
    // 1. MouseMessagesFor gives the mouse messages the activation stands for.
    // 2. Each is posted to the icon's message window as the icon's callback message, the mouse
    //    message in its second parameter. Posted, as the shell does: the window handles them
    //    from the event loop, and a menu shown for one does not hold up whoever reported the
    //    click.
    // 3. The message window runs its window procedure, the component's TrayWndProc, on each;
    //    it reads the pointer then and calls MouseDown, MouseUp or DblClick.
    // 4. The component's click logic: a right press shows its menu at that pointer
    //    (ShowPopupAtCursor), a left release clicks, a double click runs its handler.
    void Activated(ActivationReason reason) {
        if (!HasCallback) return;
        for (const uint32_t mouse : MouseMessagesFor(reason))
            PostMessage(Window, CallbackMessage, ID, static_cast<intptr_t>(mouse));
    }

    // A button press on the icon's window in an X11 notification area (see EmbeddedClicks). A
    // second left press soon after the first, near it, is the second press of a double click.
    void Pressed(uint32_t button, uint32_t time, QPoint at) {
        if (button != XCB_BUTTON_INDEX_1) {
            LastLeftPress.reset();
            if (button == XCB_BUTTON_INDEX_3) Activated(Context);
            if (button == XCB_BUTTON_INDEX_2) Activated(MiddleClick);
            return;
        }
        const QStyleHints* hints = QGuiApplication::styleHints();
        const bool twice = LastLeftPress.has_value() &&
                           time - *LastLeftPress < uint32_t(hints->mouseDoubleClickInterval()) &&
                           (at - LastLeftAt).manhattanLength() <= hints->mouseDoubleClickDistance();
        if (twice) {
            LastLeftPress.reset(); // a third press starts anew
        } else {
            LastLeftPress = time;
            LastLeftAt = at;
        }
        Activated(twice ? DoubleClick : Trigger);
    }

    MessageWindow* const Window;
    const uint32_t ID;

private:
    std::vector<TrayIcon*>& Icons;
    uint32_t CallbackMessage = 0;
    bool HasCallback = false;
    QPointer<QMenu> Source;
    QMenu* Mirror = nullptr;
    std::optional<uint32_t> LastLeftPress;
    QPoint LastLeftAt;
};

// The start of an XInput 2 button event (XI_ButtonPress), as the X server sends it; Qt takes
// mouse input this way where the server offers it.
struct XIButtonEvent {
    uint8_t response_type;
    uint8_t extension;
    uint16_t sequence;
    uint32_t length;
    uint16_t event_type;
    uint16_t deviceid;
    uint32_t time;
    uint32_t detail;
    uint32_t root;
    uint32_t event;
    uint32_t child;
    uint32_t full_sequence;
    int32_t root_x; // 16.16 fixed point
    int32_t root_y;
};
constexpr uint16_t XI_ButtonPress = 4;

// On X11 the icon is a small window of the program's own, embedded in the notification area.
// Qt would report presses on it itself, but it holds them back while an application-modal window
// (a dialog, a message box) is open, and it takes a second right or middle press made soon after
// the first for a double click, which it does not report at all. The icon and its menu must stay
// usable in both cases, so every button press on the icon's window is taken here, from the X
// server's events, and kept from Qt.
class EmbeddedClicks final : public QAbstractNativeEventFilter {
public:
    EmbeddedClicks(uint8_t xinput, const std::vector<TrayIcon*>& icons)
        : XInput(xinput), Icons(icons) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_BUTTON_PRESS) {
            const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
            return Press(press->event, press->detail, press->time,
                         QPoint(press->root_x, press->root_y));
        }
        if (type == XCB_GE_GENERIC && XInput != 0) {
            const auto* press = reinterpret_cast<const XIButtonEvent*>(event);
            if (press->extension == XInput && press->event_type == XI_ButtonPress)
                return Press(press->event, press->detail, press->time,
                             QPoint(press->root_x >> 16, press->root_y >> 16));
        }
        return false;
    }

private:
    // True when the press was on an icon's window and has been handled.
    bool Press(xcb_window_t window, uint32_t button, uint32_t time, QPoint at) {
        if (button < XCB_BUTTON_INDEX_1 || button > XCB_BUTTON_INDEX_3) return false; // wheel
        const QWidget* widget = QWidget::find(window);
        if (!widget || !widget->isWindow()) return false;
        const QRect area(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        for (TrayIcon* icon : Icons) {
            if (icon->isVisible() && icon->geometry() == area) {
                QToolTip::hideText();
                icon->Pressed(button, time, at);
                return true;
            }
        }
        return false;
    }

    const uint8_t XInput; // major opcode of the XInput extension, 0 without it
    const std::vector<TrayIcon*>& Icons;
};

// The icons, and the filter that takes the presses on their windows.
class TrayShell final : public NotifyShell {
public:
    bool NotifyIcon(uint32_t message, const NOTIFYICONDATAA& data) override {
        if (!data.hWnd) return false;
        TrayIcon* icon = Find(data.hWnd, data.uID);
        const bool shown = icon && icon->isVisible();
        switch (message) {
        case NIM_ADD:
            if (shown || !(data.uFlags & NIF_ICON) || !data.hIcon || data.hIcon->isNull())
                return false;
            if (!icon) icon = new TrayIcon(data.hWnd, data.uID, Icons);
            icon->Apply(data);
            WatchEmbeddedClicks();
            // Without a notification area Qt keeps the icon and puts it in when one appears.
            icon->show();
            return true;
        case NIM_MODIFY:
            if (!shown) return false;
            icon->Apply(data);
            return true;
        case NIM_DELETE:
            if (!shown) return false;
            icon->hide();
            return true;
        default:
            return false;
        }
    }

    void NotifyMenu(const NOTIFYICONDATAA& data, QMenu* menu) override {
        if (TrayIcon* icon = Find(data.hWnd, data.uID)) icon->SetMenu(menu);
    }

private:
    TrayIcon* Find(MessageWindow* window, uint32_t id) const {
        for (TrayIcon* icon : Icons)
            if (icon->Window == window && icon->ID == id) return icon;
        return nullptr;
    }

    void WatchEmbeddedClicks() {
        if (Clicks || !qApp) return;
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->connection()) return;
        xcb_connection_t* c = x11->connection();
        static const char name[] = "XInputExtension";
        xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
            c, xcb_query_extension(c, uint16_t(sizeof name - 1), name), nullptr);
        const uint8_t xinput = reply && reply->present ? reply->major_opcode : 0;
        free(reply);
        Clicks = std::make_unique<EmbeddedClicks>(xinput, Icons);
        qApp->installNativeEventFilter(Clicks.get());
    }

    std::vector<TrayIcon*> Icons;
    std::unique_ptr<EmbeddedClicks> Clicks;
};

} // namespace

template <> NotifyShell& Service<NotifyShell>::Real() {
    static TrayShell tray;
    return tray;
}

void SetTip(NOTIFYICONDATAA& data, const QString& text) {
    qsizetype units = 0;
    for (int n = 0; n < TipCharacters && units < text.size(); ++n) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size() &&
                          text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    const QByteArray bytes = text.left(units).toUtf8();
    std::memset(data.szTip, 0, sizeof data.szTip);
    std::memcpy(data.szTip, bytes.constData(),
                size_t(std::min<qsizetype>(bytes.size(), TipFieldSize - 1)));
}

QString TipText(const NOTIFYICONDATAA& data) {
    const char* end = static_cast<const char*>(std::memchr(data.szTip, 0, sizeof data.szTip));
    const qsizetype length = end ? end - data.szTip : qsizetype(sizeof data.szTip);
    return QString::fromUtf8(data.szTip, length);
}

std::vector<uint32_t> MouseMessagesFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    case QSystemTrayIcon::DoubleClick:
        return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case QSystemTrayIcon::Context:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick:
        return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    default:
        return {};
    }
}

bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATAA& data) {
    return Current<NotifyShell>().NotifyIcon(message, data);
}

void SetNotifyMenu(const NOTIFYICONDATAA& data, QMenu* menu) {
    Current<NotifyShell>().NotifyMenu(data, menu);
}

} // namespace platform
