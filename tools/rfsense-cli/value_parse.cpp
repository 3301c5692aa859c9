#include "value_parse.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace rfsense::cli {

namespace {

bool equals_ignoring_case(const std::string &a, const char *b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Parses a leading number; `rest` receives the unparsed tail.
std::optional<double> leading_number(const std::string &text, std::string &rest) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) return std::nullopt;
    const char *begin = text.c_str();
    char *end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE || !std::isfinite(value)) return std::nullopt;
    rest.assign(end);
    return value;
}

} // namespace

std::optional<double> parse_number(const std::string &text) {
    std::string rest;
    const auto value = leading_number(text, rest);
    if (!value || !rest.empty()) return std::nullopt;
    return value;
}

std::optional<long> parse_integer(const std::string &text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) return std::nullopt;
    const char *begin = text.c_str();
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0' || errno == ERANGE) return std::nullopt;
    return value;
}

std::optional<double> parse_frequency(const std::string &text) {
    std::string rest;
    const auto value = leading_number(text, rest);
    if (!value) return std::nullopt;
    // strtod reads "2e" of "2eHz" as 2 and leaves "eHz"; such tails are refused below.
    double multiplier = 1.0;
    if (!rest.empty()) {
        switch (rest.front()) {
        case 'k':
        case 'K':
            multiplier = 1e3;
            rest.erase(0, 1);
            break;
        case 'M':
            multiplier = 1e6;
            rest.erase(0, 1);
            break;
        case 'G':
        case 'g':
            multiplier = 1e9;
            rest.erase(0, 1);
            break;
        default:
            break;
        }
    }
    if (!rest.empty() && !equals_ignoring_case(rest, "hz")) return std::nullopt;
    const double hz = *value * multiplier;
    if (!std::isfinite(hz)) return std::nullopt;
    return hz;
}

} // namespace rfsense::cli
