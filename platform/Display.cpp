// Finding a display: knocking at the sockets of the X server and the Wayland compositor.
#include "platform/Display.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace platform {
namespace {

std::string_view Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

// True when a Unix socket at the path (a leading '@': in the abstract namespace) accepts a
// connection.
bool Answers(const std::string& path) {
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size());
    if (path[0] == '@') {
        address.sun_path[0] = '\0';
    } else {
        ++length; // the terminating zero of a path
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    close(fd);
    return connected;
}

bool XServerAnswers(std::string_view display) {
    if (display.empty()) return false;
    const size_t colon = display.rfind(':');
    if (colon == std::string_view::npos) return false;
    const std::string_view host = display.substr(0, colon);
    if (host.empty() || host == "unix") {
        // A local server listens on its socket in the abstract namespace, its file, or both.
        std::string_view number = display.substr(colon + 1);
        number = number.substr(0, number.find('.'));
        const std::string path = "/tmp/.X11-unix/X" + std::string(number);
        return Answers('@' + path) || Answers(path);
    }
    if (host.front() == '/') return Answers(std::string(host)); // a socket named by its path
    // A remote server (a forwarded session, say): one connection tells.
    xcb_connection_t* c = xcb_connect(std::string(display).c_str(), nullptr);
    const bool connected = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return connected;
}

bool CompositorAnswers(std::string_view name) {
    if (name.empty()) return false;
    if (name.front() == '/') return Answers(std::string(name));
    const std::string_view runtime = Env("XDG_RUNTIME_DIR");
    return !runtime.empty() && Answers(std::string(runtime) + '/' + std::string(name));
}

std::string Quoted(std::string_view value) {
    return value.empty() ? std::string("not set") : '"' + std::string(value) + '"';
}

} // namespace

DisplayKind ReachableDisplay() {
    if (XServerAnswers(Env("DISPLAY"))) return DisplayKind::X11;
    if (CompositorAnswers(Env("WAYLAND_DISPLAY"))) return DisplayKind::Wayland;
    return DisplayKind::None;
}

std::string NoDisplayMessage() {
    return "vantrel: no display to show the bar on: no X server answers on DISPLAY (" +
           Quoted(Env("DISPLAY")) + ") and no Wayland compositor on WAYLAND_DISPLAY (" +
           Quoted(Env("WAYLAND_DISPLAY")) + ")";
}

bool CompositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace platform
