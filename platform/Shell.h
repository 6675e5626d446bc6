// The notification area: one call adds, changes or removes an icon with its tooltip; mouse input
// on an icon comes back to its message window as the icon's callback message.
#pragma once

#include "platform/WindowMessages.h"

#include <QString>
#include <QSystemTrayIcon>
#include <cstdint>
#include <vector>

class QIcon;

namespace platform {

constexpr uint32_t NIM_ADD = 0;
constexpr uint32_t NIM_MODIFY = 1;
constexpr uint32_t NIM_DELETE = 2;

constexpr uint32_t NIF_MESSAGE = 1;
constexpr uint32_t NIF_ICON = 2;
constexpr uint32_t NIF_TIP = 4;

// Size of the request record in the shell's layout.
constexpr uint32_t NotifyIconDataSize = 88;
// Bytes of the tooltip field; the text holds one fewer and ends in a zero byte.
constexpr int TipFieldSize = 64;

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

// Puts the text into szTip: at most 63 bytes, cut before a character that would not fit whole,
// then a zero byte; the rest of the field is zeroed. The copy never runs past the field.
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
};

// Hands the request to the shell in use.
bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATAA& data);
// Puts another shell in place (not owned); nullptr restores the real one.
void SetNotifyShell(NotifyShell* shell);

// The mouse messages one of Qt's activations stands for. Qt reports presses: a left press as
// Trigger, the second press of a left double click as DoubleClick (with no Trigger of its own), a
// right press as Context and a middle press as MiddleClick.
std::vector<uint32_t> MouseMessagesFor(QSystemTrayIcon::ActivationReason reason);

} // namespace platform
