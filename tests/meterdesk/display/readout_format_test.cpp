#include "meterdesk/core/decimal_text.h"
#include "meterdesk/core/readout_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace meterdesk {
namespace {

struct FormatCase {
    const char *name;
    int mode;
    double value; // reading_power, or reading_volts in mode 1216
    int places;
    bool relative;
    const char *text;
    int unit;
};

class ReadoutText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ReadoutText, ShowsTextAndUnit) {
    const FormatCase &c = GetParam();
    ReadoutInput in;
    in.meas_mode = c.mode;
    (c.mode == kModeVolts ? in.reading_volts : in.reading_power) = c.value;
    in.resolution_places = c.places;
    in.relative_enabled = c.relative;
    const FormattedReading out = format_reading(in);
    EXPECT_EQ(out.text, c.text);
    EXPECT_EQ(out.unit_index, c.unit);
    EXPECT_EQ(out.sign, out.text.starts_with('-') ? '-' : ' ');
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadoutText,
    ::testing::Values(
        // Linear power: unit thresholds at 3 places.
        FormatCase{"mw_096", kModeLinear, 0.96, 3, false, "0.960", kUnitMilliwatt},
        FormatCase{"uw_094", kModeLinear, 0.94, 3, false, "940.000", kUnitMicrowatt},
        FormatCase{"uw_at_nw_threshold", kModeLinear, 0.00095, 3, false, "0.950", kUnitMicrowatt},
        FormatCase{"nw_below", kModeLinear, 0.00094, 3, false, "940.000", kUnitNanowatt},
        FormatCase{"mw_below_995", kModeLinear, 994.9, 3, false, "994.900", kUnitMilliwatt},
        FormatCase{"w_at_995", kModeLinear, 995.0, 3, false, "0.995", kUnitWatt},
        FormatCase{"kw_at_999995", kModeLinear, 999'995.0, 3, false, "1.000", kUnitKilowatt},
        FormatCase{"mw_unit_megawatt", kModeLinear, 2.5e9, 1, false, "2.5", kUnitMegawatt},
        FormatCase{"negative_nw", kModeLinear, -0.0005, 3, false, "-500.000", kUnitNanowatt},
        // Scaling moves the decimal point of the exact value: 1234.5 mW is exactly 1.2345 W.
        FormatCase{"w_exact_half", kModeLinear, 1234.5, 3, false, "1.235", kUnitWatt},
        // Resolutions 0..3.
        FormatCase{"mw_places_0", kModeLinear, 12.3456, 0, false, "12", kUnitMilliwatt},
        FormatCase{"mw_places_1", kModeLinear, 12.3456, 1, false, "12.3", kUnitMilliwatt},
        FormatCase{"mw_places_2", kModeLinear, 12.3456, 2, false, "12.35", kUnitMilliwatt},
        FormatCase{"uw_places_0", kModeLinear, 0.9496, 0, false, "950", kUnitMicrowatt},
        FormatCase{"places_out_of_range", kModeLinear, 12.3456, 7, false, "12.346", kUnitMilliwatt},
        // Relative linear (percent).
        FormatCase{"rel_percent", kModeLinear, 995.0, 3, true, "995.000", kUnitPercent},
        FormatCase{"rel_kilo", kModeLinear, 1500.0, 3, true, "1.500", kUnitKiloPercent},
        FormatCase{"rel_mega", kModeLinear, 2.0e6, 2, true, "2.00", kUnitMegaPercent},
        FormatCase{"rel_giga", kModeLinear, 5.0e9, 1, true, "5.0", kUnitGigaPercent},
        FormatCase{"rel_tera", kModeLinear, 1.0e12, 3, true, "1.000", kUnitTeraPercent},
        // dBm.
        FormatCase{"dbm_minus_half", kModeLog, -0.5, 3, false, "-0.500", kUnitDbm},
        FormatCase{"dbm_places_2", kModeLog, -12.3456, 2, false, "-12.35", kUnitDbm},
        FormatCase{"dbm_half_away_neg", kModeLog, -0.5, 0, false, "-1", kUnitDbm},
        FormatCase{"dbm_half_away_pos", kModeLog, 2.5, 0, false, "3", kUnitDbm},
        FormatCase{"dbm_no_negative_zero", kModeLog, -0.0004, 3, false, "0.000", kUnitDbm},
        FormatCase{"dbm_long", kModeLog, -100.0, 3, false, "-100.000", kUnitDbm},
        FormatCase{"db_relative", kModeLog, 1.25, 1, true, "1.3", kUnitDb},
        // Volts: resolution does not apply.
        FormatCase{"uv", kModeVolts, 0.0005, 0, false, "500.00", kUnitMicrovolt},
        FormatCase{"uv_negative", kModeVolts, -0.0005, 3, false, "-500.00", kUnitMicrovolt},
        FormatCase{"mv", kModeVolts, 0.5, 0, false, "500.000", kUnitMillivolt},
        FormatCase{"v", kModeVolts, 1.0, 0, false, "1.0000", kUnitVolt},
        FormatCase{"v_negative", kModeVolts, -2.5, 3, false, "-2.5000", kUnitVolt},
        // No number to show.
        FormatCase{"temperature_mode", kModeTemperature, 25.0, 3, false, "", kUnitDbm},
        FormatCase{"dbm_nan", kModeLog, kNaN, 3, false, "----", kUnitDbm}),
    [](const auto &param_info) { return std::string(param_info.param.name); });

TEST(DecimalText, RoundsTheExactValueHalfAwayFromZero) {
    EXPECT_EQ(fixed_text(0.0625, 3), "0.063"); // exact tie: away from zero, not to even
    EXPECT_EQ(fixed_text(-0.0625, 3), "-0.063");
    EXPECT_EQ(fixed_text(1.0005, 3), "1.000");  // stored as 1.000499999...: below the tie
    EXPECT_EQ(fixed_text(9.9996, 3), "10.000"); // carry through all digits
    EXPECT_EQ(fixed_text(0.0, 2), "0.00");
    EXPECT_EQ(fixed_text(-0.0, 0), "0");
    EXPECT_EQ(scaled_fixed_text(0.0005, 6, 2), "500.00");
    EXPECT_EQ(scaled_fixed_text(50e6, -6, 1), "50.0");
    EXPECT_EQ(scaled_fixed_text(0.96, 2, 1), "96.0");
    EXPECT_EQ(right_aligned(fixed_text(3.0, 2), 6), "  3.00");
    EXPECT_EQ(fixed_text(-std::numeric_limits<double>::infinity(), 2), "-inf");
}

// Min/max record and limit alarms advance with each formatted reading.
class ReadoutRecord : public ::testing::Test {
  protected:
    ReadoutInput in;
    void SetUp() override {
        in.meas_mode = kModeLog;
        in.relative_enabled = true;
        in.maxmin_record = true;
    }
    // Feeds the reading and carries the state forward, as the display does.
    FormattedReading feed(double p) {
        in.reading_power = p;
        FormattedReading out = format_reading(in);
        in.maxmin_reset_request = out.maxmin_reset_request;
        in.maxmin_minimum = out.maxmin_minimum;
        in.maxmin_maximum = out.maxmin_maximum;
        in.limit_low_alarm = out.limit_low_alarm;
        in.limit_high_alarm = out.limit_high_alarm;
        return out;
    }
};

TEST_F(ReadoutRecord, ClearRequestRestartsTheRecordThenItWidens) {
    in.maxmin_minimum = -99.0;
    in.maxmin_maximum = 99.0;
    in.maxmin_reset_request = true;
    EXPECT_TRUE(feed(1.0).status_repaint_request);
    EXPECT_FALSE(in.maxmin_reset_request);
    EXPECT_EQ(in.maxmin_minimum, 1.0);
    EXPECT_EQ(in.maxmin_maximum, 1.0);
    EXPECT_FALSE(feed(1.0).status_repaint_request); // nothing changed
    EXPECT_TRUE(feed(-2.0).status_repaint_request);
    EXPECT_TRUE(feed(3.0).status_repaint_request);
    EXPECT_EQ(in.maxmin_minimum, -2.0);
    EXPECT_EQ(in.maxmin_maximum, 3.0);
}

TEST_F(ReadoutRecord, NoRecordWithoutRelativeModeOrRecording) {
    in.relative_enabled = false;
    in.maxmin_reset_request = true;
    feed(5.0);
    EXPECT_TRUE(in.maxmin_reset_request);
    in.relative_enabled = true;
    in.maxmin_record = false;
    in.maxmin_reset_request = false;
    feed(5.0);
    EXPECT_EQ(in.maxmin_maximum, 0.0);
}

TEST_F(ReadoutRecord, LimitAlarmsFollowTheReadingAndWakeTheBeep) {
    in.relative_enabled = false;
    in.limits_enabled = true;
    in.limits_beep = true;
    in.limit_low_db = -10.0;
    in.limit_high_db = 10.0;

    FormattedReading out = feed(-20.0);
    EXPECT_TRUE(in.limit_low_alarm);
    EXPECT_TRUE(out.status_repaint_request);
    EXPECT_TRUE(out.wake_alarm_beep);
    out = feed(-20.0); // still low: beep again, panel unchanged
    EXPECT_FALSE(out.status_repaint_request);
    EXPECT_TRUE(out.wake_alarm_beep);
    out = feed(-10.0); // on the limit is inside
    EXPECT_FALSE(in.limit_low_alarm);
    EXPECT_TRUE(out.status_repaint_request);
    EXPECT_FALSE(out.wake_alarm_beep);
    out = feed(10.5);
    EXPECT_TRUE(in.limit_high_alarm);
    EXPECT_FALSE(in.limit_low_alarm);

    in.limits_beep = false;
    EXPECT_FALSE(feed(11.0).wake_alarm_beep);
    in.limits_enabled = false;
    feed(0.0); // limits off: the alarm flags stay as they were
    EXPECT_TRUE(in.limit_high_alarm);
}

TEST_F(ReadoutRecord, LinearModeChecksTheMilliwattLimits) {
    in.meas_mode = kModeLinear;
    in.relative_enabled = false;
    in.limits_enabled = true;
    in.limit_low_mw = 0.001;
    in.limit_high_mw = 1.0;
    in.limit_low_db = 100.0; // not used in linear mode
    feed(0.5);
    EXPECT_FALSE(in.limit_low_alarm);
    EXPECT_FALSE(in.limit_high_alarm);
    feed(2.0);
    EXPECT_TRUE(in.limit_high_alarm);
}

TEST_F(ReadoutRecord, VoltsAndNonNumbersLeaveRecordAndAlarmsAlone) {
    in.limits_enabled = true;
    in.maxmin_reset_request = true;
    feed(kNaN);
    EXPECT_TRUE(in.maxmin_reset_request);
    EXPECT_FALSE(in.limit_low_alarm);
    in.meas_mode = kModeVolts;
    in.reading_volts = -1e9;
    feed(-1e9);
    EXPECT_TRUE(in.maxmin_reset_request);
    EXPECT_FALSE(in.limit_low_alarm);
}

TEST(ReadoutState, StoresRecordAndAlarmsInTheState) {
    AppState state;
    state.meas_mode = kModeLog;
    state.reading_power = -60.0;
    state.limits_enabled = true;
    state.limits_beep = true;
    state.relative_enabled = true;
    state.maxmin_reset_request = true;
    const FormattedReading out = format_current_reading(state);
    EXPECT_EQ(out.text, "-60.000");
    EXPECT_EQ(out.unit_index, kUnitDb);
    EXPECT_TRUE(out.wake_alarm_beep);
    EXPECT_TRUE(state.limit_low_alarm.load());
    EXPECT_FALSE(state.maxmin_reset_request.load());
    EXPECT_EQ(state.maxmin_minimum.load(), -60.0);
    EXPECT_TRUE(state.status_repaint_request.load());
}

} // namespace
} // namespace meterdesk
