#include "meterdesk/core/status_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace meterdesk {
namespace {

class StatusPanelTest : public ::testing::Test {
  protected:
    StatusPanelInput in;
    StatusPanel layout() { return layout_status_panel(in, 600, 325); }
    std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (const TextLine &line : layout().lines) out.push_back(line.text);
        return out;
    }
};

TEST_F(StatusPanelTest, FreshConnectShowsNotZeroedAndTheFrequency) {
    const StatusPanel panel = layout();
    EXPECT_EQ(panel.clear, (Rect{450, 30, 150, 295}));
    ASSERT_EQ(panel.lines.size(), 2u);
    EXPECT_EQ(panel.lines[0], (TextLine{450, 55, kPanelTextColour, 12, "SENSOR NOT ZEROED"}));
    EXPECT_EQ(panel.lines[1], (TextLine{450, 110, kPanelTextColour, 14, "Frequency = 50.0MHz"}));
    EXPECT_FALSE(panel.wake_alarm_beep);
    // The lines are fitted to end 3 pixels inside the window's right edge.
    EXPECT_EQ(panel.text_right, 597);
    EXPECT_EQ(layout_status_panel(in, 594, 281).text_right, 591);
}

TEST_F(StatusPanelTest, HiddenPanelOnlyClears) {
    in.info_panel_shown = false;
    const StatusPanel panel = layout();
    EXPECT_FALSE(panel.shown);
    EXPECT_TRUE(panel.lines.empty());
    EXPECT_EQ(panel.clear.x, 450);
}

TEST_F(StatusPanelTest, ZeroDriftWarningInFahrenheitShowsTheShiftTimesOnePointEight) {
    in.zero_done = true;
    in.zero_drift_warning = true;
    in.zero_temperature_shift = 5.5;
    in.temperature_celsius = false;
    StatusPanel panel = layout();
    EXPECT_EQ(panel.lines[0],
              (TextLine{450, 55, kAlarmTextColour, 12, "ZERO SENSOR (9.9'F SHIFT)"}));
    in.temperature_celsius = true;
    EXPECT_EQ(texts()[0], "ZERO SENSOR (5.5'C SHIFT)");
    in.zero_drift_warning = false;
    EXPECT_EQ(texts().size(), 1u); // zeroed, no drift: only the frequency line
}

TEST_F(StatusPanelTest, OverloadWarnsInRedAndWakesTheBeepOnlyWithOverloadBeep) {
    in.zero_done = true;
    in.sensor_overload = true;
    StatusPanel panel = layout();
    ASSERT_EQ(panel.lines.size(), 4u);
    EXPECT_EQ(panel.lines[0], (TextLine{450, 70, kAlarmTextColour, 12, "!!  SENSOR OVERLOAD  !!",
                                        panel.lines[0].group}));
    EXPECT_EQ(panel.lines[1].text, "REDUCE POWER NOW TO");
    EXPECT_EQ(panel.lines[2].y, 90);
    // The three lines keep one font size when they are fitted into the panel.
    EXPECT_NE(panel.lines[0].group, 0);
    EXPECT_EQ(panel.lines[1].group, panel.lines[0].group);
    EXPECT_EQ(panel.lines[2].group, panel.lines[0].group);
    EXPECT_EQ(panel.lines[3].group, 0); // the frequency
    EXPECT_FALSE(panel.wake_alarm_beep);
    in.overload_beep = true;
    EXPECT_TRUE(layout().wake_alarm_beep);
}

TEST_F(StatusPanelTest, DbmBlocksStackDownTheirLinesWithAHighAlarm) {
    in.zero_done = true;
    in.offset_enabled = true;
    in.offset_db = 3.0;
    in.duty_cycle_enabled = true;
    in.duty_cycle_percent = 50.0;
    in.relative_enabled = true;
    in.relative_ref_db = -10.25;
    in.maxmin_record = true;
    in.maxmin_minimum = -1.5;
    in.maxmin_maximum = 2.0;
    in.limits_enabled = true;
    in.limit_high_alarm = true;
    in.limit_low_alarm = true; // the high alarm wins
    const StatusPanel panel = layout();
    const std::vector<TextLine> expected = {
        {450, 110, kPanelTextColour, 14, "Frequency = 50.0MHz"},
        {450, 125, kPanelTextColour, 14, "Offset =   3.00dB"},
        {450, 140, kPanelTextColour, 14, "Duty Cycle = 50.0%"},
        {450, 155, kPanelTextColour, 14, "Relative mode enabled"},
        {450, 167, kPanelTextColour, 14, "   - set point = -10.250dBm"},
        {450, 179, kPanelTextColour, 14, "   - min = -1.500dB"},
        {450, 191, kPanelTextColour, 14, "   - max = 2.000dB"},
        {450, 206, kAlarmTextColour, 14, "!!  HIGH LIMITS ALARM  !!"},
        {455, 218, kAlarmTextColour, 14, "REDUCE POWER NOW"},
    };
    std::vector<TextLine> placed = panel.lines;
    for (TextLine &line : placed) line.group = 0;
    EXPECT_EQ(placed, expected);
    // The relative block and the alarm with its hint each keep one font size when fitted.
    std::vector<int> groups;
    for (const TextLine &line : panel.lines) groups.push_back(line.group);
    const int relative = groups[3];
    const int limits = groups[7];
    EXPECT_NE(relative, 0);
    EXPECT_NE(limits, 0);
    EXPECT_NE(relative, limits);
    EXPECT_EQ(groups,
              (std::vector<int>{0, 0, 0, relative, relative, relative, relative, limits, limits}));

    in.limit_high_alarm = false;
    const std::vector<std::string> low = texts();
    EXPECT_EQ(low[low.size() - 2], "!!  LOW LIMITS ALARM  !!");
    EXPECT_EQ(low.back(), "INCREASE POWER NOW");
}

