#include "meterdesk/core/measurement_mode.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"

namespace meterdesk {

void select_measurement_mode(AppState &state, Ui &ui, int mode) {
    state.live_readout_enabled = true;
    state.stats_requested = false;
    state.meas_mode = mode;
    state.trace_running = false;

    // Leave the screens of the other views.
    if (state.trace_screen_shown || state.stats_screen_shown) {
        state.trace_screen_shown = false;
        state.stats_screen_shown = false;
        ui.repaint(RepaintRequest::kClear);
    }
    state.trace_screen_shown = false;
    if (state.temperature_screen_shown) ui.repaint(RepaintRequest::kClear);

    state.display_countdown = 1; // the next reading repaints the readout
    if (mode == kModeTemperature) {
        ui.repaint(RepaintRequest::kTemperatureLabels);
        ui.repaint(RepaintRequest::kTemperatureReadout);
    } else {
        ui.repaint(RepaintRequest::kFrame);
        ui.repaint(RepaintRequest::kStatusPanel);
    }
}

int readout_top_for(int mode, int display_setup) {
    if (mode == kModeTemperature || mode == kModeVolts) return 20;
    switch (display_setup) {
    case 1:
        return 0;
    case 2:
        return -25;
    default:
        return 20;
    }
}

void apply_measurement_mode(AppState &state, Ui &ui, int mode) {
    state.readout_top = readout_top_for(mode, state.display_setup);
    select_measurement_mode(state, ui, mode);
}

int toggled_log_linear(int mode) {
    return mode == kModeLog ? kModeLinear : kModeLog;
}

} // namespace meterdesk
