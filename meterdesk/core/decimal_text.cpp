#include "meterdesk/core/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace meterdesk {
namespace {

// Every finite double has at most 1074 decimals, so this many give its exact expansion.
constexpr int kExactDecimals = 1100;

} // namespace

std::string scaled_fixed_text(double value, int power_of_ten, int places) {
    places = std::clamp(places, 0, 9);
    power_of_ten = std::clamp(power_of_ten, -15, 15);
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";

    // Exact digits of |value|: integer part, then kExactDecimals decimals.
    std::vector<char> buffer(400 + kExactDecimals);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      std::fabs(value), std::chars_format::fixed, kExactDecimals);
    std::string digits(buffer.data(), result.ptr);
    const auto point = digits.find('.');
    std::string integer_part = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);

    // Move the decimal point by power_of_ten.
    if (power_of_ten > 0) {
        const auto n = static_cast<std::size_t>(power_of_ten);
        if (fraction.size() < n) fraction.append(n - fraction.size(), '0');
        integer_part += fraction.substr(0, n);
        fraction.erase(0, n);
    } else if (power_of_ten < 0) {
        const auto n = static_cast<std::size_t>(-power_of_ten);
        if (integer_part.size() <= n) integer_part.insert(0, n + 1 - integer_part.size(), '0');
        fraction.insert(0, integer_part.substr(integer_part.size() - n));
        integer_part.erase(integer_part.size() - n);
    }

    // Keep `places` decimals; the first dropped digit decides (half away from zero).
    const auto keep = static_cast<std::size_t>(places);
    if (fraction.size() < keep + 1) fraction.append(keep + 1 - fraction.size(), '0');
    const bool round_up = fraction[keep] >= '5';
    std::string kept = integer_part + fraction.substr(0, keep);
    if (round_up) {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
        if (i == 0)
            kept.insert(0, 1, '1');
        else
            ++kept[i - 1];
    }
    std::string whole = kept.substr(0, kept.size() - keep);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.empty()) whole = "0";
    std::string text = whole;
    if (keep > 0) text += "." + kept.substr(kept.size() - keep);

    const bool zero =
        std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
    if (std::signbit(value) && !zero) text.insert(0, 1, '-');
    return text;
}

std::string fixed_text(double value, int places) {
    return scaled_fixed_text(value, 0, places);
}

std::string right_aligned(std::string text, int width) {
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

} // namespace meterdesk
