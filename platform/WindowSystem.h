// What the window system must be told beyond Qt's window flags: keeping windows off the taskbar.
#pragma once

class QWidget;

namespace platform {

// Marks the top-level window so that taskbars and pagers leave it out (_NET_WM_STATE_SKIP_TASKBAR
// and _NET_WM_STATE_SKIP_PAGER on X11). Call it whenever the native window has been (re)created;
// it does nothing on other platforms.
void KeepOffTaskbar(QWidget* window);

// True when the window currently carries the skip-taskbar state (X11 only; false elsewhere).
bool IsOffTaskbar(QWidget* window);

} // namespace platform
