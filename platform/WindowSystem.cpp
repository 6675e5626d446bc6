// What window managers are told on X11 beyond Qt's window flags (taskbar, workspaces, owners,
// frames), through xcb on the windows Qt created.
#include "platform/WindowSystem.h"

#include "core/Placement.h"
#include "platform/Screen.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

namespace platform {
namespace {

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The atoms this layer uses. They live as long as the server, so they are asked for once per
// connection, all in one round trip.
struct StateAtoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t skipPager = XCB_ATOM_NONE;
    xcb_atom_t sticky = XCB_ATOM_NONE;
    xcb_atom_t desktop = XCB_ATOM_NONE;
};

class AllDesktops;
class ForeseenFrames;

// All this layer remembers.
struct Remembered {
    xcb_connection_t* AtomsFor = nullptr; // the connection the atoms were asked of
    StateAtoms Atoms;
    xcb_connection_t* SwitcherFor = nullptr;
    xcb_atom_t SkipSwitcher = XCB_ATOM_NONE;
    AllDesktops* Keeper = nullptr;    // the windows kept on every workspace
    ForeseenFrames* Frames = nullptr; // the frames known before a first showing
    QPointer<QWidget> Main;
};
Remembered& State() {
    static Remembered state;
    return state;
}

const StateAtoms& Atoms(xcb_connection_t* c) {
    xcb_connection_t*& cachedFor = State().AtomsFor;
    StateAtoms& atoms = State().Atoms;
    if (cachedFor == c) return atoms;
    constexpr int count = 5;
    const char* names[count] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_STICKY",
                                "_NET_WM_DESKTOP"};
    xcb_atom_t* targets[count] = {&atoms.state, &atoms.skipTaskbar, &atoms.skipPager, &atoms.sticky,
                                  &atoms.desktop};
    xcb_intern_atom_cookie_t cookies[count];
    for (int i = 0; i < count; ++i)
        cookies[i] = xcb_intern_atom(c, 0, uint16_t(std::strlen(names[i])), names[i]);
    bool complete = true;
    for (int i = 0; i < count; ++i) {
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

// Sends the window manager a request about a mapped window, as the window-manager hints say.
void AskWindowManager(xcb_connection_t* c, xcb_window_t id, xcb_atom_t type,
                      std::initializer_list<uint32_t> data) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Adds one or two states to the window's _NET_WM_STATE (second: none for one).
void AddStates(QWidget* window, xcb_atom_t first, xcb_atom_t second = XCB_ATOM_NONE) {
    xcb_connection_t* c = Connection();
    if (!c || !window) return;
    const xcb_window_t id = LiveWindow(window);
    const xcb_atom_t state = Atoms(c).state;
    if (first == XCB_ATOM_NONE) return; // the server did not answer
    const xcb_atom_t wanted[2] = {first, second};

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
        if (a != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), a) == atoms.end())
            atoms.push_back(a);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.data());

    // A mapped window: ask the window manager (1: add; 1: a normal application).
    if (window->isVisible()) AskWindowManager(c, id, state, {1, wanted[0], wanted[1], 1});
    xcb_flush(c);
}

// Gives a window its owner each time it is shown: Qt makes the native window anew after some
// changes, and the owner's may be new too (the bar's stay-on-top switch re-creates it).
class Owned final : public QObject {
public:
    Owned(QWidget* window, QWidget* owner) : QObject(window), Owner(owner) {
        setObjectName(Name());
    }
    static QString Name() { return QStringLiteral("owner of the window"); }
    void Apply(QWidget* window) const {
        QWindow* handle = window->windowHandle();
        QWindow* ownerHandle = Owner ? Owner->windowHandle() : nullptr;
        if (handle && ownerHandle && handle != ownerHandle) handle->setTransientParent(ownerHandle);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) Apply(static_cast<QWidget*>(watched));
        return false;
    }
    QPointer<QWidget> Owner;
};

xcb_atom_t Intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// The frame extents the window manager put on the window (left, right, top, bottom), if any.
std::optional<QMargins> ReadFrameExtents(xcb_connection_t* c, xcb_window_t id, xcb_atom_t name) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, name, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    std::optional<QMargins> extents;
    if (reply && reply->type == XCB_ATOM_CARDINAL && reply->format == 32 &&
        xcb_get_property_value_length(reply) == 16) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        extents = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
    }
    free(reply);
    return extents;
}

