#include "meterdesk/core/temperature_readout.h"

#include "meterdesk/core/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace meterdesk {

double displayed_temperature(double celsius, bool show_celsius) {
    return show_celsius ? celsius : celsius * 1.8 + 32.0;
}

const char *temperature_unit_text(bool show_celsius) {
    return show_celsius ? "'C" : "'F";
}

std::string temperature_text(double celsius, bool show_celsius) {
    if (!std::isfinite(celsius)) return "----";
    if (!show_celsius) return fixed_text(displayed_temperature(celsius, false), 1);
    return fixed_text(celsius, celsius <= -10.0 ? 0 : 1);
}

TemperatureReadout layout_temperature_readout(double celsius, bool show_celsius,
                                              std::size_t previous_cells) {
    TemperatureReadout out;
    out.text = temperature_text(celsius, show_celsius);
    const std::size_t padded = out.text.size() == 4 ? 5 : out.text.size();
    out.digits = layout_digit_glyphs(out.text, kTemperatureLastCellX, kTemperatureY,
                                     std::max(padded, previous_cells));
    out.unit = {show_celsius ? kCelsiusGlyphSourceX : kFahrenheitGlyphSourceX,
                kTemperatureUnitGlyphWidth, kTemperatureUnitX, kTemperatureY};
    return out;
}

} // namespace meterdesk
