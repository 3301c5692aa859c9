#include "units_text.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace rfsense::cli {

namespace {

struct Prefix {
    double scale;
    const char *symbol;
};

constexpr std::array prefixes{
    Prefix{1e-12, "p"}, Prefix{1e-9, "n"}, Prefix{1e-6, "u"}, Prefix{1e-3, "m"},
    Prefix{1.0, ""},    Prefix{1e3, "k"},  Prefix{1e6, "M"},  Prefix{1e9, "G"},
};

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

std::string format_si(double value, const char *unit, int decimals) {
    const double magnitude = std::fabs(value);
    std::size_t chosen = 4; // no prefix, for zero and for values that are not finite
    if (magnitude > 0.0 && std::isfinite(magnitude)) {
        chosen = 0;
        // The largest prefix whose scaled figure, as printed, is at least 1 ("999.9996 uW"
        // printed with three decimals would read 1000.000 uW, so it becomes 1.000 mW).
        for (std::size_t i = 0; i < prefixes.size(); ++i) {
            const double scaled = magnitude / prefixes[i].scale;
            if (std::stod(fixed(scaled, decimals)) >= 1.0) chosen = i;
        }
    }
    return fixed(value / prefixes[chosen].scale, decimals) + " " + prefixes[chosen].symbol + unit;
}

std::string format_frequency(double hz) {
    const char *unit = "Hz";
    double scaled = hz;
    if (std::fabs(hz) >= 1e9) {
        scaled = hz / 1e9;
        unit = "GHz";
    } else if (std::fabs(hz) >= 1e6) {
        scaled = hz / 1e6;
        unit = "MHz";
    } else if (std::fabs(hz) >= 1e3) {
        scaled = hz / 1e3;
        unit = "kHz";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.6g %s", scaled, unit);
    return text;
}

} // namespace rfsense::cli
