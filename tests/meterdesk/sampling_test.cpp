// The sampling plug-in's shared pieces: one sample in each unit from the simulated sensor, the
// collection file's date line, the way back to the measurement view, and the order in which
// the measurement loop's pass reaches the trace and the statistics.
#include "meterdesk/core/sampling.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/view_menus.h"
#include "support/fake_ui.h"
#include "support/meter_fixture.h"

#include <rfsense/rfsense.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using meterdesk::SampleUnit;
using Kind = meterdesk_test::UiCall::Kind;
using namespace std::chrono_literals;

TEST(SampleDateLine, DayMonthYearWithoutCentury) {
    std::tm local{};
    local.tm_mday = 5;
    local.tm_mon = 2;
    local.tm_year = 106;
    local.tm_hour = 9;
    local.tm_min = 7;
    local.tm_sec = 3;
    EXPECT_EQ(meterdesk::sample_date_line(local), "5.3.06 at 9:07:03");
    local.tm_mday = 31;
    local.tm_mon = 11;
    local.tm_year = 126;
    local.tm_hour = 23;
    EXPECT_EQ(meterdesk::sample_date_line(local), "31.12.26 at 23:07:03");
}

TEST(ViewMenu, TheFactoryMenuReplacesOnlyTheMeasurementViewsMenu) {
    meterdesk::AppState state;
    EXPECT_EQ(meterdesk::view_menu(state, 0), "Zyn_Menu");
    EXPECT_EQ(meterdesk::view_menu(state, 2), "Trace_Menu_2");
    state.factory_menu = true;
    EXPECT_EQ(meterdesk::view_menu(state, 0), "QUORIX_USB_POWER_SENSOR");
    EXPECT_EQ(meterdesk::view_menu(state, 4), "Stats_Menu");
    EXPECT_EQ(meterdesk::view_menu(state, 7), "QUORIX_USB_POWER_SENSOR");
}

class SamplingTest : public meterdesk_test::MeterTest {};

TEST_F(SamplingTest, OneSampleInEachUnitAndARefusalWhenTheSensorIsGone) {
    configure("power_dbm = -10\ntemperature_c = 40\nnoise_uv = 0.5\n");
    SensorRecord *sensor = nullptr;
    SensorOpen(&sensor);
    ASSERT_NE(SensorInit(sensor), 0);
    double dbm = 0, mw = 0, volts = 0;
    ASSERT_TRUE(meterdesk::read_sample(sensor, SampleUnit::kDbm, dbm));
    ASSERT_TRUE(meterdesk::read_sample(sensor, SampleUnit::kMilliwatts, mw));
    ASSERT_TRUE(meterdesk::read_sample(sensor, SampleUnit::kVolts, volts));
    EXPECT_NEAR(dbm, -10.0, 0.05);
    EXPECT_NEAR(mw, 0.1, 0.002);
    EXPECT_GT(volts, 0.0);
    set("plugged", "0");
    // The library notices the unplug on its next exchange; an average taken before it may
    // still be handed out once.
    unsigned char over_range = 0;
    ASSERT_TRUE(
        meterdesk_test::eventually([&] { return SensorConnected(sensor, &over_range) == 0; }));
    double value = 123.0;
    EXPECT_TRUE(meterdesk_test::eventually(
        [&] { return !meterdesk::read_sample(sensor, SampleUnit::kDbm, value); }, 3000ms));
    SensorClose(&sensor);
}

TEST_F(SamplingTest, LeavingTheTraceViewRestoresTheMeasurementView) {
    state.factory_menu = true;
    state.view_mode = meterdesk::kViewTraceStopped;
    state.trace_screen_shown = true;
    const auto mark = ui.size();
    meterdesk::leave_to_measurement_view(state, ui);
    EXPECT_EQ(state.view_mode, meterdesk::kViewMeasurement);
    EXPECT_FALSE(state.trace_screen_shown);
    const auto menus = ui.of_kind(Kind::install_menu, mark);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].caption, "QUORIX_USB_POWER_SENSOR");
    const auto toolbars = ui.of_kind(Kind::show_toolbar, mark);
    ASSERT_EQ(toolbars.size(), 2u);
    EXPECT_EQ(toolbars[0].number, 3); // the stopped trace's toolbar goes first
    EXPECT_EQ(toolbars[0].value, 0);
    EXPECT_EQ(toolbars[1].number, 0);
    EXPECT_EQ(toolbars[1].value, 1);
    const auto boxes = ui.of_kind(Kind::show_trace_boxes, mark);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].value, 0);
}

TEST_F(SamplingTest, APassRunsTheTraceThenTheStatisticsWhileTheirFlagsAreSet) {
    meterdesk::Sampling sampling(state, ui);
    std::vector<std::string> runs;
    sampling.set_trace_run([&](SensorRecord *) { runs.push_back("trace"); },
                           [&] { runs.push_back("trace lost"); });
    sampling.set_stats_burst([&](SensorRecord *) { runs.push_back("stats"); },
                             [&] { runs.push_back("stats lost"); });
    sampling.after_pass(nullptr);
    state.trace_running = true;
    state.stats_requested = true;
    sampling.after_pass(nullptr);
    sampling.connection_lost();
    EXPECT_EQ(runs, (std::vector<std::string>{"trace", "stats", "trace lost", "stats lost"}));
    EXPECT_EQ(ui.count(Kind::show_trace_boxes), 1);
}

TEST_F(SamplingTest, EndingARunningTraceStopsItsTimerAndLeavesTheView) {
    meterdesk::end_trace_at_once(state, ui); // nothing runs: nothing happens
    EXPECT_EQ(ui.size(), 0u);
    state.trace_running = true;
    state.view_mode = meterdesk::kViewTraceRunning;
    meterdesk::end_trace_at_once(state, ui);
    EXPECT_FALSE(state.trace_running);
    EXPECT_EQ(state.view_mode, meterdesk::kViewMeasurement);
    const auto stops = ui.of_kind(Kind::stop_timer);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].number, meterdesk::kTraceSampleTimer);
}

} // namespace
