// Fixed-point decimal text for readouts and status lines.
//
// The text is the exact value of the double (times a power of ten) rounded to `places`
// decimals, correct to the last decimal: the digits are taken from the exact decimal expansion
// of the value, so scaling by a power of ten only moves the decimal point and never adds a
// rounding error of its own (1234.5 mW shown in W at 3 places is "1.235", where dividing by
// 1000 first would give 1.23449999... and "1.234"). Half-way cases round away from zero
// (2.5 -> "3", -0.5 -> "-1"), as a meter user expects, not to even as the C library does. A
// result that rounds to zero never carries a minus sign ("-0.000" is shown as "0.000").
#pragma once

#include <string>

namespace meterdesk {

// The value with `places` decimals (0..9), like "%.<places>f". Non-finite values give "inf",
// "-inf" or "nan".
std::string fixed_text(double value, int places);

// The text of value x 10^power_of_ten (power_of_ten in -15..15) with `places` decimals.
std::string scaled_fixed_text(double value, int power_of_ten, int places);

// `text` right-aligned in a field of at least `width` characters (the width of "%6.2f").
std::string right_aligned(std::string text, int width);

} // namespace meterdesk
