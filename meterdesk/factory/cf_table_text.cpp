#include "meterdesk/factory/cf_table_text.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/number_text.h"

#include <algorithm>
#include <cmath>

namespace meterdesk {

namespace {

constexpr double kMHz = 1e6;
constexpr double kGHz = 1e9;

// printf("%d") of a value cut towards zero, as a conversion to int does.
std::string cut(double value) {
    if (!std::isfinite(value)) return "0";
    return printf_int(static_cast<long long>(std::trunc(value)));
}

std::string percent(double factor) {
    return printf_fixed(factor * 100.0, 1) + "%";
}

} // namespace

int cf_table_points(int model_index) {
    switch (model_index) {
    case kModelRx1:
    case kModelRx3:
        return 22;
    case kModelRx2:
        return 16;
    case kModelRx4:
        return 30;
    case kModelRx5:
        return 44;
    default:
        return 0;
    }
}

std::string cf_table_line(double hz, double factor, int model_index) {
    std::string frequency;
    if (hz < kMHz)
        frequency = cut(hz / 1000.0) + "KHz";
    else if (hz < kGHz)
        frequency = model_index == kModelRx1 && hz < 10 * kMHz ? printf_fixed(hz / kMHz, 1) + "MHz"
                                                               : cut(hz / kMHz) + "MHz";
    else
        frequency = printf_fixed(hz / kGHz, 1) + "GHz";
    return frequency + "\t" + percent(factor);
}

std::string cf_table_frequency_label(double hz, int model_index) {
    if (hz < kMHz) return cut(hz / 1000.0) + "KHz";
    if (hz < kGHz)
        return model_index == kModelRx1 ? printf_fixed(hz / kMHz, 1) + "MHz"
                                        : cut(hz / kMHz) + "MHz";
    return printf_fixed(hz / kGHz, 1) + "GHz";
}

std::vector<std::string> cf_table_lines(const std::vector<double> &frequencies_hz,
                                        const std::vector<double> &factors, int count,
                                        int model_index) {
    std::vector<std::string> lines;
    const auto n = std::min(
        {static_cast<std::size_t>(std::max(count, 0)), frequencies_hz.size(), factors.size()});
    for (std::size_t i = 0; i < n; ++i)
        lines.push_back(cf_table_line(frequencies_hz[i], factors[i], model_index));
    return lines;
}

} // namespace meterdesk
