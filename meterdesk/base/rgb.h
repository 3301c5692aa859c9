// A colour as red, green and blue levels 0..255, shared by the display layout, the rich-text
// reader and the help panes.
#pragma once

namespace meterdesk {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb &) const = default;
};

} // namespace meterdesk
