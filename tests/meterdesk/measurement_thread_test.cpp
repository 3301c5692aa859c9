// MeasurementThread against the simulated sensor: start without a sensor, connecting with the
// defaults, the initialisation messages, readings and display pacing in every mode, mode
// changes during a blocking reading, losing and finding the sensor, Preset, and stop().
#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/support/meter_fixture.h"

#include <rfsense/rfsense.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

namespace {

using namespace meterdesk_test;
using meterdesk::AppState;
using Kind = UiCall::Kind;

constexpr int kReadout = static_cast<int>(RepaintRequest::kLiveReadout);

void expect_commands(const FakeUi &ui, bool enabled) {
    for (int command : meterdesk::kConnectionDependentCommands) {
        EXPECT_EQ(ui.command_enabled(command), enabled) << "command " << command;
    }
}

// Every setting that ConnectDefaults restores, moved away from its default.
void change_settings(AppState &s) {
    s.meas_mode = meterdesk::kModeLinear;
    s.resolution_places = 1;
    s.resolution_radio_id = 1285;
    s.display_setup = 2;
    s.readout_top = -25;
    s.meas_frequency_hz = 1e9;
    s.cal_from_table = false;
    s.cal_factor = 0.5;
    s.offset_enabled = true;
    s.offset_db = 3.0;
    s.duty_cycle_enabled = true;
    s.duty_cycle_percent = 50.0;
    s.limits_enabled = true;
    s.limit_low_db = -10.0;
    s.relative_enabled = true;
    s.relative_ref_db = 5.0;
    s.maxmin_record = true;
    s.meter_auto = false;
    s.meter_max_db = 0.0;
    s.trace_samples = 300;
    s.trace_units = 1120;
    s.trace_valid = true;
    s.stats_samples = 5000;
    s.stats_bins = 10;
    s.stats_valid = true;
    s.collection_enabled = true;
    s.collection_columns[0] = true;
    s.overload_beep = true;
    s.zero_done = true;
    s.zero_temperature = 31.0;
    s.zero_drift_warning = true;
    s.cal_before_testing = false;
}

void expect_defaults(const AppState &s) {
    EXPECT_EQ(s.meas_mode, meterdesk::kModeLog);
    EXPECT_EQ(s.resolution_places, 3);
    EXPECT_EQ(s.resolution_radio_id, 1287);
    EXPECT_EQ(s.display_setup, 0);
    EXPECT_EQ(s.readout_top, 20);
    EXPECT_TRUE(s.info_panel_shown);
    EXPECT_DOUBLE_EQ(s.meas_frequency_hz, 50e6);
    EXPECT_TRUE(s.frequency_sent);
    EXPECT_TRUE(s.cal_from_table);
    EXPECT_FALSE(s.offset_enabled);
    EXPECT_DOUBLE_EQ(s.offset_db, 0.0);
    EXPECT_DOUBLE_EQ(s.offset_multiplier, 1.0);
    EXPECT_FALSE(s.duty_cycle_enabled);
    EXPECT_DOUBLE_EQ(s.duty_cycle_percent, 100.0);
    EXPECT_FALSE(s.limits_enabled);
    EXPECT_DOUBLE_EQ(s.limit_low_db, -50.0);
    EXPECT_DOUBLE_EQ(s.limit_high_db, 20.0);
    EXPECT_DOUBLE_EQ(s.limit_low_mw, 1e-5);
    EXPECT_DOUBLE_EQ(s.limit_high_mw, 100.0);
    EXPECT_FALSE(s.relative_enabled);
    EXPECT_DOUBLE_EQ(s.relative_ref_db, 0.0);
    EXPECT_DOUBLE_EQ(s.relative_ref_mw, 1.0);
    EXPECT_FALSE(s.maxmin_record);
    EXPECT_TRUE(s.meter_auto);
    EXPECT_DOUBLE_EQ(s.meter_min_db, -50.0);
    EXPECT_DOUBLE_EQ(s.meter_max_db, 20.0);
    EXPECT_EQ(s.trace_samples, 10);
    EXPECT_DOUBLE_EQ(s.trace_period_s, 1.0);
    EXPECT_EQ(s.trace_units, 1122);
    EXPECT_FALSE(s.trace_valid);
    EXPECT_FALSE(s.trace_running);
    EXPECT_EQ(s.stats_samples, 100);
    EXPECT_EQ(s.stats_samples_choice, 1006);
    EXPECT_EQ(s.stats_bins, 6);
    EXPECT_EQ(s.stats_bins_choice, 1013);
    EXPECT_EQ(s.stats_mode, 1605);
    EXPECT_FALSE(s.stats_valid);
    EXPECT_FALSE(s.collection_enabled);
    EXPECT_TRUE(s.collection_append);
    for (const auto &column : s.collection_columns) EXPECT_FALSE(column);
    EXPECT_FALSE(s.overload_beep);
    EXPECT_FALSE(s.zero_done);
    EXPECT_DOUBLE_EQ(s.zero_temperature, 25.0);
    EXPECT_FALSE(s.zero_drift_warning);
    EXPECT_FALSE(s.zero_drift_check_due);
    EXPECT_TRUE(s.cal_before_testing);
    EXPECT_TRUE(s.daily_cal_at_50mhz);
    EXPECT_TRUE(s.live_readout_enabled);
    EXPECT_FALSE(s.panel_open);
}

// The cal factor of the sensor's table at 50 MHz, as ConnectDefaults read the table.
double table_factor_at_50mhz(const AppState &s) {
    for (int i = 0; i < s.cf_table_count; ++i) {
        if (s.cf_table_freq_hz[static_cast<std::size_t>(i)] == 50e6) {
            return s.cf_table_factor[static_cast<std::size_t>(i)];
        }
    }
    return -1.0;
}

TEST_F(MeterTest, StartWithoutSensorShowsTheDisconnectedScreenOnceAndGreysTheCommands) {
    configure("plugged = 0\n");
    start();
    ASSERT_TRUE(wait_no_sensor());
    std::this_thread::sleep_for(150ms); // several more searches
    EXPECT_EQ(state.connection_state, meterdesk::kConnectionNoSensor);
    EXPECT_EQ(state.startup_phase, meterdesk::kStartupTakenOver);
    EXPECT_EQ(ui.repaints(RepaintRequest::kDisconnected), 1);
    EXPECT_GE(ui.repaints(RepaintRequest::kClear), 1);
    EXPECT_EQ(ui.repaints(RepaintRequest::kLiveReadout), 0);
    const auto menus = ui.of_kind(Kind::install_menu);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].caption, "Zyn_Menu");
    expect_commands(ui, false);
    EXPECT_TRUE(ui.message_texts().empty());
    EXPECT_FALSE(state.sensor_connected);
    EXPECT_FALSE(state.live_readout_enabled);
    // Timer 1 (the splash) was started with the thread's 5000 ms.
    const auto timers = ui.of_kind(Kind::start_timer);
    ASSERT_FALSE(timers.empty());
    EXPECT_EQ(timers[0].number, meterdesk::kSplashTimer);
    EXPECT_EQ(timers[0].value, 5000);
}

