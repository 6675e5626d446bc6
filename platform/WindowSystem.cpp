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

// The atoms this layer uses. They live as long as the server, so they are asked for once per
// connection, all three in one round trip.
struct StateAtoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t skipPager = XCB_ATOM_NONE;
};

const StateAtoms& Atoms(xcb_connection_t* c) {
    static xcb_connection_t* cachedFor = nullptr;
    static StateAtoms atoms;
    if (cachedFor == c) return atoms;
    const char* names[3] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                            "_NET_WM_STATE_SKIP_PAGER"};
    xcb_atom_t* targets[3] = {&atoms.state, &atoms.skipTaskbar, &atoms.skipPager};
    xcb_intern_atom_cookie_t cookies[3];
    for (int i = 0; i < 3; ++i)
        cookies[i] = xcb_intern_atom(c, 0, uint16_t(std::strlen(names[i])), names[i]);
    bool complete = true;
    for (int i = 0; i < 3; ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookies[i], nullptr);
        *targets[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        complete = complete && reply;
        free(reply);
    }
    // A failed request is asked again next time.
    cachedFor = complete ? c : nullptr;
    return atoms;
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
    const StateAtoms& names = Atoms(c);
    if (names.skipPager == XCB_ATOM_NONE) return; // the server did not answer
    const xcb_atom_t state = names.state;
    const xcb_atom_t wanted[2] = {names.skipTaskbar, names.skipPager};

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
    const StateAtoms& names = Atoms(c);
    const xcb_atom_t skip = names.skipTaskbar;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, names.state, XCB_ATOM_ATOM, 0, 64), nullptr);
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
