#include "meterdesk/core/app_state.h"
#include "meterdesk/core/display_setup.h"
#include "meterdesk/core/measurement_mode.h"
#include "meterdesk/support/fake_ui.h"

#include <gtest/gtest.h>

#include <vector>

namespace meterdesk_test {
namespace {

using meterdesk::AppState;

std::vector<int> repaint_codes(const FakeUi &ui) {
    std::vector<int> codes;
    for (const auto &call : ui.of_kind(UiCall::Kind::repaint)) codes.push_back(call.number);
    return codes;
}

TEST(MeasurementMode, SelectTurnsTheReadoutOnEndsTraceAndAsksForTheModesScreen) {
    AppState state;
    FakeUi ui;
    state.live_readout_enabled = false;
    state.trace_running = true;
    state.stats_requested = true;
    state.display_countdown = 7;
    meterdesk::select_measurement_mode(state, ui, meterdesk::kModeLinear);
    EXPECT_TRUE(state.live_readout_enabled);
    EXPECT_FALSE(state.trace_running);
    EXPECT_FALSE(state.stats_requested);
    EXPECT_EQ(state.meas_mode, meterdesk::kModeLinear);
    EXPECT_EQ(state.display_countdown, 1);
    EXPECT_EQ(repaint_codes(ui), (std::vector<int>{3, 4}));

    FakeUi ui_temperature;
    meterdesk::select_measurement_mode(state, ui_temperature, meterdesk::kModeTemperature);
    EXPECT_EQ(repaint_codes(ui_temperature), (std::vector<int>{8, 9}));
}

TEST(MeasurementMode, LeavingTheTraceStatisticsOrTemperatureScreenClearsTheWindow) {
    struct Case {
        bool trace, stats, temperature;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {true, false, false, {1, 3, 4}},
        {false, true, false, {1, 3, 4}},
        {false, false, true, {1, 3, 4}},
        {false, false, false, {3, 4}},
    };
    for (const Case &c : cases) {
        AppState state;
        FakeUi ui;
        state.trace_screen_shown = c.trace;
        state.stats_screen_shown = c.stats;
        state.temperature_screen_shown = c.temperature;
        meterdesk::select_measurement_mode(state, ui, meterdesk::kModeLog);
        EXPECT_EQ(repaint_codes(ui), c.codes) << c.trace << c.stats << c.temperature;
        EXPECT_FALSE(state.trace_screen_shown);
        EXPECT_FALSE(state.stats_screen_shown);
    }
}

TEST(MeasurementMode, ApplyMovesTheReadoutRowsForTheNewMode) {
    AppState state;
    FakeUi ui;
    state.display_setup = 2;
    state.readout_top = -25;
    meterdesk::apply_measurement_mode(state, ui, meterdesk::kModeTemperature);
    EXPECT_EQ(state.readout_top, 20);
    meterdesk::apply_measurement_mode(state, ui, meterdesk::kModeLog);
    EXPECT_EQ(state.readout_top, -25);
    state.display_setup = 1;
    meterdesk::apply_measurement_mode(state, ui, meterdesk::kModeLinear);
    EXPECT_EQ(state.readout_top, 0);
    meterdesk::apply_measurement_mode(state, ui, meterdesk::kModeVolts);
    EXPECT_EQ(state.readout_top, 20);
}

TEST(MeasurementMode, LogLinearToggle) {
    EXPECT_EQ(meterdesk::toggled_log_linear(meterdesk::kModeLog), meterdesk::kModeLinear);
    EXPECT_EQ(meterdesk::toggled_log_linear(meterdesk::kModeLinear), meterdesk::kModeLog);
    EXPECT_EQ(meterdesk::toggled_log_linear(meterdesk::kModeVolts), meterdesk::kModeLog);
    EXPECT_EQ(meterdesk::toggled_log_linear(meterdesk::kModeTemperature), meterdesk::kModeLog);
}

TEST(DisplaySetup, SelectSetsSetupTopAndRepaints) {
    struct Case {
        int radio;
        int setup;
        int top;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {meterdesk::kDisplayNumericRadio, 0, 20, {1, 3, 5}},
        {meterdesk::kDisplayMeterRadio, 1, 0, {1, 3}},
        {meterdesk::kDisplayBothRadio, 2, -25, {1, 3, 5}},
    };
    for (const Case &c : cases) {
        AppState state;
        FakeUi ui;
        state.display_setup = 7;
        meterdesk::select_display_setup(state, ui, c.radio);
        EXPECT_EQ(state.display_setup, c.setup);
        EXPECT_EQ(state.readout_top, c.top);
        EXPECT_EQ(repaint_codes(ui), c.codes) << c.radio;
    }
    AppState state;
    FakeUi ui;
    meterdesk::select_display_setup(state, ui, 1204);
    EXPECT_EQ(ui.size(), 0u);
}

TEST(DisplaySetup, ButtonCyclesNumericMeterBoth) {
    EXPECT_EQ(meterdesk::next_display_setup_radio(0), meterdesk::kDisplayMeterRadio);
    EXPECT_EQ(meterdesk::next_display_setup_radio(1), meterdesk::kDisplayBothRadio);
    EXPECT_EQ(meterdesk::next_display_setup_radio(2), meterdesk::kDisplayNumericRadio);
}

TEST(DisplaySetup, ResolutionStepsDownFromThreeOnlyInPowerModes) {
    AppState state;
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(meterdesk::step_resolution(state, nullptr));
        seen.push_back(state.resolution_places);
        EXPECT_EQ(state.resolution_radio_id, 1284 + state.resolution_places);
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 1, 0, 3, 2}));

    for (int mode : {meterdesk::kModeVolts, meterdesk::kModeTemperature}) {
        state.meas_mode = mode;
        EXPECT_FALSE(meterdesk::step_resolution(state, nullptr));
        EXPECT_EQ(state.resolution_places, 2);
    }
    // During a trace the next reading repaints the readout with the new places.
    state.meas_mode = meterdesk::kModeLinear;
    state.trace_screen_shown = true;
    state.display_countdown = 9;
    EXPECT_TRUE(meterdesk::step_resolution(state, nullptr));
    EXPECT_EQ(state.display_countdown, 1);
}

} // namespace
} // namespace meterdesk_test
