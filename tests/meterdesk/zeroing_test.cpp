// Zeroing against the simulated sensor: the command's refusals and question, the 150-step
// zero with 149 progress steps, a rejected zero, the live readout after the zero, and the
// temperature-drift supervision.
#include "meterdesk/core/zeroing.h"
#include "meterdesk/support/meter_fixture.h"

#include <rfsense/rfsense.h>

#include <gtest/gtest.h>

namespace {

using namespace meterdesk_test;
using Kind = UiCall::Kind;

class ZeroTest : public MeterTest {
  protected:
    static constexpr meterdesk::ZeroTiming kFastZero{10ms, 2000ms};

    void connect(const std::string &keys = "power_dbm = off\n") {
        configure(keys);
        start();
        ASSERT_TRUE(wait_measuring());
    }

    // Runs the zero command and waits for the zero to end.
    void zero() {
        ASSERT_TRUE(zero_thread.zero_command());
        ASSERT_TRUE(zero_thread.wait_finished(10000ms));
    }

    // Arms the drift check as timer 3 does and waits until the measurement thread made it.
    void drift_check() {
        state.zero_drift_check_due = true;
        ASSERT_TRUE(eventually([&] { return !state.zero_drift_check_due; }));
    }

    meterdesk::ZeroThread zero_thread{state, ui, kFastZero};
};

TEST_F(ZeroTest, RefusesWithoutASensor) {
    configure("plugged = 0\n");
    start();
    ASSERT_TRUE(wait_no_sensor());
    const auto mark = ui.size();
    EXPECT_FALSE(zero_thread.zero_command());
    const auto messages = ui.of_kind(Kind::message, mark);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Can't zero: No sensor connected");
    EXPECT_EQ(messages[0].caption, "Sensor Zero");
    EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(ui.count(Kind::progress_open, mark), 0);
}

TEST_F(ZeroTest, RefusesWhileATraceAcquires) {
    connect();
    state.trace_running = true;
    const auto mark = ui.size();
    EXPECT_FALSE(zero_thread.zero_command());
    EXPECT_EQ(ui.message_texts(mark), std::vector<std::string>{"Can't zero while TRACE running."});
    EXPECT_EQ(ui.count(Kind::progress_open, mark), 0);
    EXPECT_TRUE(state.live_readout_enabled);
}

TEST_F(ZeroTest, CancelOfTheQuestionChangesNothing) {
    connect();
    ui.script_answer(MessageAnswer::kCancel);
    const auto mark = ui.size();
    EXPECT_FALSE(zero_thread.zero_command());
    const auto messages = ui.of_kind(Kind::message, mark);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Ensure no power is being applied while zeroing.");
    EXPECT_EQ(messages[0].buttons, MessageButtons::kOkCancel);
    EXPECT_EQ(messages[0].icon, MessageIcon::kInformation);
    EXPECT_EQ(ui.count(Kind::progress_open, mark), 0);
    EXPECT_TRUE(state.live_readout_enabled);
}

TEST_F(ZeroTest, ZeroTakes150TicksWith149ProgressStepsAndResumesTheReadout) {
    connect("power_dbm = off\ntemperature_c = 28\n");
    const auto mark = ui.size();
    zero();
    const auto opens = ui.of_kind(Kind::progress_open, mark);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].caption, "ZeroingProgressBox");
    EXPECT_EQ(opens[0].text, "Zeroing sensor, please wait.");
    EXPECT_EQ(opens[0].number, 150);
    EXPECT_EQ(ui.count(Kind::progress_step, mark), 149);
    EXPECT_EQ(ui.count(Kind::progress_close, mark), 1);
    EXPECT_EQ(ui.message_texts(mark).size(), 1u); // only the question
    EXPECT_TRUE(state.zero_done);
    EXPECT_TRUE(state.status_repaint_request);
    EXPECT_NEAR(state.zero_temperature, 28.0, 0.3);
    EXPECT_TRUE(state.live_readout_enabled);
    // The measurement loop had parked before the first tick and measures again after.
    const auto after = ui.size();
    EXPECT_TRUE(
        ui.wait_for(Kind::repaint, 1, static_cast<int>(RepaintRequest::kLiveReadout), after));
}

