// The temperature screen's readout: the sensor temperature in 'C or 'F with its unit glyph.
#pragma once

#include "meterdesk/core/readout_glyphs.h"

#include <cstddef>
#include <string>
#include <vector>

namespace meterdesk {

// A temperature in 'C as shown in the chosen unit ('F = 'C x 1.8 + 32).
double displayed_temperature(double celsius, bool show_celsius);

// "'C" or "'F".
const char *temperature_unit_text(bool show_celsius);

// The readout text: 'F with one decimal; 'C with one decimal, or none at -10.0 'C and below
// (so that "-12" fits). A value that is no number gives "----".
std::string temperature_text(double celsius, bool show_celsius);

struct TemperatureReadout {
    std::string text;
    std::vector<GlyphDraw> digits; // right to left, the last cell from x 275, at y 125
    GlyphDraw unit;                // 'C or 'F glyph at (311, 125)
};

// Lays the readout out. A four-character text gets a blank cell to its left, and every cell the
// previous text used is blanked: pass the previous result's digits.size() as `previous_cells`
// (0 at first).
TemperatureReadout layout_temperature_readout(double celsius, bool show_celsius,
                                              std::size_t previous_cells);

} // namespace meterdesk
