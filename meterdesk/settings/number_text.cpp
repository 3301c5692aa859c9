#include "meterdesk/settings/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace meterdesk {

namespace {

bool is_c_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A value too large or too small for a double: the C library gives infinity for an overflow
// and zero for an underflow. The text is short (an edit's characters), so a negative exponent
// always means an underflow.
double out_of_range_value(std::string_view matched) {
    const auto e = matched.find_first_of("eE");
    const bool underflow =
        e != std::string_view::npos && e + 1 < matched.size() && matched[e + 1] == '-';
    return underflow ? 0.0 : std::numeric_limits<double>::infinity();
}

} // namespace

double read_number(std::string_view text, std::size_t max_chars) {
    text = text.substr(0, std::min(max_chars, text.size()));
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars takes no sign of its own here: a second sign ends the number.
    if (i >= text.size() || text[i] == '+' || text[i] == '-') return 0.0;

    const char *first = text.data() + i;
    const char *last = text.data() + text.size();
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) return 0.0;
    if (error == std::errc::result_out_of_range)
        value = out_of_range_value(std::string_view(first, static_cast<std::size_t>(end - first)));
    return negative ? -value : value;
}

std::string printf_fixed(double value, int places, int width) {
    char buffer[512]; // the widest double with a dozen decimals fits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, places < 0 ? 0 : places);
    std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : "inf";
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string printf_int(long long value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace meterdesk
