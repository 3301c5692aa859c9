// Where the main window goes on the screens at start-up. The window has a fixed size and the
// position "pos.dat" remembers may lie on a screen that is no longer there (a monitor removed,
// a smaller resolution): the window is then moved just far enough to lie whole inside the
// available area (the screen without its panels and docks) of the screen it overlaps most, or,
// off every screen, of the screen nearest to it.
#pragma once

#include "meterdesk/core/display_colours.h"

#include <vector>

namespace meterdesk {

struct WindowPlace {
    int x = 0;
    int y = 0;
    bool operator==(const WindowPlace &) const = default;
};

// `left`, `top`, `width` and `height` describe the window's frame in screen coordinates;
// `available` holds each screen's available area, the primary screen first (it wins ties).
// With no screens the position is kept. A window larger than the area is put at the area's
// top-left corner.
WindowPlace place_window(int left, int top, int width, int height,
                         const std::vector<Rect> &available);

} // namespace meterdesk
