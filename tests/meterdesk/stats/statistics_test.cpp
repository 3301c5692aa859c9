// Results of a statistics run and every text of the statistics view and file.
#include "meterdesk/trace/statistics.h"
#include "meterdesk/trace/stats_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace meterdesk;
using std::chrono::microseconds;

std::vector<double> repeated(std::initializer_list<std::pair<int, double>> runs) {
    std::vector<double> values;
    for (auto [count, value] : runs) values.insert(values.end(), count, value);
    return values;
}

TEST(StatsResults, DbmHistogramOfEightBins) {
    const StatsResults r =
        compute_stats(repeated({{10, -12}, {20, -11}, {40, -10}, {20, -9}, {10, -8}}), 8,
                      kStatsModeLog, microseconds(50'000));
    EXPECT_EQ(r.samples, 100);
    EXPECT_EQ(r.bins, 8);
    const std::vector<int> counts(r.bin_count.begin(), r.bin_count.begin() + 8);
    EXPECT_EQ(counts, (std::vector<int>{10, 20, 0, 40, 0, 20, 0, 10}));
    EXPECT_DOUBLE_EQ(r.bin_width, 0.5);
    EXPECT_EQ(r.bar_divisor, 1);
    EXPECT_EQ(r.rate, 2000);
    EXPECT_EQ(stats_item_text(StatsItem::kAverage, r.mean, r.mode), "Average = -10.000dBm");
    EXPECT_EQ(stats_std_dev_text(r.std_dev), "Std Dev = 1.101");
    EXPECT_EQ(stats_item_text(StatsItem::kSpan, r.max - r.min, r.mode), "Span = 4.0000dBm");
}

TEST(StatsResults, EqualReadingsGiveNoSpanAndNoDeviation) {
    for (double value : {-10.3, 0.1234567, 37.77, 1e-7}) {
        for (int mode : {kStatsModeLog, kStatsModeLinear}) {
            const StatsResults r =
                compute_stats(std::vector<double>(100, value), 6, mode, microseconds(1000));
            EXPECT_EQ(r.max - r.min, 0.0);
            EXPECT_EQ(r.bin_width, 0.0);
            EXPECT_EQ(r.bin_count[0], 100);
            EXPECT_EQ(r.bar_divisor, 1);
            EXPECT_EQ(r.mean, value) << value;
            EXPECT_EQ(stats_std_dev_text(r.std_dev), "Std Dev = 0.000e-12") << value;
        }
    }
}

TEST(StatsResults, LinearDeviationIsInWatts) {
    // 0.1 mW and 0.3 mW alternately: 0.1 mW = 1e-4 W apart.
    std::vector<double> values;
    for (int i = 0; i < 100; ++i) values.push_back(i % 2 ? 0.3 : 0.1);
    const StatsResults r = compute_stats(values, 10, kStatsModeLinear, microseconds(1000));
    EXPECT_NEAR(r.mean, 0.2, 1e-15);
    EXPECT_NEAR(r.std_dev, 1e-4 * std::sqrt(100.0 / 99.0), 1e-12);
    EXPECT_EQ(stats_std_dev_text(r.std_dev), "Std Dev = 0.101e-3");
}

TEST(StatsResults, BarDivisor) {
    const std::vector<std::pair<int, int>> cases = {{0, 1},   {100, 1}, {101, 2},    {201, 2},
                                                    {202, 3}, {250, 3}, {10100, 101}};
    for (auto [largest, divisor] : cases) EXPECT_EQ(stats_bar_divisor(largest), divisor) << largest;
    std::vector<double> values(9750, 1.0);
    values.insert(values.end(), 250, 2.0);
    EXPECT_EQ(compute_stats(values, 6, kStatsModeLog, microseconds(1)).bar_divisor, 97);
}

TEST(StatsResults, RateNeverDividesByZeroAndStaysIn32Bits) {
    EXPECT_EQ(stats_rate(100, microseconds(0)), 100'000'000);
    EXPECT_EQ(stats_rate(10000, microseconds(0)), 2147483647);
    EXPECT_EQ(stats_rate(10000, microseconds(1)), 2147483647);
    EXPECT_EQ(stats_rate(1000, microseconds(1'000'000)), 1000);
    EXPECT_EQ(stats_rate(1000, microseconds(3'000'000)), 333);
}

TEST(StatsTexts, RowItemsByUnitAndSize) {
    struct Case {
        StatsItem item;
        double value;
        int mode;
        const char *text;
    };
    const Case cases[] = {
        {StatsItem::kMin, -10.0, kStatsModeLog, "Min = -10.000dBm"},
        {StatsItem::kMin, 0.02, kStatsModeLinear, "Min = 20.000uW"},
        {StatsItem::kMax, 150.0, kStatsModeLinear, "Max = 150.000mW"},
        {StatsItem::kMax, 1.5, kStatsModeLinear, "Max = 1.5000mW"},
        {StatsItem::kMax, 0.02, kStatsModeLinear, "Max= 20.000uW"},
        {StatsItem::kMax, 0.00002, kStatsModeLinear, "Max = 20.0000nW"},
        {StatsItem::kSpan, 0.5, kStatsModeLinear, "Span = 500.000uW"},
        {StatsItem::kSpan, 0.0, kStatsModeLinear, "Span = 0.0000nW"},
        {StatsItem::kAverage, 100.0, kStatsModeLinear, "Average = 100.000mW"},
        {StatsItem::kBinSize, 0.25, kStatsModeLog, "Bin size = 0.250dBm"},
        {StatsItem::kBinSize, 2.0, kStatsModeLinear, "Bin size = 2.0000mW"},
    };
    for (const Case &c : cases) EXPECT_EQ(stats_item_text(c.item, c.value, c.mode), c.text);
}

TEST(StatsTexts, StdDevThresholds) {
    const std::vector<std::pair<double, const char *>> cases = {
        {1.101, "Std Dev = 1.101"},     {0.0005, "Std Dev = 0.500e-3"},
        {0.001, "Std Dev = 1.000e-3"},  {2.5e-7, "Std Dev = 0.250e-6"},
        {3e-9, "Std Dev = 0.003e-6"},   {3e-10, "Std Dev = 0.300e-9"},
        {1e-12, "Std Dev = 1.000e-12"}, {0.0, "Std Dev = 0.000e-12"},
    };
    for (auto [sd, text] : cases) EXPECT_EQ(stats_std_dev_text(sd), text) << sd;
}

TEST(StatsTexts, BinEdgesAndTemperature) {
    EXPECT_EQ(stats_edge_text(-10.5, kStatsModeLog), "-10.50dBm");
    EXPECT_EQ(stats_edge_text(0.0002, kStatsModeLinear), "200.000nW");
    EXPECT_EQ(stats_edge_text(0.1, kStatsModeLinear), "100.00uW");
    EXPECT_EQ(stats_edge_text(12.5, kStatsModeLinear), "12.500mW");
    EXPECT_EQ(stats_edge_text(150.0, kStatsModeLinear), "150.00mW");
    EXPECT_EQ(stats_temperature_text(25.0, true), "T = 25.0'C");
    EXPECT_EQ(stats_temperature_text(5.0, true), "T =  5.0'C");
    EXPECT_EQ(stats_temperature_text(40.0, false), "T = 104.0'F");
}

TEST(StatsFile, UnitsHeaderAndOneReadingPerLine) {
    StatsResults log = compute_stats({-10.0, -10.25, -9.5}, 6, kStatsModeLog, microseconds(9));
    EXPECT_EQ(stats_file_text(log), "Units = dBm, Samples = 3\r\n-10.000\r\n-10.250\r\n-9.500\r\n");
    StatsResults lin = compute_stats({0.1, 2.5, 0.0}, 6, kStatsModeLinear, microseconds(9));
    EXPECT_EQ(stats_file_text(lin),
              "Units = Watts, Samples = 3\r\n1.0000e-04\r\n2.5000e-03\r\n0.0000e+00\r\n");
}

TEST(StatsView, PositionsOfHistogramRowsAndFrame) {
    StatsResults r = compute_stats(repeated({{10, -12}, {20, -11}, {40, -10}, {20, -9}, {10, -8}}),
                                   8, kStatsModeLog, microseconds(50'000));
    r.temperature = 30.0;
    std::tm now{};
    now.tm_mday = 10;
    now.tm_mon = 11;
    now.tm_year = 126;
    now.tm_hour = 7;
    now.tm_min = 5;
    now.tm_sec = 9;
    const StatsView view = stats_view_layout(r, true, now);
    ASSERT_EQ(view.bars.size(), 8u);
    EXPECT_EQ(view.bars[3], (Rect{170, 125, 30, 65})); // 40 readings: 165 - 40 to 190
    EXPECT_EQ(view.bars[2], (Rect{120, 165, 30, 25}));
    const auto at = [&](int x, int y) {
        auto it = std::find_if(view.texts.begin(), view.texts.end(),
                               [&](const TextLine &t) { return t.x == x && t.y == y; });
        return it == view.texts.end() ? std::string("(none)") : it->text;
    };
    EXPECT_EQ(at(170, 175), "40");
    EXPECT_EQ(at(170, 195), "-10.50dBm");
    EXPECT_EQ(at(185, 205), "to");
    EXPECT_EQ(at(170, 215), "-10.00dBm");
    EXPECT_EQ(at(20, 240), "Min = -12.000dBm");
    EXPECT_EQ(at(110, 240), "Span = 4.0000dBm");
    EXPECT_EQ(at(210, 240), "Average = -10.000dBm");
    EXPECT_EQ(at(320, 240), "Std Dev = 1.101");
    EXPECT_EQ(at(405, 240), "Rds/sec = 2000");
    EXPECT_EQ(at(20, 250), "Max = -8.000dBm");
    EXPECT_EQ(at(110, 250), "Bin size = 0.500dBm");
    EXPECT_EQ(at(210, 250), "Samples = 100");
    EXPECT_EQ(at(320, 250), "T = 30.0'C");
    EXPECT_EQ(at(500, 250), "10.12.26 at 7:05:09");
    EXPECT_EQ(stats_view_layout(r, false, now).texts.at(view.texts.size() - 2).text, "T = 86.0'F");
    ASSERT_FALSE(view.frame.empty());
    EXPECT_EQ(view.frame[0], (LineSegment{{10, 45}, {420, 45}, 2, kBlack}));
    EXPECT_EQ(view.frame[1], (LineSegment{{420, 45}, {420, 230}, 2, kBlack}));
}

} // namespace
