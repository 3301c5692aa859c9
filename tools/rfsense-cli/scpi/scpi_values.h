// Parameter values and replies: numbers with their unit suffixes, MIN/MAX/DEF, booleans, and
// the reply formats (NR1, NR3).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rfsense::scpi {

// What a numeric parameter measures; it decides which suffixes are accepted.
enum class Quantity {
    kPlain,     // no unit
    kFrequency, // HZ, KHZ, MHZ, GHZ (a bare number is hertz)
    kDecibel,   // DB (offsets)
    kPercent,   // PCT (cal factor, duty cycle)
    kPower,     // DBM, or W with an SI prefix (MW, UW, NW, PW)
};

enum class NumericKind { kNumber, kMinimum, kMaximum, kDefault };

struct Numeric {
    NumericKind kind = NumericKind::kNumber;
    double value = 0.0;    // in the quantity's base unit (Hz, dB, %, dBm or W)
    bool in_watts = false; // a power given in watts rather than dBm
};

// A numeric parameter: a decimal number (with exponent) and an optional suffix of the
// quantity, or MINimum / MAXimum / DEFault. nullopt when it is none of these, or not finite.
std::optional<Numeric> parse_numeric(std::string_view text, Quantity quantity);

// ON, OFF, 1 or 0 (a number is rounded, non-zero is on).
std::optional<bool> parse_boolean(std::string_view text);

// A character parameter against its choices in pattern case ("DBM", "W", "ONCE"): the short or
// long form, any case.
bool parse_choice(std::string_view text, std::string_view choice);

// "-1.000000E+01": the form of every measured or set real value in a reply.
std::string nr3(double value);

// "1", "0": integers and booleans.
std::string nr1(long long value);

} // namespace rfsense::scpi
