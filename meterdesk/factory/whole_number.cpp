#include "meterdesk/factory/whole_number.h"

#include <charconv>

namespace meterdesk {

std::optional<long long> whole_number(std::string_view text, std::size_t max_chars) {
    if (text.size() > max_chars) return std::nullopt;
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<long long> whole_number_in(std::string_view text, std::size_t max_chars,
                                         long long low, long long high) {
    const auto value = whole_number(text, max_chars);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

} // namespace meterdesk
