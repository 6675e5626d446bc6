// Skip-taskbar state on X11, set through xcb on the window Qt created.
#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace platform {
namespace {

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Atoms live as long as the server; each name is asked for once per connection.
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    static xcb_connection_t* cachedFor = nullptr;
    static std::vector<std::pair<const char*, xcb_atom_t>> cache;
    if (cachedFor != c) {
        cache.clear();
        cachedFor = c;
    }
    for (const auto& [known, atom] : cache)
        if (std::strcmp(known, name) == 0) return atom;
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    cache.emplace_back(name, atom);
    return atom;
}

// The X window now showing the widget. Qt may replace it while showing the widget (after a change
// of window flags) without telling the widget, whose own winId() then names the destroyed one.
xcb_window_t LiveWindow(QWidget* window) {
    if (const QWindow* handle = window->windowHandle(); handle && handle->handle())
        return static_cast<xcb_window_t>(handle->winId());
    return static_cast<xcb_window_t>(window->winId());
}

} // namespace

void KeepOffTaskbar(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c || !window) return;
    const xcb_window_t id = LiveWindow(window);
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t wanted[2] = {Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                  Atom(c, "_NET_WM_STATE_SKIP_PAGER")};

    // An unmapped window: the window manager reads the property when the window is mapped.
    // Keep whatever states are already there and add ours.
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    for (xcb_atom_t a : wanted)
        if (std::find(atoms.begin(), atoms.end(), a) == atoms.end()) atoms.push_back(a);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.data());

    // A mapped window: ask the window manager, as the window-manager hints say.
    if (window->isVisible()) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = state;
        event.data.data32[0] = 1; // _NET_WM_STATE_ADD
        event.data.data32[1] = wanted[0];
        event.data.data32[2] = wanted[1];
        event.data.data32[3] = 1; // normal application
        xcb_send_event(c, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
}

bool IsOffTaskbar(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c || !window) return false;
    const xcb_window_t id = LiveWindow(window);
    const xcb_atom_t skip = Atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, Atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64), nullptr);
    bool found = false;
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int n = xcb_get_property_value_length(reply) / 4;
        found = std::find(data, data + n, skip) != data + n;
    }
    free(reply);
    return found;
}

} // namespace platform
