#include "meterdesk/core/bar_meter.h"

#include <gtest/gtest.h>

#include <limits>

namespace meterdesk {
namespace {

using Labels = std::array<std::string, kMeterLabelCount>;

struct LogAutoCase {
    double reading;
    double minimum;
    Labels labels;
};

TEST(BarMeter, LogAutoWindowMovesUpInTwentyDbSteps) {
    const LogAutoCase cases[] = {
        {-50.0, -60.0, {"-60", "-55", "-50", "-45", "-40", "-35", "-30"}},
        {-56.0, -80.0, {"-80", "-75", "-70", "-65", "-60", "-55", "-50"}},
        {-100.0, -80.0, {"-80", "-75", "-70", "-65", "-60", "-55", "-50"}},
        {0.0, -20.0, {"-20", "-15", "-10", "-5", "0", "+5", "+10"}},
        {500.0, 100.0, {"+100", "+105", "+110", "+115", "+120", "+125", "+130"}}, // 9 steps
    };
    for (const auto &c : cases) {
        MeterInput in;
        in.reading = c.reading;
        const MeterScale s = meter_scale(in);
        EXPECT_EQ(s.minimum, c.minimum) << c.reading;
        EXPECT_EQ(s.maximum, c.minimum + 30.0) << c.reading;
        EXPECT_EQ(s.labels, c.labels) << c.reading;
        EXPECT_EQ(s.unit_text, "dBm ");
    }
}

TEST(BarMeter, NeedleSpansFiftyToThreeEightyAndReportsTheRange) {
    MeterInput in;
    in.reading = -50.0;
    const MeterScale s = meter_scale(in); // -60..-30
    const std::pair<double, MeterNeedle> cases[] = {
        {-50.0, {160, NeedleRange::kInRange}},
        {-60.0, {50, NeedleRange::kInRange}},
        {-30.0, {380, NeedleRange::kInRange}},
        {-29.95, {380, NeedleRange::kInRange}}, // x 380.55 is still on the scale
        {-29.9, {380, NeedleRange::kOver}},     // x 381.1
        {-60.1, {50, NeedleRange::kUnder}},
        {std::numeric_limits<double>::quiet_NaN(), {50, NeedleRange::kUnder}},
        {1e300, {380, NeedleRange::kOver}},
    };
    for (const auto &[reading, needle] : cases)
        EXPECT_EQ(meter_needle(s, reading), needle) << reading;
    EXPECT_EQ(meter_caption(s, NeedleRange::kInRange), "dBm (Auto Scaled)");
    EXPECT_EQ(meter_caption(s, NeedleRange::kUnder), "   Under Range");
    EXPECT_EQ(meter_caption(s, NeedleRange::kOver), "   Over Range");
}

struct LinearAutoCase {
    double reading_mw;
    bool relative;
    double maximum;
    const char *unit;
    const char *last_label;
};

TEST(BarMeter, LinearAutoPicksTheFirstFullScaleNotBelowTheReading) {
    const LinearAutoCase cases[] = {
        {0.00001, false, 120.0, "nW ", "120"}, // 10 nW
        {0.0005, false, 1.2, "uW ", "1.2"},
        {0.5, false, 1.2, "mW ", "1.2"},
        {50.0, false, 120.0, "mW ", "120"},
        {5000.0, false, 12.0, "W  ", "12"},
        {2e6, false, 12.0, "KW ", "12"},
        {1e11, false, 12.0, "MW ", "12"}, // beyond the last decade: 12 MW, over range
        {-1.0, false, 120.0, "nW ", "120"},
        {100.0, true, 120.0, "%   ", "120"},
        {150.0, true, 1.2, "K% ", "1.2"},
        {5e8, true, 1.2, "G% ", "1.2"},
    };
    for (const auto &c : cases) {
        MeterInput in;
        in.meas_mode = kModeLinear;
        in.relative_enabled = c.relative;
        in.reading = c.reading_mw;
        const MeterScale s = meter_scale(in);
        EXPECT_EQ(s.minimum, 0.0) << c.reading_mw;
        EXPECT_EQ(s.maximum, c.maximum) << c.reading_mw;
        EXPECT_EQ(s.unit_text, c.unit) << c.reading_mw;
        EXPECT_EQ(s.labels[0], "0");
        EXPECT_EQ(s.labels[6], c.last_label) << c.reading_mw;
    }
    MeterInput in;
    in.meas_mode = kModeLinear;
    in.reading = 0.5;
    EXPECT_EQ(meter_scale(in).labels, (Labels{"0", "0.2", "0.4", "0.6", "0.8", "1.0", "1.2"}));
    EXPECT_EQ(layout_meter(in).needle, (MeterNeedle{187, NeedleRange::kInRange})); // 187.5
    in.reading = 1e11;
    EXPECT_EQ(layout_meter(in).needle.range, NeedleRange::kOver);
}

struct ManualCase {
    double minimum;
    double maximum;
    Labels labels;
};

TEST(BarMeter, ManualLabelsTakeTheirDecimalsFromTheSpan) {
    const ManualCase cases[] = {
        {-50.0, 20.0, {"-50", "-38", "-27", "-15", "-3", "8", "20"}},
        {0.0, 3.0, {"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0"}},
        {0.0, 0.6, {"0.0", "0.10", "0.20", "0.30", "0.40", "0.50", "0.6"}},
    };
    for (const auto &c : cases) {
        MeterInput in;
        in.meter_auto = false;
        in.meter_min_db = c.minimum;
        in.meter_max_db = c.maximum;
        const MeterScale s = meter_scale(in);
        EXPECT_EQ(s.labels, c.labels) << c.maximum;
        EXPECT_EQ(meter_caption(s, NeedleRange::kInRange), "dBm (Manual Scaling)");
    }
}

struct ManualLinearCase {
    int unit_index;
    double unit_mw;
    double max_mw;
    bool relative;
    double shown_maximum;
    const char *unit;
};

TEST(BarMeter, ManualLinearScaleCountsInTheChosenUnit) {
    const ManualLinearCase cases[] = {
        {0, 0.001, 0.0625, false, 62.5, "uW "},    {1, 1.0, 60.0, false, 60.0, "mW "},
        {2, 1000.0, 6000.0, false, 6.0, "Watts "}, {3, 1e6, 6e6, false, 6.0, "KW "},
        {4, 1e9, 6e9, false, 6.0, "MW "},          {1, 1.0, 5000.0, true, 5.0, "K% "},
        {1, 1.0, 600.0, true, 600.0, "%   "},
    };
    for (const auto &c : cases) {
        MeterInput in;
        in.meas_mode = kModeLinear;
        in.meter_auto = false;
        in.relative_enabled = c.relative;
        in.meter_unit_index = c.unit_index;
        in.meter_unit_mw = c.unit_mw;
        in.meter_min_mw = 0.0;
        in.meter_max_mw = c.max_mw;
        in.reading = c.max_mw / 2.0;
        const MeterView view = layout_meter(in);
        EXPECT_DOUBLE_EQ(view.scale.maximum, c.shown_maximum) << c.unit;
        EXPECT_EQ(view.needle, (MeterNeedle{215, NeedleRange::kInRange})) << c.unit;
        EXPECT_EQ(view.caption.text, std::string(c.unit) + "(Manual Scaling)");
    }
}

TEST(BarMeter, FramePositionsAndDegenerateScale) {
    MeterInput in;
    in.display_setup = 1;
    in.readout_top = 0;
    MeterView view = layout_meter(in);
    EXPECT_EQ(view.top, 35);
    EXPECT_EQ(view.caption.x, 215);
    EXPECT_EQ(view.caption.y, 35 + 142);
    EXPECT_EQ(view.labels[6].centre_x, 380);
    in.display_setup = 2;
    in.readout_top = -25;
    EXPECT_EQ(layout_meter(in).top, 85);

    // A recalled scale without a span draws the needle at an end instead of failing.
    in.meter_auto = false;
    in.meter_min_db = 10.0;
    in.meter_max_db = 10.0;
    in.reading = 10.0;
    EXPECT_EQ(layout_meter(in).needle.range, NeedleRange::kUnder);
    in.reading = 11.0;
    EXPECT_EQ(layout_meter(in).needle.range, NeedleRange::kOver);
}

} // namespace
} // namespace meterdesk
