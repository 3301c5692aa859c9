#include "meterdesk/trace/trace_settings_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/trace/trace_control.h"
#include "meterdesk/trace/trace_scaling.h"

namespace meterdesk {

using namespace trace_ids;

TraceSettingsBox::TraceSettingsBox(AppState &state, Ui &ui, Controls &controls)
    : state_(state), ui_(ui), controls_(controls) {}

const std::vector<int> &TraceSettingsBox::control_ids() {
    static const std::vector<int> ids = {kAuto,          kPlotMin,      kPlotMax, kSensor,
                                         kTempAutoScale, kTempMin,      kTempMax, kTemperatureLabel,
                                         kApply,         kSettingsClose};
    return ids;
}

void TraceSettingsBox::initialise() {
    auto &c = controls_;
    show_level_autoscale(state_, c);
    c.set_checked(kSensor, state_.trace_temperature);
    c.set_text(kTemperatureLabel, temperature_label(state_.temperature_celsius));
    show_temperature_autoscale(state_, c);
}

DialogAction TraceSettingsBox::command(int id) {
    auto &c = controls_;
    switch (id) {
    case kAuto:
        state_.trace_autoscale = !state_.trace_autoscale;
        show_level_autoscale(state_, c);
        return DialogAction::kStay;
    case kTempAutoScale:
        state_.trace_temp_autoscale = !state_.trace_temp_autoscale;
        show_temperature_autoscale(state_, c);
        return DialogAction::kStay;
    case kSensor: {
        const bool on = !state_.trace_temperature;
        state_.trace_temperature = on;
        c.set_checked(kSensor, on);
        // The temperature curve and labels are drawn over: only a full redraw removes them.
        if (!on) {
            state_.plot_done = false;
            state_.redraw_frame = true;
            state_.redraw_time_axis = true;
            state_.redraw_level_axis = true;
            state_.redraw_temp_axis = true;
        }
        return DialogAction::kStay;
    }
    case kApply:
        if (!check_scaling(state_, ui_, c)) return DialogAction::kStay;
        request_full_plot_redraw(state_, ui_);
        return DialogAction::kClose;
    case kSettingsClose:
        return DialogAction::kClose;
    default:
        return DialogAction::kStay;
    }
}

} // namespace meterdesk
