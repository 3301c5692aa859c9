#include "meterdesk/core/zeroing.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/worker.h"

#include <rfsense/rfsense.h>

#include <cmath>

namespace meterdesk {

namespace {

// A zero takes 150 ticks; a library that never stops answering "in progress" must not hold
// the zero thread for ever.
constexpr int kMaxZeroTicks = 1000;

} // namespace

int zero_procedure(AppState &state, Ui &ui, SensorRecord *sensor) {
    state.zero_done = false;
    const bool unattended = state.test_unattended;
    ZeroTickState tick{};
    int rc = SENSOR_ZERO_IN_PROGRESS;
    for (int ticks = 0; ticks < kMaxZeroTicks; ++ticks) {
        rc = SensorZeroTick(sensor, &tick);
        if (rc != SENSOR_ZERO_IN_PROGRESS) break;
        if (!unattended) ui.progress_step(kZeroingProgressBox);
    }
    if (rc == SENSOR_DONE) {
        state.zero_done = true;
        state.status_repaint_request = true;
        return rc;
    }
    // Rejected, sensor gone or never finished: the sensor stays "not zeroed".
    if (rc == SENSOR_ZERO_TOO_LARGE && !unattended) {
        ui.message(kSensorZeroCaption, "Zero failed.\n\nCheck no power is being applied.",
                   MessageButtons::kOk, MessageIcon::kExclamation);
    }
    state.status_repaint_request = true;
    return rc;
}

void zero_drift_check(AppState &state, SensorRecord *sensor) {
    if (!state.zero_drift_check_due || !state.zero_done) return;
    double temperature = 0.0;
    if (SensorTemperature(sensor, &temperature) == 0) return; // sensor gone; check again later
    const double shift = std::fabs(state.zero_temperature - temperature);
    state.zero_temperature_shift = shift;
    if (shift > kZeroDriftLimitC) {
        state.zero_drift_check_due = false;
        state.zero_drift_warning = true;
        state.status_repaint_request = true;
        return;
    }
    if (state.zero_drift_warning) {
        state.zero_drift_warning = false;
        state.status_repaint_request = true;
    }
    state.zero_drift_check_due = false;
}

ZeroThread::ZeroThread(AppState &state, Ui &ui, ZeroTiming timing)
    : state_(state), ui_(ui), timing_(timing), worker_(std::make_unique<Worker>()) {}

ZeroThread::~ZeroThread() {
    shutdown();
}

bool ZeroThread::zero_command() {
    if (!state_.sensor_connected) {
        ui_.message(kSensorZeroCaption, "Can't zero: No sensor connected", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return false;
    }
    if (state_.trace_running) {
        ui_.message(kSensorZeroCaption, "Can't zero while TRACE running.", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return false;
    }
    if (ui_.message(kSensorZeroCaption, "Ensure no power is being applied while zeroing.",
                    MessageButtons::kOkCancel, MessageIcon::kInformation) != MessageAnswer::kOk) {
        return false;
    }
    if (worker_->busy()) return false; // the modal box keeps a second zero from starting
    ui_.progress_open(kZeroingProgressBox, kZeroingProgressText, kZeroProgressRange);
    if (!worker_->resume([this] { run_job(); })) {
        ui_.progress_close(kZeroingProgressBox);
        return false;
    }
    return true;
}

void ZeroThread::run_job() {
    {
        SensorTakeover takeover(state_, timing_);
        if (takeover) {
            zero_procedure(state_, ui_, takeover.sensor());
            double temperature = 0.0;
            if (SensorTemperature(takeover.sensor(), &temperature) != 0) {
                state_.zero_temperature = temperature;
            }
        } else {
            state_.zero_done = false; // the sensor went away before the zero could start
            state_.status_repaint_request = true;
        }
        state_.zero_drift_warning = false;
    }
    ui_.progress_close(kZeroingProgressBox);
}

bool ZeroThread::wait_finished(std::chrono::milliseconds timeout) const {
    return worker_->wait_idle(timeout);
}

bool ZeroThread::shutdown(std::chrono::milliseconds timeout) {
    return worker_->shutdown(timeout);
}

} // namespace meterdesk
