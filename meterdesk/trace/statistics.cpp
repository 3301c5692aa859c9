#include "meterdesk/trace/statistics.h"

#include "meterdesk/settings/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace meterdesk {

namespace {

// printf("%.<places>e", value), independent of the process locale.
std::string printf_exponent(double value, int places) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, places);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : "inf";
}

struct ItemFormat {
    std::string_view prefix;
    std::string_view micro_prefix; // the Max row's microwatt text has no space before '='
    int dbm_places;
};

ItemFormat format_of(StatsItem item) {
    switch (item) {
    case StatsItem::kMin:
        return {"Min = ", "Min = ", 3};
    case StatsItem::kMax:
        return {"Max = ", "Max= ", 3};
    case StatsItem::kSpan:
        return {"Span = ", "Span = ", 4};
    case StatsItem::kAverage:
        return {"Average = ", "Average = ", 3};
    case StatsItem::kBinSize:
        return {"Bin size = ", "Bin size = ", 3};
    }
    return {"", "", 3};
}

} // namespace

std::int32_t stats_rate(int samples, std::chrono::microseconds elapsed) {
    const long long micros = std::max<long long>(elapsed.count(), 1);
    const double rate = std::trunc(samples / (static_cast<double>(micros) * 1e-6));
    if (!(rate < static_cast<double>(std::numeric_limits<std::int32_t>::max())))
        return std::numeric_limits<std::int32_t>::max();
    return std::max<std::int32_t>(static_cast<std::int32_t>(rate), 0);
}

std::int32_t stats_bar_divisor(std::int32_t largest_count) {
    if (largest_count <= 100) return 1;
    std::int32_t divisor = 2;
    while (largest_count / divisor > 100) ++divisor;
    return divisor;
}

StatsResults compute_stats(std::vector<double> values, int bins, int mode,
                           std::chrono::microseconds elapsed) {
    StatsResults r;
    r.samples = static_cast<int>(values.size());
    r.bins = std::clamp(bins, 1, kStatsMaxBins);
    r.mode = mode;
    r.rate = stats_rate(r.samples, elapsed);
    if (values.empty()) return r;

    r.min = values.front();
    r.max = values.front();
    for (double v : values) {
        r.min = std::min(r.min, v);
        r.max = std::max(r.max, v);
    }
    r.bin_width = (r.max - r.min) / r.bins;
    // The tops are accumulated edge by edge; a reading above the last top (by rounding) is
    // counted in the last bin.
    double top = r.min;
    for (int k = 0; k < r.bins; ++k) {
        top += r.bin_width;
        r.bin_top[static_cast<std::size_t>(k)] = top;
    }
    for (double v : values) {
        int k = 0;
        while (k < r.bins - 1 && v > r.bin_top[static_cast<std::size_t>(k)]) ++k;
        ++r.bin_count[static_cast<std::size_t>(k)];
    }
    r.bar_divisor = stats_bar_divisor(*std::max_element(r.bin_count.begin(), r.bin_count.end()));

    // Sums relative to the first reading keep the rounding error of large equal readings out
    // of the mean and the deviation.
    const double shift = values.front();
    double sum = 0.0;
    for (double v : values) sum += v - shift;
    r.mean = shift + sum / static_cast<double>(r.samples);
    const double scale = mode == kStatsModeLinear ? 0.001 : 1.0; // deviation in watts
    double squares = 0.0;
    for (double v : values) {
        const double d = (v - r.mean) * scale;
        squares += d * d;
    }
    r.std_dev = r.samples > 1 ? std::sqrt(squares / static_cast<double>(r.samples - 1)) : 0.0;
    r.values = std::move(values);
    return r;
}

std::string stats_item_text(StatsItem item, double value, int mode) {
    const ItemFormat f = format_of(item);
    std::string text;
    if (mode != kStatsModeLinear)
        return std::string(f.prefix) + printf_fixed(value, f.dbm_places) + "dBm";
    const double magnitude = std::fabs(value);
    if (value >= 100) return std::string(f.prefix) + printf_fixed(value, 3) + "mW";
    if (magnitude >= 1) return std::string(f.prefix) + printf_fixed(value, 4) + "mW";
    if (magnitude >= 0.001)
        return std::string(f.micro_prefix) + printf_fixed(value * 1000, 3) + "uW";
    return std::string(f.prefix) + printf_fixed(value * 1e6, 4) + "nW";
}

std::string stats_std_dev_text(double sd) {
    const std::string prefix = "Std Dev = ";
    if (sd > 0.001) return prefix + printf_fixed(sd, 3);
    if (sd > 1e-6) return prefix + printf_fixed(sd * 1000, 3) + "e-3";
    if (sd > 1e-9) return prefix + printf_fixed(sd * 1e6, 3) + "e-6";
    if (sd > 1e-12) return prefix + printf_fixed(sd * 1e9, 3) + "e-9";
    return prefix + printf_fixed(sd * 1e12, 3) + "e-12";
}

std::string stats_edge_text(double value, int mode) {
    if (mode != kStatsModeLinear) return printf_fixed(value, 2) + "dBm";
    const double magnitude = std::fabs(value);
    if (magnitude < 0.001) return printf_fixed(value * 1e6, 3) + "nW";
    if (magnitude < 1) return printf_fixed(value * 1000, 2) + "uW";
    if (value < 100) return printf_fixed(value, 3) + "mW";
    return printf_fixed(value, 2) + "mW";
}

std::string stats_temperature_text(double celsius, bool show_celsius) {
    if (show_celsius) return "T = " + printf_fixed(celsius, 1, 4) + "'C";
    return "T = " + printf_fixed(celsius * 1.8 + 32, 1, 4) + "'F";
}

std::string stats_file_text(const StatsResults &results) {
    const bool linear = results.mode == kStatsModeLinear;
    std::string text = linear ? "Units = Watts" : "Units = dBm";
    text += ", Samples = " + printf_int(results.samples) + "\r\n";
    text.reserve(text.size() + results.values.size() * 14);
    for (double v : results.values) {
        text += linear ? printf_exponent(v * 0.001, 4) : printf_fixed(v, 3);
        text += "\r\n";
    }
    return text;
}

} // namespace meterdesk
