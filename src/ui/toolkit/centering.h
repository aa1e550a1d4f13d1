// The rule that places a window over its owner or in the middle of the work
// area. Pure; the Win32 backend supplies the rectangles (owner's window
// rectangle, the nearest monitor's work area) and moves the window.
#pragma once

#include "ui/toolkit/geometry.h"

namespace ui {

// The new top-left corner for a window of `window`'s size. The reference is
// `owner` when given and not minimised, else the work area. Each axis: the
// reference's centre minus half the window's size (both halved with integer
// division); kept inside the work area, left/top edge first.
Point CenteredOrigin(const Rect& window, const Rect* owner, bool ownerMinimized, const Rect& workArea);

}  // namespace ui