// True when the running window manager says it answers the request.
bool ManagerSupports(xcb_connection_t* c, xcb_atom_t what) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t supported = Intern(c, "_NET_SUPPORTED");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr);
    bool found = false;
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int n = xcb_get_property_value_length(reply) / 4;
        found = std::find(data, data + n, what) != data + n;
    }
    free(reply);
    return found;
}

// The frame Qt found around the window when it was last shown (none before the first showing).
QMargins KnownFrame(const QWidget* window) {
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

// The frames the window manager gives the kinds of windows the program centres, known before the
// first window of a kind is shown. A manager that answers the request for the extents it will
// give a window is asked, at start-up, about a probe window of the kind that is never shown; the
// answer comes as a property change, read when it comes, so nothing waits for it. The frames the
// manager then puts on the program's own windows keep the answers up to date (a new theme, say).
class ForeseenFrames final : public QAbstractNativeEventFilter {
public:
    static ForeseenFrames& Instance() {
        ForeseenFrames*& frames = State().Frames;
        if (!frames) {
            frames = new ForeseenFrames;
            qGuiApp->installNativeEventFilter(frames);
        }
        return *frames;
    }

    void Ask(xcb_connection_t* c, Qt::WindowFlags flags) {
        const xcb_atom_t request = Intern(c, "_NET_REQUEST_FRAME_EXTENTS");
        Extents = Intern(c, "_NET_FRAME_EXTENTS");
        if (request == XCB_ATOM_NONE || Extents == XCB_ATOM_NONE || !ManagerSupports(c, request))
            return;
        // The hints the manager decides the frame by are those the toolkit gives a window of
        // these flags and a fixed size as it makes the native window.
        auto* probe = new QWidget(nullptr, flags);
        probe->setFixedSize(100, 100);
        Kind& kind = KindOf(probe->windowFlags(), true);
        if (kind.Frame || kind.Probe) {
            delete probe;
            return;
        }
        kind.Probe = probe;
        kind.ProbeId = static_cast<xcb_window_t>(probe->winId());
        AskWindowManager(c, kind.ProbeId, request, {});
        xcb_flush(c);
        // A manager that says it answers but does not: the probe goes after a while.
        QTimer::singleShot(5000, probe, &QObject::deleteLater);
    }

    // The frame a window of this kind will get, where the manager has told it.
    std::optional<QMargins> Of(const QWidget* window) const {
        for (const Kind& kind : Kinds)
            if (kind.Matches(window)) return kind.Frame;
        return std::nullopt;
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (Extents == XCB_ATOM_NONE || eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (change->atom != Extents || change->state != XCB_PROPERTY_NEW_VALUE) return false;
        xcb_connection_t* c = Connection();
        if (!c) return false;
        for (Kind& kind : Kinds) {
            if (kind.ProbeId != change->window) continue;
            kind.Frame = ReadFrameExtents(c, change->window, Extents);
            kind.ProbeId = XCB_WINDOW_NONE;
            if (kind.Probe) kind.Probe->deleteLater();
            return false;
        }
        // One of the program's windows framed: windows of its kind get that frame from now on.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->windowHandle() || !window->windowHandle()->handle() ||
                LiveWindow(window) != change->window)
                continue;
            for (Kind& kind : Kinds)
                if (kind.Matches(window))
                    if (auto frame = ReadFrameExtents(c, change->window, Extents))
                        kind.Frame = frame;
            break;
        }
        return false;
    }

private:
    struct Kind {
        Qt::WindowFlags Flags;
        bool Fixed = false;
        std::optional<QMargins> Frame;
        QPointer<QWidget> Probe;
        xcb_window_t ProbeId = XCB_WINDOW_NONE; // the probe still waiting for its answer

        bool Matches(const QWidget* window) const {
            return Flags == window->windowFlags() &&
                   Fixed == (window->minimumSize() == window->maximumSize());
        }
    };
    Kind& KindOf(Qt::WindowFlags flags, bool fixed) {
        for (Kind& kind : Kinds)
            if (kind.Flags == flags && kind.Fixed == fixed) return kind;
        Kinds.push_back({flags, fixed, std::nullopt, nullptr, XCB_WINDOW_NONE});
        return Kinds.back();
    }

    std::vector<Kind> Kinds;
    xcb_atom_t Extents = XCB_ATOM_NONE;
};

