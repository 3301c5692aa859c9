#include "power_text.h"

#include <cstdio>
#include <cstring>

namespace rfsense::text {

namespace {

void print(char *out, double value, int resolution, const char *unit) {
    // Resolutions outside 0..3 print with three decimals. The output is bounded: a value too
    // large for the field is cut rather than written past the caller's buffer.
    if (resolution < 0 || resolution > 3) resolution = 3;
    const int length = std::snprintf(out, power_text_size, "%.*f%s", resolution, value, unit);
    // A value that rounds to zero reads "0.000", not "-0.000": a relative reading a hair below
    // its reference is still no change.
    const size_t digits = std::strlen(out) - std::strlen(unit);
    if (out[0] == '-' && length < static_cast<int>(power_text_size) &&
        std::strspn(out + 1, "0.") == digits - 1)
        std::memmove(out, out + 1, std::strlen(out)); // moves the NUL too
}

} // namespace

void format_log(char *out, double dbm, int resolution, bool relative) {
    print(out, dbm, resolution, relative ? "dB" : "dBm");
}

void format_lin(char *out, double value, int resolution, bool relative) {
    if (relative) {
        print(out, value, resolution, "%");
        return;
    }
    const double mw = value;
    if (mw < 0.00095)
        print(out, mw * 1000000.0, resolution, "nW");
    else if (mw < 0.95)
        print(out, mw * 1000.0, resolution, "uW");
    else if (mw < 995)
        print(out, mw, resolution, "mW");
    else if (mw < 999995)
        print(out, mw * 0.001, resolution, "W");
    else if (mw >= 999999995)
        print(out, mw * 1e-9, resolution, "MW");
    else
        print(out, mw * 1e-6, resolution, "KW");
}

} // namespace rfsense::text
