#include "meterdesk/trace/trace_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/settings/number_text.h"
#include "meterdesk/trace/plot_layout.h"
#include "meterdesk/trace/trace_control.h"
#include "meterdesk/trace/trace_file_commands.h"
#include "meterdesk/trace/trace_scaling.h"

#include <algorithm>
#include <cmath>

namespace meterdesk {

using namespace trace_ids;

TraceBox::TraceBox(AppState &state, Ui &ui, Controls &controls)
    : state_(state), ui_(ui), controls_(controls) {}

const std::vector<int> &TraceBox::control_ids() {
    static const std::vector<int> ids = {kStart,    kClose,       kSamples,       kPeriod,
                                         kSeconds,  kMinutes,     kSensor,        kTemperatureLabel,
                                         kTempMin,  kTempMax,     kTempAutoScale, kAuto,
                                         kPlotMin,  kPlotMax,     kRedraw,        kSaveTrace,
                                         kSaveData, kRecallTrace, kVolts,         kLinear,
                                         kLog};
    return ids;
}

void TraceBox::initialise() {
    state_.trace_box_open = true;
    auto &c = controls_;
    c.set_text(kSamples, printf_int(state_.trace_samples));
    const bool seconds = state_.trace_period_in_seconds;
    const double period = state_.trace_period_s;
    c.set_text(kPeriod, printf_fixed(seconds ? period : period / 60.0, 1));
    c.set_checked(kSeconds, seconds);
    c.set_checked(kMinutes, !seconds);

    show_level_autoscale(state_, c);

    const int units = state_.trace_units;
    for (int id : {kVolts, kLinear, kLog}) c.set_checked(id, id == units);
    c.set_checked(kSensor, state_.trace_temperature);
    c.set_text(kTemperatureLabel, temperature_label(state_.temperature_celsius));
    show_temperature_autoscale(state_, c);

    set_running_look(state_.trace_running);
}

void TraceBox::set_running_look(bool running) {
    auto &c = controls_;
    c.set_enabled(kRedraw, !running);
    for (int id : {kSaveTrace, kRecallTrace, kSaveData}) c.set_shown(id, !running);
    for (int id : {kSamples, kPeriod, kSeconds, kMinutes, kLinear, kLog})
        c.set_enabled(id, !running);
    c.set_enabled(kVolts, false); // "Sensor volts" is never offered
    const bool valid = state_.trace_valid;
    c.set_enabled(kSaveTrace, !running && valid);
    c.set_enabled(kSaveData, !running && valid);
}

DialogAction TraceBox::command(int id) {
    auto &c = controls_;
    switch (id) {
    case kStart:
        return start();
    case kClose:
        state_.trace_box_open = false;
        return DialogAction::kClose;
    case kSeconds:
    case kMinutes:
        state_.trace_period_in_seconds = id == kSeconds;
        c.set_checked(kSeconds, id == kSeconds);
        c.set_checked(kMinutes, id == kMinutes);
        return DialogAction::kStay;
    case kAuto:
        state_.trace_autoscale = !state_.trace_autoscale;
        show_level_autoscale(state_, c);
        return DialogAction::kStay;
    case kTempAutoScale:
        state_.trace_temp_autoscale = !state_.trace_temp_autoscale;
        show_temperature_autoscale(state_, c);
        return DialogAction::kStay;
    case kSensor:
        state_.trace_temperature = !state_.trace_temperature;
        c.set_checked(kSensor, state_.trace_temperature);
        return DialogAction::kStay;
    case kLinear:
    case kLog:
        state_.trace_units = id;
        for (int radio : {kVolts, kLinear, kLog}) c.set_checked(radio, radio == id);
        return DialogAction::kStay;
    case kRedraw:
        redraw();
        return DialogAction::kStay;
    case kSaveTrace:
        if (state_.trace_valid) save_trace_command(state_, ui_);
        return DialogAction::kStay;
    case kSaveData:
        if (state_.trace_valid) save_trace_data_command(state_, ui_);
        return DialogAction::kStay;
    case kRecallTrace:
        return recall();
    default:
        return DialogAction::kStay;
    }
}

DialogAction TraceBox::start() {
    if (state_.trace_running) return DialogAction::kStay;
    if (!check_samples_and_period(state_, ui_, controls_)) return DialogAction::kStay;
    if (!check_scaling(state_, ui_, controls_)) return DialogAction::kStay;
    start_trace(state_, ui_);
    state_.trace_box_open = false;
    return DialogAction::kClose;
}

void TraceBox::redraw() {
    if (state_.trace_running) return;
    if (!check_scaling(state_, ui_, controls_)) return;
    if (!state_.trace_valid) {
        ui_.message("Trace", "No valid data (run trace first)", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return;
    }
    state_.live_readout_enabled = false;
    convert_trace_units(state_);
    request_full_plot_redraw(state_, ui_);
    state_.trace_box_open = false; // the panel stays on screen
    show_completed_trace_view(state_, ui_,
                              trace_clips(state_) ? kTraceClippedText : kTraceRedrawnText);
}

DialogAction TraceBox::recall() {
    if (state_.trace_running || !recall_trace_command(state_, ui_)) return DialogAction::kStay;
    state_.live_readout_enabled = false;
    request_full_plot_redraw(state_, ui_);
    show_completed_trace_view(state_, ui_, kTraceRecalledText);
    state_.trace_box_open = false;
    return DialogAction::kClose;
}

void start_trace_from_menu(AppState &state, Ui &ui) {
    if (state.trace_running) return;
    if (state.trace_box_open) {
        ui.close_panel(kTraceBoxName);
        state.trace_box_open = false;
    }
    start_trace(state, ui);
}

void convert_trace_units(AppState &state) {
    const int units = state.trace_units;
    const int tag = state.trace_data_units;
    const int count = std::clamp<int>(state.trace_count, 0, kTracePoints);
    auto convert = [&](auto function) {
        for (int i = 0; i < count; ++i) {
            auto &value = state.trace_values[static_cast<std::size_t>(i)];
            value = function(value.load());
        }
    };
    if (units == kLinear && tag != 2) {
        convert([](double v) { return std::pow(10.0, v * 0.1); });
        state.trace_data_units = 2;
    } else if (units == kLog && tag != 1) {
        convert([](double v) { return 10.0 * std::log10(v); });
        state.trace_data_units = 1;
    }
}

} // namespace meterdesk
