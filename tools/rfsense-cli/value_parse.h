// Strict text-to-number conversions for option values: the whole text must be a finite number.
#pragma once

#include <optional>
#include <string>

namespace rfsense::cli {

std::optional<double> parse_number(const std::string &text);

// A whole number in decimal.
std::optional<long> parse_integer(const std::string &text);

// Hertz, with an optional multiplier k/K, M or G and an optional "Hz": "2.4G", "100kHz", "5e7".
std::optional<double> parse_frequency(const std::string &text);

} // namespace rfsense::cli
