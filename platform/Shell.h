// The notification area: one call adds, changes or removes an icon with its tooltip; mouse input
// on an icon comes back to its message window as the icon's callback message.
#pragma once

#include "platform/Service.h"
#include "platform/WindowMessages.h"

#include <QString>
#include <QSystemTrayIcon>
#include <cstdint>
#include <vector>

class QIcon;
class QMenu;

namespace platform {

constexpr uint32_t NIM_ADD = 0;
constexpr uint32_t NIM_MODIFY = 1;
constexpr uint32_t NIM_DELETE = 2;

constexpr uint32_t NIF_MESSAGE = 1;
constexpr uint32_t NIF_ICON = 2;
constexpr uint32_t NIF_TIP = 4;

// Size of the request record in the shell's layout.
constexpr uint32_t NotifyIconDataSize = 88;
// Characters the tooltip holds, and the bytes of its field: room for that many characters in
// UTF-8 (four bytes at most each) and the zero byte.
constexpr int TipCharacters = 63;
constexpr int TipFieldSize = TipCharacters * 4 + 1;

// The request: which icon (window and number), what is given (uFlags), the callback message
// sent to the window on mouse input, the picture and the tooltip text (UTF-8, zero-terminated).
struct NOTIFYICONDATAA {
    uint32_t cbSize = 0;
    MessageWindow* hWnd = nullptr;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    const QIcon* hIcon = nullptr; // the picture, read when the request is handled; none when null
    char szTip[TipFieldSize] = {};
};

// Puts the text into szTip: its first 63 characters (a character outside the basic plane counts
// as one, never split), then a zero byte; the rest of the field is zeroed. The copy never runs
// past the field.
void SetTip(NOTIFYICONDATAA& data, const QString& text);
// The text held in szTip (up to its zero byte or the end of the field).
QString TipText(const NOTIFYICONDATAA& data);

// The shell's side of the notification area.
class NotifyShell {
public:
    virtual ~NotifyShell() = default;
    // NIM_ADD puts the icon in, NIM_MODIFY changes the parts uFlags names, NIM_DELETE takes it
    // out. Returns false for a refused request, which changes nothing: an add for an icon that is
    // already in, a change or removal of one that is not, an add without a picture or window.
    // An icon added while there is no notification area is kept and shown as soon as one
    // appears.
    virtual bool NotifyIcon(uint32_t message, const NOTIFYICONDATAA& data) = 0;
    // Gives the icon a menu for the notification areas that show an item's menu themselves: the
    // same commands in the same order with the same separators, each choice triggering the very
    // action of the given menu. nullptr takes it away. Areas that report a right click to the
    // program never show it; the program shows its own menu then.
    virtual void NotifyMenu(const NOTIFYICONDATAA& data, QMenu* menu) {
        (void)data;
        (void)menu;
    }
};

// The shell in use: the desktop's notification area, through Qt.
template <> NotifyShell& Service<NotifyShell>::Real();

// Hands the request to the shell in use.
bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATAA& data);
// Hands the icon's menu to the shell in use (see NotifyShell::NotifyMenu).
void SetNotifyMenu(const NOTIFYICONDATAA& data, QMenu* menu);

// The mouse messages one of Qt's activations stands for. Qt reports presses: a left press as
// Trigger, the second press of a left double click as DoubleClick (with no Trigger of its own), a
// right press as Context and a middle press as MiddleClick.
std::vector<uint32_t> MouseMessagesFor(QSystemTrayIcon::ActivationReason reason);

} // namespace platform
