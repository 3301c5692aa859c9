#include "meterdesk/core/sampling.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/measurement_mode.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/view_menus.h"

#include <rfsense/rfsense.h>

#include <cstdio>

namespace meterdesk {

bool read_sample(SensorRecord *sensor, SampleUnit unit, double &value) {
    switch (unit) {
    case SampleUnit::kVolts:
        return SensorVolts(sensor, &value) != 0;
    case SampleUnit::kDbm:
        return SensorPowerLog(sensor, &value) != 0;
    case SampleUnit::kMilliwatts: {
        double watts = 0.0;
        if (SensorPowerLin(sensor, &watts) == 0) return false;
        value = watts * 1000.0;
        return true;
    }
    }
    return false;
}

std::string sample_date_line(const std::tm &local) {
    char line[64];
    std::snprintf(line, sizeof line, "%d.%d.%02d at %d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900 - 2000, local.tm_hour, local.tm_min, local.tm_sec);
    return line;
}

void leave_to_measurement_view(AppState &state, Ui &ui) {
    const int view = state.view_mode;
    state.trace_screen_shown = false;
    state.stats_screen_shown = false;
    select_measurement_mode(state, ui, state.meas_mode);
    ui.install_menu(view_menu(state, kViewMeasurement));
    if (view != kViewMeasurement) ui.show_toolbar(view, false);
    ui.show_trace_boxes(false);
    ui.show_toolbar(kViewMeasurement, true);
    state.view_mode = kViewMeasurement;
}

void end_trace_at_once(AppState &state, Ui &ui) {
    if (!state.trace_running.exchange(false)) return;
    ui.stop_timer(kTraceSampleTimer);
    leave_to_measurement_view(state, ui);
    // The run sleeps until its next point: wake it, so that it ends now, without a point.
    state.trace_wake.notify();
}

Sampling::Sampling(AppState &state, Ui &ui) : state_(state), ui_(ui) {}

void Sampling::set_trace_run(Job run, Notice on_connection_lost) {
    trace_run_ = std::move(run);
    trace_lost_ = std::move(on_connection_lost);
}

void Sampling::set_stats_burst(Job burst, Notice on_connection_lost) {
    stats_burst_ = std::move(burst);
    stats_lost_ = std::move(on_connection_lost);
}

void Sampling::after_pass(SensorRecord *sensor) {
    if (trace_run_ && state_.trace_running) trace_run_(sensor);
    if (stats_burst_ && state_.stats_requested) stats_burst_(sensor);
}

void Sampling::connection_lost() {
    ui_.show_trace_boxes(false);
    if (trace_lost_) trace_lost_();
    if (stats_lost_) stats_lost_();
}

} // namespace meterdesk
