// Text forms of readings: the number at the string resolution and its unit, no space between.
#pragma once

#include <cstddef>

namespace rfsense::text {

// Power strings hold at most 20 characters plus the NUL.
inline constexpr size_t power_text_size = 21;

// "%.<resolution>f" of the dBm value with "dB" (relative mode) or "dBm".
void format_log(char *out, double dbm, int resolution, bool relative);

// The linear value: in relative mode the percentage with "%"; otherwise mW scaled into
// "nW", "uW", "mW", "W", "KW" or "MW".
void format_lin(char *out, double value, int resolution, bool relative);

} // namespace rfsense::text
