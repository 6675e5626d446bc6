// What the window system must be told beyond Qt's window flags: keeping windows off the taskbar
// and on every workspace, which window owns which, and where a framed window is centred.
#pragma once

#include <QtCore/qnamespace.h>

class QWidget;

namespace platform {

// Marks the top-level window so that taskbars and pagers leave it out (_NET_WM_STATE_SKIP_TASKBAR
// and _NET_WM_STATE_SKIP_PAGER on X11). Call it whenever the native window has been (re)created;
// it does nothing on other platforms.
void KeepOffTaskbar(QWidget* window);

// Puts the top-level window on every workspace (_NET_WM_DESKTOP 0xFFFFFFFF and the sticky state
// on X11). Call it like KeepOffTaskbar; it does nothing on other platforms.
void ShowOnAllDesktops(QWidget* window);

// The window the program's other windows belong to (the bar): dialogs, the details window and
// error boxes are kept above it. Not owned; nullptr when there is none.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

// Makes the top-level window belong to the owner (WM_TRANSIENT_FOR on X11) from its next
// showing on: window managers keep it above its owner, also above an owner that stays on top.
// A null owner, or the window itself, leaves it alone.
void KeepAbove(QWidget* window, QWidget* owner);

// The window flags of the program's dialogs and error boxes: a fixed dialog border with a
// caption, a system menu and a close box.
inline constexpr Qt::WindowFlags DialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                               Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Asks the window manager, without waiting for its answer, for the frame it will give top-level
// windows of these flags and a fixed size, so that the first of them shown can be centred with
// its frame (see CentreOnScreen). Call it at start-up for each kind of window that is centred;
// where the manager does not tell frames beforehand (X11: it does not answer the request for
// the extents it will give) it does nothing, as it does on other platforms.
void ForeseeFrame(Qt::WindowFlags flags);

// Places the top-level window, not yet shown, so that it is centred on the screen together with
// the frame the window manager gives it. Where the frame is known (the window was shown before,
// or the manager has told the frame of its kind, see ForeseeFrame) it is allowed for; where it is
// not, the window's centre is put on the screen's and true is returned: the window is then to be
// shown within a CentredMapping. Nothing waits for the manager.
bool CentreOnScreen(QWidget* window);

// Held while the toolkit shows (maps) the top-level window, at every showing. Around a centre
// (what CentreOnScreen returned): the window manager frames it with the frame's centre where the
// client's centre was put, without knowing the frame beforehand and without a move after the
// mapping (X11: the window gravity of the size hints; for KWin, which may still frame it with
// the toolkit's gravity, the place is asked again with the gravity in a move request that KWin
// handles before the window is first drawn). A modal window is not declared modal to
// managers that would attach it to its owner, keeping it centred on the owner whatever place it
// asks for (X11: no _NET_WM_STATE_MODAL for mutter, and a request to take it off should mutter
// have read it; the owner and the window type stay, and the toolkit still blocks the program's
// other windows). Both are set while the server answers no one else. Does nothing on other
// platforms.
class CentredMapping {
public:
    // aroundCentre: what CentreOnScreen returned (false: an ordinary showing).
    CentredMapping(QWidget* window, bool aroundCentre);
    ~CentredMapping();
    CentredMapping(const CentredMapping&) = delete;
    CentredMapping& operator=(const CentredMapping&) = delete;

private:
    QWidget* Window;
    bool AroundCentre = false;
    bool Detached = false; // not declared modal
    bool Moved = false;    // asked again for its place, with the gravity
    bool Grabbed = false;
};

// Marks the top-level window so that window switchers (Alt+Tab) leave it out. Managers that
// keep the switcher apart from the taskbar read _KDE_NET_WM_STATE_SKIP_SWITCHER; the others
// leave out windows off the taskbar. Call it like KeepOffTaskbar.
void KeepOutOfSwitchers(QWidget* window);

// Puts on the top-level window's native window what Qt does not carry over when it makes that
// window again (after a change of window flags): its role (WM_WINDOW_ROLE on X11), and the owner
// of the shown windows it owns (their WM_TRANSIENT_FOR). Call it whenever the native window may
// have been (re)created, before it is mapped; it does nothing on other platforms.
void RenewNativeWindow(QWidget* window);

// True when the window currently carries the skip-taskbar state (X11 only; false elsewhere).
bool IsOffTaskbar(QWidget* window);

} // namespace platform