TEST_F(StatusPanelTest, LimitLinesByModeAndUnit) {
    in.zero_done = true;
    in.limits_enabled = true;
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"Frequency = 50.0MHz", "Limits enabled",
                                        "  - low limit = -50.00dBm", "  - high limit = 20.00dBm"}));
    in.relative_enabled = true;
    EXPECT_EQ(texts().back(), "  - high limit = 20.00dB");

    in.meas_mode = kModeLinear;
    in.relative_enabled = false;
    in.limit_low_mw = 500.0;
    in.limit_high_mw = 2000.0;
    in.limits_unit_index = 2;
    in.limits_unit_mw = 1000.0;
    std::vector<std::string> t = texts();
    EXPECT_EQ(t[t.size() - 2], "  - low limit = 0.50W");
    EXPECT_EQ(t.back(), "  - high limit = 2.00W");

    in.relative_enabled = true;
    in.limit_low_mw = 995.5;
    in.limit_high_mw = 2.5e6;
    t = texts();
    EXPECT_EQ(t[t.size() - 2], "  - low limit = 0.996K%"); // 995.5 is exact: half rounds up
    EXPECT_EQ(t.back(), "  - high limit = 2.500M%");
}

TEST_F(StatusPanelTest, FrequencyCalFactorAndMultiplierTexts) {
    in.zero_done = true;
    const std::pair<double, const char *> frequencies[] = {
        {9000.0, "Frequency = 9KHz"},
        {999'999.0, "Frequency = 1000KHz"},
        {1'000'000.0, "Frequency = 1.0MHz"},
        {18.5e9, "Frequency = 18.5GHz"},
    };
    for (const auto &[hz, text] : frequencies) {
        in.meas_frequency_hz = hz;
        EXPECT_EQ(texts()[0], text);
    }
    in.cal_from_table = false;
    in.cal_factor = 0.96;
    EXPECT_EQ(texts()[0], "Cal Factor =  96.0%");

    in.meas_mode = kModeLinear;
    in.offset_enabled = true;
    const std::pair<double, const char *> multipliers[] = {
        {2.5e9, "Meas Multiplier = 2.5E+09"},  {1.5e6, "Meas Multiplier = 1.5E+06"},
        {2000.0, "Meas Multiplier = 2.0E+03"}, {1.0, "Meas Multiplier = 1.000"},
        {0.5, "Meas Multiplier = 500.00E-03"}, {0.0005, "Meas Multiplier = 500.0E-06"},
    };
    for (const auto &[m, text] : multipliers) {
        in.offset_multiplier = m;
        EXPECT_EQ(texts()[1], text);
    }
}

TEST_F(StatusPanelTest, LinearAndVoltsRelativeSetPoints) {
    in.zero_done = true;
    in.relative_enabled = true;
    in.meas_mode = kModeLinear;
    const std::pair<double, const char *> set_points[] = {
        {0.0005, "   - set point = 500.00nW"},
        {0.5, "   - set point = 500.00uW"},
        {1.0, "   - set point = 1.00mW"},
    };
    for (const auto &[mw, text] : set_points) {
        in.relative_ref_mw = mw;
        EXPECT_EQ(texts()[2], text);
    }
    in.maxmin_record = true;
    in.maxmin_maximum = 150.0;
    EXPECT_EQ(texts().back(), "   - max = 150.00%");

    in.meas_mode = kModeVolts;
    in.relative_ref_volts = 0.0123;
    EXPECT_EQ(texts().back(), "   - set point = 0.0123000V"); // no record lines in volts
}

TEST(StatusPanelState, DrawingClearsTheRequestAndMarksThePanel) {
    AppState state;
    state.info_panel_shown = true;
    state.status_repaint_request = true;
    const StatusPanel panel = take_status_panel(state, 800, 400);
    EXPECT_TRUE(panel.shown);
    EXPECT_EQ(panel.clear, (Rect{600, 30, 200, 370}));
    EXPECT_FALSE(state.status_repaint_request.load());
    EXPECT_TRUE(state.measurement_panel_drawn.load());

    state.info_panel_shown = false;
    state.status_repaint_request = true;
    take_status_panel(state, 800, 400);
    EXPECT_TRUE(state.status_repaint_request.load()); // a hidden panel keeps the request
}

} // namespace
} // namespace meterdesk
