// Fitting lines of text into their room. The window's drawing is laid out in pixels for the
// "arial" fonts; a long status line (an alarm, a drift warning in 'F) or lines placed closer
// than their font is high can run past the window's edge or into each other. The fit keeps
// every line where the layout put it and only chooses a smaller font where one is needed.
#pragma once

#include "meterdesk/core/display_colours.h"

#include <functional>
#include <string>
#include <vector>

namespace meterdesk {

// What a text covers in a font, in pixels from the line's top-left corner (TextLine x, y).
struct TextInk {
    int advance = 0; // width of the text, pen advance or ink, whichever reaches further
    int top = 0;     // first row with ink
    int bottom = -1; // last row with ink; below top when the text has no ink
};

// Measures `text` drawn in the font whose cell is `font_px` high.
using TextMeasure = std::function<TextInk(const std::string &text, int font_px)>;

// Gives each line the largest font, from its own size down to `min_font_px`, with which
//  - the text ends at or left of `right_limit` (x + advance <= right_limit), and
//  - its ink ends at least one blank row above the ink of the next line down,
// checked from the lowest line upwards so that each line is fitted against the font its lower
// neighbour finally got. Where even `min_font_px` does not fit, the line gets `min_font_px`.
// The lines of one group (TextLine::group other than 0) end with the smallest font any of
// them needed, so that a block of lines keeps one size.
void fit_text_lines(std::vector<TextLine> &lines, int right_limit, int min_font_px,
                    const TextMeasure &measure);

} // namespace meterdesk