TEST_F(ZeroTest, RejectedZeroKeepsTheSensorNotZeroed) {
    connect("power_dbm = -20\n");
    state.zero_done = true; // an earlier zero
    const auto mark = ui.size();
    set("power_dbm", "0"); // power applied while zeroing
    zero();
    const auto texts = ui.message_texts(mark);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "Zero failed.\n\nCheck no power is being applied.");
    EXPECT_EQ(ui.of_kind(Kind::message, mark)[1].caption, "Sensor Zero");
    EXPECT_FALSE(state.zero_done);
    EXPECT_TRUE(state.status_repaint_request);
    EXPECT_EQ(ui.count(Kind::progress_close, mark), 1);
    EXPECT_TRUE(state.live_readout_enabled); // the readout resumes after a failure too
}

TEST_F(ZeroTest, UnattendedZeroStepsNoBarAndStillRecordsAFailure) {
    connect("power_dbm = 0\n");
    state.test_unattended = true;
    const auto mark = ui.size();
    SensorRecord *sensor = state.sensor_handle;
    state.live_readout_enabled = false;
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(meterdesk::zero_procedure(state, ui, sensor), SENSOR_ZERO_TOO_LARGE);
    EXPECT_EQ(ui.count(Kind::progress_step, mark), 0);
    EXPECT_TRUE(ui.message_texts(mark).empty());
    EXPECT_FALSE(state.zero_done);
}

TEST_F(ZeroTest, ZeroDuringTheStatisticsScreenLeavesTheReadoutOff) {
    connect();
    state.stats_screen_shown = true;
    zero();
    EXPECT_TRUE(state.zero_done);
    EXPECT_FALSE(state.live_readout_enabled);
}

TEST_F(ZeroTest, DriftOfMoreThanFiveDegreesWarnsAtTheNextCheck) {
    connect("power_dbm = off\ntemperature_c = 25\n");
    zero();
    ASSERT_TRUE(state.zero_done);
    set("temperature_c", "30.6"); // the sensor warms by more than 5 'C
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(state.zero_drift_warning); // nothing until the timer arms the check
    drift_check();
    EXPECT_TRUE(state.zero_drift_warning);
    EXPECT_GT(state.zero_temperature_shift, 5.0);
    EXPECT_TRUE(state.status_repaint_request);

    // Cooling back clears the standing warning at the next check.
    set("temperature_c", "25");
    state.status_repaint_request = false;
    drift_check();
    EXPECT_FALSE(state.zero_drift_warning);
    EXPECT_TRUE(state.status_repaint_request);
}

TEST_F(ZeroTest, ExactlyFiveDegreesDoesNotWarnAndFivePointOneDoes) {
    connect("power_dbm = off\ntemperature_c = 25\n");
    state.zero_done = true;
    state.zero_temperature = 0.0;
    drift_check(); // learns the temperature the library reports: shift = |0 - t|
    const double t = state.zero_temperature_shift;
    ASSERT_GT(t, 21.0);
    ASSERT_LT(t, 32.0); // t - 5.0 and back are exact in this binade

    state.zero_drift_warning = false;
    state.zero_temperature = t - 5.0;
    drift_check();
    EXPECT_DOUBLE_EQ(state.zero_temperature_shift, 5.0);
    EXPECT_FALSE(state.zero_drift_warning);

    state.zero_temperature = t - 5.1;
    drift_check();
    EXPECT_NEAR(state.zero_temperature_shift, 5.1, 1e-9);
    EXPECT_TRUE(state.zero_drift_warning);
}

TEST_F(ZeroTest, NoDriftCheckBeforeAZero) {
    connect("power_dbm = off\ntemperature_c = 40\n");
    state.zero_drift_check_due = true;
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(state.zero_drift_check_due); // stays armed until a zero exists
    EXPECT_FALSE(state.zero_drift_warning);
}

TEST_F(ZeroTest, NewZeroClearsTheDriftWarning) {
    connect("power_dbm = off\n");
    state.zero_drift_warning = true;
    zero();
    EXPECT_FALSE(state.zero_drift_warning);
}

} // namespace
