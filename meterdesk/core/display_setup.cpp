#include "meterdesk/core/display_setup.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"

#include <rfsense/rfsense.h>

namespace meterdesk {

void select_display_setup(AppState &state, Ui &ui, int radio_id) {
    int setup = 0;
    int top = 20;
    switch (radio_id) {
    case kDisplayNumericRadio:
        break;
    case kDisplayMeterRadio:
        setup = 1;
        top = 0;
        break;
    case kDisplayBothRadio:
        setup = 2;
        top = -25;
        break;
    default:
        return;
    }
    state.display_setup = setup;
    state.readout_top = top;
    ui.repaint(RepaintRequest::kClear);
    ui.repaint(RepaintRequest::kFrame);
    // The meter alone is drawn with the next reading; the numeric readout at once.
    if (setup != 1) ui.repaint(RepaintRequest::kLiveReadout);
}

int next_display_setup_radio(int display_setup) {
    switch (display_setup) {
    case 0:
        return kDisplayMeterRadio;
    case 1:
        return kDisplayBothRadio;
    default:
        return kDisplayNumericRadio;
    }
}

int next_resolution_places(int places) {
    return places <= 0 || places > 3 ? 3 : places - 1;
}

bool step_resolution(AppState &state, SensorRecord *sensor) {
    const int mode = state.meas_mode;
    if (mode != kModeLinear && mode != kModeLog) return false;
    const int places = next_resolution_places(state.resolution_places);
    state.resolution_places = places;
    state.resolution_radio_id = kResolutionRadioBase + places;
    if (sensor != nullptr) SensorStrResolution(sensor, places);
    if (state.trace_screen_shown) state.display_countdown = 1;
    return true;
}

} // namespace meterdesk
