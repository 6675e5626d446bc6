// Which display the program can show its windows on, found before the toolkit starts.
#pragma once

#include <string>

namespace platform {

enum class DisplayKind { X11, Wayland, None };

// The display this session offers: an X server that answers on DISPLAY, else a Wayland
// compositor that answers on WAYLAND_DISPLAY, else none. A local server is only knocked at (its
// socket accepts a connection, no handshake), so the usual start costs next to nothing; a remote
// X server is connected to once.
DisplayKind ReachableDisplay();

// One line saying why no display can be reached (for standard error), without the newline.
std::string NoDisplayMessage();

// True when the program runs on a Wayland compositor, which alone places windows: the program
// cannot put a window at a place, nor learn where it is.
bool CompositorPlacesWindows();

} // namespace platform
