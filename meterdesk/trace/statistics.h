// Statistics of a burst of readings: the results of one run and the texts the statistics view
// and the statistics file show.
//
// A run's results form one record that carries the run's own sample count, bins and mode, so
// that later changes of the panel's choices never re-interpret old readings. Plain C++; the
// burst itself (meterdesk/core/stats_burst.h) fills a record and publishes it whole.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace meterdesk {

// stats_mode values: the ids of the panel's mode radios.
inline constexpr int kStatsModeLog = 1605;    // readings in dBm
inline constexpr int kStatsModeLinear = 1606; // readings in mW

inline constexpr int kStatsMaxSamples = 10000;
inline constexpr int kStatsMaxBins = 10;

struct StatsResults {
    int samples = 0; // N of the run
    int bins = 0;    // 6, 8 or 10
    int mode = kStatsModeLog;
    std::vector<double> values; // the readings, dBm or mW
    double min = 0.0;
    double max = 0.0;
    double bin_width = 0.0;
    std::array<double, kStatsMaxBins> bin_top{};
    std::array<std::int32_t, kStatsMaxBins> bin_count{};
    std::int32_t bar_divisor = 1;
    double mean = 0.0;
    double std_dev = 0.0;     // watts in linear mode, dB in log mode
    std::int32_t rate = 0;    // readings per second
    double temperature = 0.0; // 'C, read at the end of the run
};

// Readings per second of `samples` readings taken in `elapsed`. A run too fast to measure
// counts as one microsecond; the result is clamped to the 32-bit range.
std::int32_t stats_rate(int samples, std::chrono::microseconds elapsed);

// The divisor that keeps the tallest bar within 100 pixels: 1 up to 100, else the smallest
// d >= 2 with largest / d <= 100 in integer division.
std::int32_t stats_bar_divisor(std::int32_t largest_count);

// Minimum, maximum, bins, divisor, mean and standard deviation of `values` (at least two), and
// the rate. The sums are taken relative to the first reading, so identical readings give their
// own value as the mean and a deviation of exactly 0.
StatsResults compute_stats(std::vector<double> values, int bins, int mode,
                           std::chrono::microseconds elapsed);

// --- texts -------------------------------------------------------------------------------------

enum class StatsItem { kMin, kMax, kSpan, kAverage, kBinSize };

// "Min = -10.000dBm", "Max= 20.000uW", ... of a value in the run's unit.
std::string stats_item_text(StatsItem item, double value, int mode);
// "Std Dev = 0.500e-3"
std::string stats_std_dev_text(double std_dev);
// A bin edge below a histogram bar: "-10.50dBm", "20.00uW", ...
std::string stats_edge_text(double value, int mode);
// "T = 25.0'C" or, in Fahrenheit, "T = 77.0'F".
std::string stats_temperature_text(double celsius, bool show_celsius);

// The statistics file: "Units = dBm, Samples = 100" then one reading a line ("%.3f" dBm, or
// "%.4e" watts), each line ending in CR LF like the program's other text files.
std::string stats_file_text(const StatsResults &results);

} // namespace meterdesk
