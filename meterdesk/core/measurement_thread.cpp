#include "meterdesk/core/measurement_thread.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/connect_defaults.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/reading_log.h"
#include "meterdesk/core/sensor_identity.h"
#include "meterdesk/core/view_menus.h"
#include "meterdesk/core/worker.h"
#include "meterdesk/core/zeroing.h"

#include <rfsense/rfsense.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace meterdesk {

namespace {

constexpr int kStartupSplashTimerMs = 5000;
constexpr std::chrono::milliseconds kLeasePoll{1};

} // namespace

std::optional<std::string> init_result_message(int rc) {
    switch (rc) {
    case SENSOR_EQUATION_DEFAULTS:
        return "Error reading equation - using defaults.\n\nReport this error to Zyn Quorix.";
    case SENSOR_TCD_FILE_MISSING:
    case SENSOR_TCD_FILE_NO_SECTION: {
        char text[80];
        std::snprintf(text, sizeof text, "Temp comp error %d \n\nReport this error to Zyn Quorix.",
                      rc);
        return std::string(text);
    }
    case SENSOR_TCD_CHECKSUM:
        return "TCD Load error.\n\nReport this error to Zyn Quorix.";
    case SENSOR_CAL_FACTOR_TABLE_ERROR:
        return "Cal Factor Table error.\n\nReport this error to Zyn Quorix.";
    case SENSOR_LINEARITY_CHECKSUM:
        return "Lin Cor Load error.\n\nReport this error to Zyn Quorix.";
    default:
        return std::nullopt;
    }
}

// Everything the thread uses, shared with the MeasurementThread object so that a thread left
// running after a timed-out stop() never touches freed memory of ours.
struct MeasurementThread::Shared {
    Shared(AppState &s, Ui &u, MeasurementTiming t, SamplingHooks *h)
        : state(s), ui(u), timing(t), hooks(h) {}

    AppState &state;
    Ui &ui;
    const MeasurementTiming timing;
    SamplingHooks *const hooks;
    ReadingLog *reading_log = nullptr; // set before the thread starts

    // Guards opening and closing the session against force_disconnect() from other threads,
    // and carries the stop request to the thread's sleeps.
    std::mutex mutex;
    std::condition_variable wake;
    bool stop_requested = false;
    int last_init_rc = -1;

    bool stopping() {
        std::lock_guard lock(mutex);
        return stop_requested;
    }

    // Sleeps for `period` unless a stop request comes first; returns false on stop.
    bool sleep(std::chrono::milliseconds period) {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, period, [&] { return stop_requested; });
    }

    void run();
    bool wait_for_splash();
    void open_session();
    void close_session();
    void take_over_window();
    void sensor_lost();
    void sensor_found(int rc);
    void measure_pass(SensorRecord *sensor, bool over_range);
    void log_reading(double value, LogUnit unit, bool over_range) {
        if (reading_log != nullptr) reading_log->log(value, unit, over_range);
    }
    void pace_display(SensorRecord *sensor);
};

bool MeasurementThread::Shared::wait_for_splash() {
    while (state.startup_phase.load() == kStartupSplash) {
        if (!sleep(timing.startup_poll)) return false;
    }
    return true;
}

void MeasurementThread::Shared::open_session() {
    std::lock_guard lock(mutex);
    SensorRecord *record = nullptr;
    SensorOpen(&record);
    state.sensor_handle = record;
    state.connection_state = kConnectionSearching;
}

void MeasurementThread::Shared::close_session() {
    SensorRecord *record = nullptr;
    {
        std::lock_guard lock(mutex); // force_disconnect() no longer finds the record
        record = state.sensor_handle.exchange(nullptr);
    }
    // A SensorLease taken before the handle was cleared still uses the record; its calls
    // return at once now that the sensor is gone.
    while (state.sensor_lessees.load() > 0) std::this_thread::sleep_for(kLeasePoll);
    if (record != nullptr) SensorClose(&record);
    state.connection_state = kConnectionClosed;
}

void MeasurementThread::Shared::take_over_window() {
    state.splash_shown = false;
    ui.repaint(RepaintRequest::kClear);
    ui.install_menu(view_menu(state, kViewMeasurement));
    for (int command : kMeasurementToolbarCommands) ui.enable_command(command, true);
    state.startup_phase = kStartupTakenOver;
}