TEST_F(MeterTest, ThreadWaitsForTheSplashToEnd) {
    configure("");
    state.app_dir = app.path().string();
    thread = std::make_unique<meterdesk::MeasurementThread>(state, ui, kFastTiming);
    thread->start();
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(state.connection_state, meterdesk::kConnectionClosed);
    EXPECT_EQ(ui.count(Kind::install_menu), 0);
    // Nothing can be done to the splash: the sensor and readout commands are greyed.
    expect_commands(ui, false);
    for (int id : meterdesk::kMeasurementToolbarCommands)
        EXPECT_EQ(ui.command_enabled(id), false) << id;
    state.startup_phase = meterdesk::kStartupSplashDone;
    EXPECT_TRUE(wait_measuring());
    for (int id : meterdesk::kMeasurementToolbarCommands)
        EXPECT_EQ(ui.command_enabled(id), true) << id;
}

TEST_F(MeterTest, PluggingInConnectsWithTheDefaults) {
    configure("plugged = 0\nserial = RX123456\n");
    start();
    ASSERT_TRUE(wait_no_sensor());
    const auto mark = ui.size();
    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());

    EXPECT_TRUE(state.sensor_connected);
    EXPECT_EQ(state.sensor_serial.get(), "RX123456");
    EXPECT_TRUE(state.sensor_model.starts_with("RX4LO"));
    EXPECT_EQ(state.model_index, meterdesk::kModelRx4);
    EXPECT_FALSE(state.brand_marrick);
    EXPECT_TRUE(state.serial_is_real);
    EXPECT_EQ(state.brand_label.get(), "Zyn Quorix");
    EXPECT_EQ(state.firmware_number, 47); // "USB SENSOR V4.7"
    EXPECT_EQ(state.test_dir.get(), (home.path() / "Zyn Quorix Test").string());
    EXPECT_EQ(state.setup_save_path.get(), (app.path() / "Save recall").string());
    expect_defaults(state);
    EXPECT_GT(state.cf_table_count, 0);
    EXPECT_DOUBLE_EQ(state.cal_factor, table_factor_at_50mhz(state));
    EXPECT_EQ(state.filter_settings[3], 4); // the sensor's range-0 filter
    EXPECT_TRUE(state.lin_cor_available);

    expect_commands(ui, true);
    EXPECT_EQ(ui.command_enabled(meterdesk::kCmdVoltmeter), false);
    bool drift_timer = false;
    for (const auto &t : ui.of_kind(Kind::start_timer, mark)) {
        drift_timer |= t.number == meterdesk::kZeroDriftTimer && t.value == 15000;
    }
    EXPECT_TRUE(drift_timer);
    EXPECT_GE(ui.repaints(RepaintRequest::kFrame, mark), 1);
    EXPECT_GE(ui.repaints(RepaintRequest::kStatusPanel, mark), 1);
    EXPECT_TRUE(ui.message_texts(mark).empty());
}