// The frame the window manager gives the window, where it is known before the window is shown:
// the one it has (a window shown before), or the one foreseen for its kind. None otherwise.
std::optional<QMargins> FrameOf(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c) return KnownFrame(window);
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
    if (auto known = ReadFrameExtents(c, id, Intern(c, "_NET_FRAME_EXTENTS"))) return *known;
    return ForeseenFrames::Instance().Of(window);
}

// True when the window manager has the window on every workspace now (either hint says so).
bool OnAllDesktops(xcb_connection_t* c, xcb_window_t id) {
    const StateAtoms& names = Atoms(c);
    const xcb_get_property_cookie_t desktop =
        xcb_get_property(c, 0, id, names.desktop, XCB_ATOM_CARDINAL, 0, 1);
    const xcb_get_property_cookie_t state =
        xcb_get_property(c, 0, id, names.state, XCB_ATOM_ATOM, 0, 64);
    bool all = false;
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, desktop, nullptr)) {
        all = reply->type == XCB_ATOM_CARDINAL && reply->format == 32 &&
              xcb_get_property_value_length(reply) == 4 &&
              *static_cast<const uint32_t*>(xcb_get_property_value(reply)) == 0xFFFFFFFF;
        free(reply);
    }
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, state, nullptr)) {
        if (reply->type == XCB_ATOM_ATOM && reply->format == 32) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            const int n = xcb_get_property_value_length(reply) / 4;
            all = all || std::find(data, data + n, names.sticky) != data + n;
        }
        free(reply);
    }
    return all;
}

// Keeps the windows put on every workspace there. A window manager may take such a window off
// the other workspaces on its own: mutter moves the owner of a dialog that is activated to the
// current workspace, leaving it there alone. A shown window that the manager had on every
// workspace and that loses it asks again at once; one the manager never put there (a tiling
// manager that keeps the window tiled, say) is not asked over and over.
class AllDesktops final : public QAbstractNativeEventFilter {
public:
    static void Keep(QWidget* window) {
        AllDesktops*& keeper = State().Keeper;
        if (!keeper) {
            keeper = new AllDesktops;
            qGuiApp->installNativeEventFilter(keeper);
        }
        for (const Kept& kept : keeper->Windows)
            if (kept.Window == window) return;
        std::erase_if(keeper->Windows, [](const Kept& kept) { return !kept.Window; });
        keeper->Windows.push_back({window, false});
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        xcb_connection_t* c = Connection();
        if (!c) return false;
        const StateAtoms& names = Atoms(c);
        if (change->atom != names.desktop && change->atom != names.state) return false;
        for (Kept& kept : Windows) {
            if (!kept.Window || LiveWindow(kept.Window) != change->window) continue;
            const bool all = kept.Window->isVisible() && OnAllDesktops(c, change->window);
            if (kept.Granted && !all && kept.Window->isVisible()) {
                AskWindowManager(c, change->window, names.desktop, {0xFFFFFFFF, 1});
                AskWindowManager(c, change->window, names.state, {1, names.sticky, 0, 1});
                xcb_flush(c);
            }
            kept.Granted = all;
        }
        return false;
    }

private:
    struct Kept {
        QPointer<QWidget> Window;
        bool Granted; // the manager has had it on every workspace since it was last shown
    };
    std::vector<Kept> Windows;
};

// The toolkit's size hints, as it wrote them when it mapped the window, with the centre gravity
// (ICCCM: the manager puts the frame's centre where the client's centre was asked).
void SetCentreGravity(xcb_connection_t* c, xcb_window_t id) {
    constexpr uint32_t fields = 18, gravityFlag = 1u << 9, gravityField = 17;
    constexpr uint32_t centreGravity = 5;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, fields),
        nullptr);
    if (reply && reply->format == 32 &&
        uint32_t(xcb_get_property_value_length(reply)) == fields * 4) {
        uint32_t hints[fields];
        std::memcpy(hints, xcb_get_property_value(reply), sizeof hints);
        hints[0] |= gravityFlag;
        hints[gravityField] = centreGravity;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, fields, hints);
    }
    free(reply);
}