// The way from "searching" to "no sensor": runs once per loss.
void MeasurementThread::Shared::sensor_lost() {
    state.sensor_connected = false;
    ui.close_panel("MeasurementControlPanel");
    ui.close_panel("TraceBox");
    // The settings dialogs that work on this sensor end with it.
    ui.close_panel("MeasurementFrequencyBox");
    ui.close_panel("FreqCfTableBox");
    state.trace_running = false;
    state.trace_screen_shown = false;
    if (hooks != nullptr) hooks->connection_lost();
    state.live_readout_enabled = false;
    if (!state.disconnected_screen_shown) {
        ui.repaint(RepaintRequest::kClear);
        ui.repaint(RepaintRequest::kDisconnected);
        state.disconnected_screen_shown = true;
    }
    const int view = state.view_mode;
    if (view != kViewMeasurement) ui.install_menu(view_menu(state, kViewMeasurement));
    for (int command : kConnectionDependentCommands) ui.enable_command(command, false);
    ui.show_toolbar(view, false);
    state.connection_state = kConnectionNoSensor;
}

void MeasurementThread::Shared::sensor_found(int rc) {
    SensorRecord *sensor = state.sensor_handle;
    ui.show_toolbar(kViewMeasurement, true);
    state.connection_state = kConnectionMeasuring;
    state.sensor_connected = true;
    state.view_mode = kViewMeasurement;

    // The thread waits for the user before measuring.
    if (auto text = init_result_message(rc)) {
        ui.message(kSensorInitialisationCaption, *text, MessageButtons::kOk,
                   MessageIcon::kExclamation);
    }

    char serial[32] = {};
    char model[64] = {};
    SensorDetails(sensor, serial, model);
    state.sensor_serial = serial;
    state.sensor_model = model;
    state.model_index = model_index_for(model);
    state.brand_marrick = is_marrick_serial(serial);
    state.serial_is_real = is_real_serial(serial);

    ConnectDefaults(state, ui, sensor);

    char revision[32] = {};
    SensorFW_Revision(sensor, revision);
    state.firmware_revision = revision;
    state.firmware_number = firmware_number_of(revision);

    for (int command : kConnectionDependentCommands) ui.enable_command(command, true);
    ui.enable_command(kCmdVoltmeter, false);

    state.disconnected_screen_shown = false;
    ui.repaint(RepaintRequest::kClear);
    ui.repaint(RepaintRequest::kFrame);
    ui.repaint(RepaintRequest::kStatusPanel);
}

void MeasurementThread::Shared::pace_display(SensorRecord *sensor) {
    const int left = state.display_countdown.fetch_sub(1) - 1;
    if (left < 1) {
        ui.repaint(RepaintRequest::kLiveReadout);
        state.display_countdown = DisplayUpdateRate(sensor);
    }
}

void MeasurementThread::Shared::measure_pass(SensorRecord *sensor, bool over_range) {
    if (!state.live_readout_enabled) {
        state.measurement_parks.fetch_add(1);
        sleep(timing.paused_poll);
        return;
    }

    // Overload edge: the status panel changes only when the indication does.
    if (over_range != state.sensor_overload) {
        state.sensor_overload = over_range;
        state.status_repaint_request = true;
    }

    // A reading is kept only if the mode it was taken in is still the selected one: the user
    // may change the mode while the library blocks for the next average.
    const int mode = state.meas_mode;
    double value = 0.0;
    switch (mode) {
    case kModeVolts:
        if (SensorVolts(sensor, &value) != 0 && state.meas_mode == mode) {
            log_reading(value, LogUnit::kVolts, over_range);
            state.reading_volts = value;
            state.reading_mode = mode;
            pace_display(sensor);
        }
        break;
    case kModeLinear:
        if (SensorPowerLin(sensor, &value) != 0 && state.meas_mode == mode) {
            // In relative mode the library gives the percentage scaled like watts.
            if (state.relative_enabled)
                log_reading(value * 1000.0, LogUnit::kPercent, over_range);
            else
                log_reading(value, LogUnit::kWatts, over_range);
            state.reading_power = value * 1000.0; // the display works in mW
            state.reading_mode = mode;
            pace_display(sensor);
        }
        break;
    case kModeLog:
        if (SensorPowerLog(sensor, &value) != 0 && state.meas_mode == mode) {
            log_reading(value, state.relative_enabled ? LogUnit::kDb : LogUnit::kDbm, over_range);
            state.reading_power = value;
            state.reading_mode = mode;
            pace_display(sensor);
        }
        break;
    case kModeTemperature: {
        double second = 0.0;
        const bool read = SensorTemperatureBoth(sensor, &value, &second) != 0;
        if (read) {
            state.sensor_temperature = value;
            state.second_temperature = second;
        }
        if (!sleep(timing.temperature_pace)) return;
        if (read && state.meas_mode == kModeTemperature) {
            if (state.temperature_celsius)
                log_reading(value, LogUnit::kCelsius, false);
            else
                log_reading(value * 1.8 + 32.0, LogUnit::kFahrenheit, false);
            state.reading_mode = kModeTemperature;
            ui.repaint(RepaintRequest::kTemperatureReadout);
        }
        break;
    }
    default:
        // Not a measurement mode: nothing to read; do not spin.
        sleep(timing.paused_poll);
        break;
    }

    zero_drift_check(state, sensor);
}

