// Numbers as the settings dialogs and setup files read and write them, independent of the
// process locale (a user locale with a decimal comma still reads and writes "50.5").
//
// Reading follows the C library's atof in the "C" locale: leading white space is skipped, the
// longest prefix that is a decimal number (optional sign, digits with an optional point, an
// optional exponent) is converted, and text without such a prefix reads as 0. "inf" and "nan"
// read as themselves, so that range checks refuse them; hexadecimal is not read ("0x10" is 0).
// Writing follows printf's "%.<n>f": the exact binary value rounded to n decimals, ties to even.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace meterdesk {

// How many characters of an edit box are read: the frequency, cal factor, offset, duty-cycle
// and relative edits hold 24, the limit and meter-scale edits 14.
inline constexpr std::size_t kValueEditChars = 24;
inline constexpr std::size_t kScaleEditChars = 14;

// The number at the start of the first `max_chars` characters of `text` (atof rules above).
double read_number(std::string_view text, std::size_t max_chars = std::string_view::npos);

// printf("%<width>.<places>f", value): right-aligned in at least `width` characters.
std::string printf_fixed(double value, int places, int width = 0);

// printf("%d", value).
std::string printf_int(long long value);

// low <= value <= high; false for NaN.
inline bool in_range(double value, double low, double high) {
    return value >= low && value <= high;
}

} // namespace meterdesk