// Takes the state out of the unmapped window's _NET_WM_STATE, keeping the others.
void RemoveState(xcb_connection_t* c, xcb_window_t id, xcb_atom_t unwanted) {
    const xcb_atom_t state = Atoms(c).state;
    if (state == XCB_ATOM_NONE || unwanted == XCB_ATOM_NONE) return;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        std::vector<xcb_atom_t> atoms(data, data + xcb_get_property_value_length(reply) / 4);
        if (std::erase(atoms, unwanted))
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                                uint32_t(atoms.size()), atoms.data());
    }
    free(reply);
}

// The running window manager's name, as it gives it on its check window (empty: none).
QByteArray ManagerName(xcb_connection_t* c) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_property_reply_t* check = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, root, Intern(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    xcb_window_t manager = XCB_WINDOW_NONE;
    if (check && check->type == XCB_ATOM_WINDOW && check->format == 32 &&
        xcb_get_property_value_length(check) == 4)
        manager = *static_cast<const xcb_window_t*>(xcb_get_property_value(check));
    free(check);
    if (manager == XCB_WINDOW_NONE) return {};
    xcb_get_property_reply_t* name = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, manager, Intern(c, "_NET_WM_NAME"), Intern(c, "UTF8_STRING"), 0, 64),
        nullptr);
    QByteArray text;
    if (name && name->format == 8)
        text = QByteArray(static_cast<const char*>(xcb_get_property_value(name)),
                          xcb_get_property_value_length(name));
    free(name);
    return text;
}

// True when the running window manager attaches a modal dialog to the window it belongs to and
// keeps it centred on that window (mutter, and so GNOME Shell, does unless its user turned it
// off; the setting is the user's, and what the program declares is its own). Such a manager
// also moves a modal dialog that was not given the focus out of the focused window's way.
bool AttachesModalDialogs(const QByteArray& manager) {
    return manager == "GNOME Shell" || manager.startsWith("Mutter");
}

// True when the manager may frame a window with the gravity the toolkit wrote before the
// centre gravity replaced it: KWin on XWayland, now and then, keeps the client where it asked
// to be and puts the whole title bar above it. It follows the gravity given with a move request
// each time.
bool MayMissCentreGravity(const QByteArray& manager) {
    return manager == "KWin";
}

} // namespace

void SetMainWindow(QWidget* window) {
    State().Main = window;
}

QWidget* MainWindow() {
    return State().Main;
}

void KeepAbove(QWidget* window, QWidget* owner) {
    if (!window || !owner || window == owner) return;
    auto* owned =
        static_cast<Owned*>(window->findChild<QObject*>(Owned::Name(), Qt::FindDirectChildrenOnly));
    if (!owned) {
        owned = new Owned(window, owner);
        window->installEventFilter(owned);
    }
    owned->Owner = owner;
    owned->Apply(window);
}

void ForeseeFrame(Qt::WindowFlags flags) {
    if (xcb_connection_t* c = Connection()) ForeseenFrames::Instance().Ask(c, flags);
}

bool CentreOnScreen(QWidget* window) {
    const std::optional<QMargins> frame = FrameOf(window);
    const QMargins known = frame.value_or(QMargins());
    const QSize outer = window->size().grownBy(known);
    // The client's place: Qt keeps it where it is put, and the manager frames it around it. A
    // frame not known: the client's centre where the whole window's belongs, and the manager
    // frames the window around that centre (see CentredMapping).
    const QPoint client = CentredOn(PrimaryScreen(), outer) + QPoint(known.left(), known.top());
    window->setGeometry(QRect(client, window->size()));
    return !frame;
}