void MeasurementThread::Shared::run() {
    if (!wait_for_splash()) return;
    state.info_panel_shown = false;
    state.disconnected_screen_shown = false;
    state.connection_state = kConnectionClosed;

    while (!stopping()) {
        if (state.connection_state == kConnectionClosed) open_session();
        SensorRecord *sensor = state.sensor_handle;
        // A factory tool holds the bridges: no search pass opens them meanwhile.
        state.search_running = true;
        if (state.search_holds.load() > 0) {
            state.search_running = false;
            sleep(timing.search_poll);
            continue;
        }
        const int rc = SensorInit(sensor);
        state.search_running = false;
        if (state.startup_phase != kStartupTakenOver) take_over_window();

        if (rc == SENSOR_NOT_RESPONDING && last_init_rc != SENSOR_NOT_RESPONDING) {
            // Reported once while the sensor keeps not answering, not on every retry.
            ui.message(kSensorInitialisationCaption,
                       "Sensor not responding.\nDisconnect sensor and reconnect.",
                       MessageButtons::kOk, MessageIcon::kExclamation);
        }
        last_init_rc = rc;

        if (rc == SENSOR_NOT_CONNECTED || rc == SENSOR_NOT_RESPONDING) {
            if (state.connection_state == kConnectionSearching) sensor_lost();
            sleep(timing.search_poll);
            continue;
        }

        sensor_found(rc);
        unsigned char over_range = 0;
        while (!stopping() && SensorConnected(sensor, &over_range) != 0) {
            measure_pass(sensor, over_range != 0);
            if (hooks != nullptr) hooks->after_pass(sensor);
        }
        if (state.connection_state == kConnectionMeasuring) close_session();
    }
    close_session(); // releases the device
}

MeasurementThread::MeasurementThread(AppState &state, Ui &ui, MeasurementTiming timing,
                                     SamplingHooks *hooks)
    : shared_(std::make_shared<Shared>(state, ui, timing, hooks)) {}

MeasurementThread::~MeasurementThread() {
    stop();
}

void MeasurementThread::start() {
    if (worker_) return;
    // Until this thread has taken the window over, the commands that need a sensor or act on
    // the readout stay greyed; the splash is all there is.
    for (int command : kConnectionDependentCommands) shared_->ui.enable_command(command, false);
    for (int command : kMeasurementToolbarCommands) shared_->ui.enable_command(command, false);
    shared_->ui.start_timer(kSplashTimer, kStartupSplashTimerMs);
    worker_ = std::make_unique<Worker>();
    worker_->resume([shared = shared_] { shared->run(); });
}

void MeasurementThread::force_disconnect() {
    std::lock_guard lock(shared_->mutex);
    SensorRecord *record = shared_->state.sensor_handle;
    if (record != nullptr) SensorForceDisconnect(record);
}

void MeasurementThread::set_reading_log(ReadingLog *log) {
    shared_->reading_log = log;
}

bool MeasurementThread::stop(std::chrono::milliseconds timeout) {
    if (!worker_) return true;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop_requested = true;
        shared_->wake.notify_all();
        // Wake a reading that blocks for the next average.
        SensorRecord *record = shared_->state.sensor_handle;
        if (record != nullptr && shared_->state.connection_state == kConnectionMeasuring) {
            SensorForceDisconnect(record);
        }
    }
    const bool joined = worker_->shutdown(timeout);
    worker_.reset();
    return joined;
}

} // namespace meterdesk