TEST_F(MeterTest, SecondBrandSensorGetsItsLabelAndTestRoot) {
    configure("serial = 2061234\ndescription = USB Power Sensor 71340\n");
    start();
    ASSERT_TRUE(wait_measuring());
    EXPECT_TRUE(state.brand_marrick);
    EXPECT_EQ(state.brand_label.get(), "Marrick");
    EXPECT_EQ(state.model_index, meterdesk::kModelRx5);
    EXPECT_EQ(state.test_dir.get(), (home.path() / "Marrick Test").string());
}

struct InitCase {
    const char *keys;
    const char *text;
};

// Each load problem is reported once per connect, with its own text.
TEST_F(MeterTest, EachInitialisationProblemIsReportedOncePerConnect) {
    const InitCase cases[] = {
        {"equation_checksum = bad\n",
         "Error reading equation - using defaults.\n\nReport this error to Zyn Quorix."},
        {"cft = bad_checksum\n", "Cal Factor Table error.\n\nReport this error to Zyn Quorix."},
        {"tcd = bad_checksum\n", "TCD Load error.\n\nReport this error to Zyn Quorix."},
        {"tcd = absent\n", "Temp comp error 18 \n\nReport this error to Zyn Quorix."},
        {"lin = bad_checksum\n", "Lin Cor Load error.\n\nReport this error to Zyn Quorix."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.keys);
        configure(std::string("plugged = 0\n") + c.keys);
        FakeUi local_ui;
        AppState local_state;
        local_state.app_dir = app.path().string();
        local_state.startup_phase = meterdesk::kStartupSplashDone;
        meterdesk::MeasurementThread local(local_state, local_ui, kFastTiming);
        local.start();
        ASSERT_TRUE(eventually([&] { return local_state.connection_state == 2; }));
        for (int connect = 1; connect <= 2; ++connect) {
            const auto mark = local_ui.size();
            set("plugged", "1");
            ASSERT_TRUE(local_ui.wait_for(Kind::repaint, 3, kReadout, mark));
            const auto messages = local_ui.of_kind(Kind::message, mark);
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, c.text);
            EXPECT_EQ(messages[0].caption, "Sensor Initialisation");
            EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
            EXPECT_TRUE(local_state.sensor_connected); // the sensor is used anyway
            set("plugged", "0");
            ASSERT_TRUE(eventually([&] { return local_state.connection_state == 2; }));
        }
        EXPECT_TRUE(local.stop());
    }
}

TEST_F(MeterTest, TcdFileWithoutASectionIsReportedAs19) {
    ScratchFolder data;
    data.write("tcd.dat", std::string(10330, '\0')); // no valid section marks
    ScopedEnv q("QUORIX_HOME", data.path().string());
    configure("tcd = absent\n");
    start();
    ASSERT_TRUE(wait_measuring());
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Temp comp error 19 \n\nReport this error to Zyn Quorix."});
}