CentredMapping::CentredMapping(QWidget* window, bool aroundCentre)
    : Window(window), AroundCentre(aroundCentre) {
    xcb_connection_t* c = Connection();
    if (!c || !window) return;
    const QByteArray manager = AroundCentre || window->isModal() ? ManagerName(c) : QByteArray();
    Detached = window->isModal() && AttachesModalDialogs(manager);
    Moved = AroundCentre && MayMissCentreGravity(manager);
    if (!AroundCentre && !Detached) return;
    // Nothing the manager asks of the server is answered until the hints are set, so it reads
    // them, not the toolkit's, when it frames the window.
    xcb_grab_server(c);
    Grabbed = true;
}

CentredMapping::~CentredMapping() {
    xcb_connection_t* c = Connection();
    if (!Grabbed || !c) return;
    const bool shown = Window && Window->isVisible();
    const xcb_window_t id = shown ? LiveWindow(Window) : xcb_window_t(XCB_WINDOW_NONE);
    const xcb_atom_t modal =
        Detached ? Intern(c, "_NET_WM_STATE_MODAL") : xcb_atom_t(XCB_ATOM_NONE);
    if (shown) {
        if (AroundCentre) SetCentreGravity(c, id);
        if (Detached) RemoveState(c, id, modal);
    }
    xcb_ungrab_server(c);
    // The manager may still have read the toolkit's state (mutter on XWayland does, now and
    // then, despite the grab): asked to take it off, it no longer attaches the window and puts
    // it where the window asked to be.
    if (shown && Detached && modal != XCB_ATOM_NONE)
        AskWindowManager(c, id, Atoms(c).state, {0, modal, 0, 1});
    // The client's place again, with the centre gravity in the request itself (the flags: the
    // gravity, x and y given, from an application). The manager handles it with the mapping,
    // before the window is first drawn; where it framed the window right, nothing moves.
    if (shown && Moved) {
        const QPoint client = Window->geometry().topLeft();
        constexpr uint32_t centreGravity = 5, xAndY = (1u << 8) | (1u << 9),
                           fromApplication = 1u << 12;
        AskWindowManager(c, id, Intern(c, "_NET_MOVERESIZE_WINDOW"),
                         {centreGravity | xAndY | fromApplication, uint32_t(client.x()),
                          uint32_t(client.y()), 0, 0});
    }
    xcb_flush(c);
}

void KeepOffTaskbar(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c) return;
    AddStates(window, Atoms(c).skipTaskbar, Atoms(c).skipPager);
}

void ShowOnAllDesktops(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c || !window) return;
    const StateAtoms& names = Atoms(c);
    if (names.desktop == XCB_ATOM_NONE) return;
    // Managers that keep desktops read the property at the map; a mapped window asks.
    const uint32_t all = 0xFFFFFFFF;
    const xcb_window_t id = LiveWindow(window);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, names.desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &all);
    if (window->isVisible()) AskWindowManager(c, id, names.desktop, {all, 1});
    // Managers that know only the state (tiling ones among them) read this one.
    AddStates(window, names.sticky);
    AllDesktops::Keep(window);
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

void KeepOutOfSwitchers(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c) return;
    xcb_connection_t*& internedFor = State().SwitcherFor;
    xcb_atom_t& skipSwitcher = State().SkipSwitcher;
    if (internedFor != c) {
        skipSwitcher = Intern(c, "_KDE_NET_WM_STATE_SKIP_SWITCHER");
        internedFor = skipSwitcher == XCB_ATOM_NONE ? nullptr : c;
    }
    AddStates(window, skipSwitcher);
}

void RenewNativeWindow(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c || !window) return;
    const xcb_window_t id = LiveWindow(window);
    const QByteArray role = window->windowRole().toUtf8();
    if (!role.isEmpty()) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, Intern(c, "WM_WINDOW_ROLE"),
                            XCB_ATOM_STRING, 8, uint32_t(role.size()), role.constData());
    }
    // Shown windows the window owns still name the window Qt has just destroyed.
    for (QWidget* owned : QApplication::topLevelWidgets()) {
        const auto* owner = static_cast<const Owned*>(
            owned->findChild<QObject*>(Owned::Name(), Qt::FindDirectChildrenOnly));
        if (!owner || owner->Owner != window || !owned->isVisible()) continue;
        owner->Apply(owned);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, LiveWindow(owned), XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &id);
    }
    xcb_flush(c);
}

} // namespace platform
