// Numbers with units for people: SI prefixes chosen so the figure stays between 1 and 1000.
#pragma once

#include <string>

namespace rfsense::cli {

// "1.234 mW", "-12.500 uV", "0.000 W"; `decimals` after the point.
std::string format_si(double value, const char *unit, int decimals);

// "9 kHz", "2.5 MHz", "12.4 GHz": up to six significant digits, no trailing zeros.
std::string format_frequency(double hz);

} // namespace rfsense::cli