TEST_F(MeterTest, MessageBoxHoldsTheThreadUntilAnswered) {
    std::atomic<bool> release{false};
    ui.on_message([&](const UiCall &) -> std::optional<MessageAnswer> {
        while (!release) std::this_thread::sleep_for(1ms);
        return std::nullopt;
    });
    configure("lin = bad_checksum\n");
    start();
    ASSERT_TRUE(eventually([&] { return state.connection_state == 3; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ui.repaints(RepaintRequest::kLiveReadout), 0); // not measuring yet
    release = true;
    EXPECT_TRUE(wait_measuring());
}

TEST_F(MeterTest, NotRespondingIsReportedOnceWhileTheSensorKeepsSilent) {
    configure("ready = never\n");
    start();
    ASSERT_TRUE(wait_no_sensor());
    std::this_thread::sleep_for(200ms); // many retries
    const auto texts = ui.message_texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Sensor not responding.\nDisconnect sensor and reconnect.");
    EXPECT_EQ(ui.repaints(RepaintRequest::kDisconnected), 1);
    // Replugged and answering: it connects.
    set("ready", "yes");
    set("plugged", "0");
    set("plugged", "1");
    EXPECT_TRUE(wait_measuring());
}

// Records, on the measurement thread, the readout repaints per pass.
class PassRecorder : public meterdesk::SamplingHooks {
  public:
    explicit PassRecorder(FakeUi &ui) : ui_(ui) {}
    void after_pass(SensorRecord *sensor) override {
        std::lock_guard lock(mutex_);
        if (passes_.size() >= 60) return;
        passes_.push_back({ui_.repaints(RepaintRequest::kLiveReadout), DisplayUpdateRate(sensor)});
    }
    struct Pass {
        int repaints;
        int rate;
    };
    std::vector<Pass> passes() const {
        std::lock_guard lock(mutex_);
        return passes_;
    }
    void reset() {
        std::lock_guard lock(mutex_);
        passes_.clear();
    }

  private:
    FakeUi &ui_;
    mutable std::mutex mutex_;
    std::vector<Pass> passes_;
};

struct ModeCase {
    int mode;
    double power_dbm;
};

TEST_F(MeterTest, ReadingsOfEachPowerModeRepaintEveryDisplayUpdateRateReadings) {
    configure("power_dbm = -20\ntemperature_c = 25\n");
    auto recording = std::make_shared<PassRecorder>(ui);
    PassRecorder &recorder = *recording;
    start(recording);
    ASSERT_TRUE(wait_measuring());
    for (int mode : {meterdesk::kModeLog, meterdesk::kModeLinear, meterdesk::kModeVolts}) {
        SCOPED_TRACE(mode);
        state.meas_mode = mode;
        state.display_countdown = 1;
        std::this_thread::sleep_for(20ms);
        recorder.reset();
        ASSERT_TRUE(eventually([&] { return recorder.passes().size() >= 60; }));
        const auto passes = recorder.passes();
        // Between two readout repaints lie exactly DisplayUpdateRate readings.
        int last_repaint_pass = -1;
        int checked = 0;
        for (std::size_t i = 1; i < passes.size(); ++i) {
            if (passes[i].repaints == passes[i - 1].repaints) continue;
            EXPECT_EQ(passes[i].repaints, passes[i - 1].repaints + 1);
            if (last_repaint_pass >= 0) {
                EXPECT_EQ(static_cast<int>(i) - last_repaint_pass, passes[i - 1].rate);
                ++checked;
            }
            last_repaint_pass = static_cast<int>(i);
        }
        EXPECT_GE(checked, 3);
        EXPECT_EQ(state.reading_mode, mode);
    }
    EXPECT_GT(state.reading_volts, 0.0);
}

TEST_F(MeterTest, ReadingsArriveInTheUnitsOfTheirMode) {
    configure("power_dbm = -20\ntemperature_c = 25\nair_temperature_c = 27\n");
    start();
    ASSERT_TRUE(wait_measuring());
    EXPECT_NEAR(state.reading_power, -20.0, 0.05);

    state.meas_mode = meterdesk::kModeLinear;
    ASSERT_TRUE(eventually([&] { return state.reading_mode == meterdesk::kModeLinear; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_NEAR(state.reading_power, 0.01, 0.0002); // mW

    state.meas_mode = meterdesk::kModeVolts;
    ASSERT_TRUE(eventually([&] { return state.reading_mode == meterdesk::kModeVolts; }));
    EXPECT_GT(state.reading_volts, 0.0);
    EXPECT_LT(state.reading_volts, 0.1);

    set("temperature_c", "31");
    const auto mark = ui.size();
    state.meas_mode = meterdesk::kModeTemperature;
    ASSERT_TRUE(
        ui.wait_for(Kind::repaint, 2, static_cast<int>(RepaintRequest::kTemperatureReadout), mark));
    EXPECT_NEAR(state.sensor_temperature, 31.0, 0.3);
    EXPECT_NEAR(state.second_temperature, 27.0, 0.3);
    EXPECT_EQ(ui.repaints(RepaintRequest::kLiveReadout, ui.size()), 0);
}

TEST_F(MeterTest, OverloadIsReportedOnItsEdgesOnly) {
    configure("power_dbm = -20\n");
    start();
    ASSERT_TRUE(wait_measuring());
    EXPECT_FALSE(state.sensor_overload);
    state.status_repaint_request = false;
    set("power_dbm", "25"); // far above the detector's range
    ASSERT_TRUE(eventually([&] { return state.sensor_overload.load(); }));
    EXPECT_TRUE(state.status_repaint_request);
    state.status_repaint_request = false;
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(state.status_repaint_request); // no new request while it stands
    set("power_dbm", "-20");
    ASSERT_TRUE(eventually([&] { return !state.sensor_overload; }));
    EXPECT_TRUE(state.status_repaint_request);
}

// A reading that was being taken when the user changed the mode must never be drawn as a
// reading of the new mode: every readout repaint sees a reading of the selected mode.
TEST_F(MeterTest, ModeChangeDuringABlockingReadingNeverShowsTheOldModesValue) {
    configure("power_dbm = -20\ntiming = realistic\n");
    struct Seen {
        int mode;
        double power;
    };
    std::mutex mutex;
    std::vector<Seen> seen;
    ui.on_repaint([&](RepaintRequest code) {
        if (code != RepaintRequest::kLiveReadout) return;
        std::lock_guard lock(mutex);
        seen.push_back({state.meas_mode, state.reading_power});
    });
    start();
    ASSERT_TRUE(wait_measuring(20000ms));
    for (int change = 0; change < 6; ++change) {
        // Right after a readout repaint the thread is back in the library, blocked until the
        // next average; the mode changes under it.
        const auto mark = ui.size();
        ASSERT_TRUE(ui.wait_for(Kind::repaint, 1, kReadout, mark, 5000ms));
        std::this_thread::sleep_for(5ms); // conversions take 20 ms or more in this timing
        state.meas_mode = change % 2 == 0 ? meterdesk::kModeLinear : meterdesk::kModeLog;
        state.display_countdown = 1;
    }
    const auto mark = ui.size();
    ASSERT_TRUE(ui.wait_for(Kind::repaint, 1, kReadout, mark, 5000ms));
    std::lock_guard lock(mutex);
    ASSERT_GE(seen.size(), 7u);
    for (const auto &s : seen) {
        if (s.mode == meterdesk::kModeLinear) {
            EXPECT_NEAR(s.power, 0.01, 0.001) << "a dBm value drawn as mW";
        } else {
            EXPECT_NEAR(s.power, -20.0, 0.2) << "a mW value drawn as dBm";
        }
    }
}

TEST_F(MeterTest, UnplugAndReplugReturnsEverySettingToItsDefault) {
    configure("power_dbm = -20\n");
    start();
    ASSERT_TRUE(wait_measuring());
    change_settings(state);
    state.view_mode = meterdesk::kViewStatistics;

    auto mark = ui.size();
    set("plugged", "0");
    ASSERT_TRUE(wait_no_sensor());
    std::this_thread::sleep_for(100ms);
    // The disconnect path ran once.
    EXPECT_EQ(ui.repaints(RepaintRequest::kDisconnected, mark), 1);
    EXPECT_EQ(ui.count(Kind::install_menu, mark), 1); // back from the statistics menu
    expect_commands(ui, false);
    const auto toolbars = ui.of_kind(Kind::show_toolbar, mark);
    ASSERT_EQ(toolbars.size(), 1u);
    EXPECT_EQ(toolbars[0].number, meterdesk::kViewStatistics);
    EXPECT_EQ(toolbars[0].value, 0);
    std::vector<std::string> closed;
    for (const UiCall &call : ui.of_kind(Kind::close_panel, mark)) closed.push_back(call.caption);
    EXPECT_EQ(closed, (std::vector<std::string>{"MeasurementControlPanel", "TraceBox",
                                                "MeasurementFrequencyBox", "FreqCfTableBox"}));
    EXPECT_FALSE(state.sensor_connected);
    EXPECT_FALSE(state.live_readout_enabled);
    EXPECT_EQ(state.sensor_handle.load() != nullptr, true); // the searching session stays open

    mark = ui.size();
    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());
    expect_defaults(state);
    EXPECT_EQ(state.view_mode, meterdesk::kViewMeasurement);
    expect_commands(ui, true);
    EXPECT_EQ(ui.repaints(RepaintRequest::kDisconnected, mark), 0);
}

TEST_F(MeterTest, PresetReconnectsWithTheDefaultsWithoutTheDisconnectedScreen) {
    configure("power_dbm = -20\n");
    start();
    ASSERT_TRUE(wait_measuring());
    change_settings(state);
    SensorRecord *before = state.sensor_handle;
    const auto mark = ui.size();
    thread->force_disconnect();
    ASSERT_TRUE(eventually([&] {
        return state.sensor_handle.load() != before &&
               state.connection_state == meterdesk::kConnectionMeasuring;
    }));
    ASSERT_TRUE(wait_measuring());
    expect_defaults(state);
    EXPECT_EQ(ui.repaints(RepaintRequest::kDisconnected, mark), 0);
    EXPECT_GE(ui.repaints(RepaintRequest::kFrame, mark), 1);
}

TEST_F(MeterTest, PausedLoopTakesNoReadingsAndCountsItsParks) {
    configure("power_dbm = -20\n");
    start();
    ASSERT_TRUE(wait_measuring());
    const auto parks = state.measurement_parks.load();
    state.live_readout_enabled = false;
    ASSERT_TRUE(eventually([&] { return state.measurement_parks.load() > parks; }));
    std::this_thread::sleep_for(20ms);
    const auto mark = ui.size();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ui.repaints(RepaintRequest::kLiveReadout, mark), 0);
    state.live_readout_enabled = true;
    EXPECT_TRUE(ui.wait_for(Kind::repaint, 1, kReadout, mark));
}

TEST_F(MeterTest, StopEndsABlockingReadingAndReleasesTheDevice) {
    configure("power_dbm = -20\ntiming = realistic\n");
    start();
    ASSERT_TRUE(wait_measuring(20000ms));
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_TRUE(thread->stop(2000ms));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2000ms);
    EXPECT_EQ(state.sensor_handle.load(), nullptr);
    EXPECT_EQ(state.connection_state, meterdesk::kConnectionClosed);
    // The device is free again: a new session finds it.
    SensorRecord *record = nullptr;
    SensorOpen(&record);
    EXPECT_NE(SensorInit(record), 0);
    SensorClose(&record);
    thread.reset();
}

TEST_F(MeterTest, StopWhileSearchingClosesTheSession) {
    configure("plugged = 0\n");
    start();
    ASSERT_TRUE(wait_no_sensor());
    EXPECT_TRUE(thread->stop(1000ms));
    EXPECT_EQ(state.sensor_handle.load(), nullptr);
    thread.reset();
}

TEST(InitResultMessage, OnlyTheLoadCodesHaveMessages) {
    EXPECT_EQ(meterdesk::init_result_message(18),
              "Temp comp error 18 \n\nReport this error to Zyn Quorix.");
    EXPECT_EQ(meterdesk::init_result_message(19),
              "Temp comp error 19 \n\nReport this error to Zyn Quorix.");
    for (int rc : {0, 1, 2, 7, 25, 27, 99}) {
        EXPECT_FALSE(meterdesk::init_result_message(rc)) << rc;
    }
}

} // namespace
