#include "scpi/scpi_values.h"

#include "scpi/scpi_syntax.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace rfsense::scpi {
namespace {

std::string upper(std::string_view text) {
    std::string result;
    for (char c : text) result += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

struct Suffix {
    const char *text;
    double factor;
    bool watts;
};

// The suffixes of each quantity, longest first where one ends another.
std::optional<Suffix> find_suffix(std::string_view suffix, Quantity quantity) {
    static constexpr std::array frequency = {Suffix{"GHZ", 1e9, false}, Suffix{"MHZ", 1e6, false},
                                             Suffix{"KHZ", 1e3, false}, Suffix{"HZ", 1.0, false}};
    static constexpr std::array decibel = {Suffix{"DB", 1.0, false}};
    static constexpr std::array percent = {Suffix{"PCT", 1.0, false}};
    static constexpr std::array power = {Suffix{"DBM", 1.0, false}, Suffix{"W", 1.0, true},
                                         Suffix{"MW", 1e-3, true},  Suffix{"UW", 1e-6, true},
                                         Suffix{"NW", 1e-9, true},  Suffix{"PW", 1e-12, true}};
    const std::string key = upper(suffix);
    const auto look = [&](const auto &table) -> std::optional<Suffix> {
        for (const Suffix &entry : table) {
            if (key == entry.text) return entry;
        }
        return std::nullopt;
    };
    switch (quantity) {
    case Quantity::kFrequency:
        return look(frequency);
    case Quantity::kDecibel:
        return look(decibel);
    case Quantity::kPercent:
        return look(percent);
    case Quantity::kPower:
        return look(power);
    case Quantity::kPlain:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<Numeric> parse_numeric(std::string_view text, Quantity quantity) {
    if (parse_choice(text, "MINimum")) return Numeric{NumericKind::kMinimum};
    if (parse_choice(text, "MAXimum")) return Numeric{NumericKind::kMaximum};
    if (parse_choice(text, "DEFault")) return Numeric{NumericKind::kDefault};

    // from_chars takes no leading "+"; SCPI numbers may have one.
    std::string_view number = text;
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
        if (!number.empty() && number.front() == '-') return std::nullopt;
    }
    double value = 0.0;
    const auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), value,
                                                std::chars_format::general);
    if (failure != std::errc() || !std::isfinite(value)) return std::nullopt;
    std::string_view suffix(end, static_cast<std::size_t>(number.data() + number.size() - end));
    while (!suffix.empty() && (suffix.front() == ' ' || suffix.front() == '\t'))
        suffix.remove_prefix(1);

    Numeric result;
    result.value = value;
    if (suffix.empty()) return result;
    const auto found = find_suffix(suffix, quantity);
    if (!found) return std::nullopt;
    result.value = value * found->factor;
    result.in_watts = found->watts;
    if (!std::isfinite(result.value)) return std::nullopt;
    return result;
}

std::optional<bool> parse_boolean(std::string_view text) {
    if (parse_choice(text, "ON")) return true;
    if (parse_choice(text, "OFF")) return false;
    const auto number = parse_numeric(text, Quantity::kPlain);
    if (!number || number->kind != NumericKind::kNumber) return std::nullopt;
    return std::lround(number->value) != 0;
}

bool parse_choice(std::string_view text, std::string_view choice) {
    return mnemonic_matches(choice, text) && text.find_first_of("0123456789") == std::string::npos;
}

std::string nr3(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6E", value);
    return text;
}

std::string nr1(long long value) {
    return std::to_string(value);
}

} // namespace rfsense::scpi
