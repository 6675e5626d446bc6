// Size of the primary display, as the bar's placement rules need it.
#pragma once

#include <QSize>

namespace platform {

// Width and height of the primary display in pixels, taken anew at every call.
QSize ScreenSize();
// Puts a fixed size in place of the display's; an empty size goes back to the display.
void SetScreenSize(QSize size);

} // namespace platform
