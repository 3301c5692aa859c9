// The display setup (numeric readout, meter bar or both) and the readout resolution, as the
// main window's toolbar buttons and the control panel change them.
#pragma once

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

// Radio ids of the display setups.
inline constexpr int kDisplayNumericRadio = 1205;
inline constexpr int kDisplayMeterRadio = 1206;
inline constexpr int kDisplayBothRadio = 1207;

// Radio ids of 0..3 decimal places.
inline constexpr int kResolutionRadioBase = 1284;

// Select display setup: numeric (display_setup 0, readout_top 20, repaints 1, 3, 5), meter
// (1, 0, repaints 1, 3) or both (2, -25, repaints 1, 3, 5). Unknown ids change nothing.
void select_display_setup(AppState &state, Ui &ui, int radio_id);

// The display-setup button's next setup: numeric -> meter -> both -> numeric.
int next_display_setup_radio(int display_setup);

// The resolution button's next number of places: 3 -> 2 -> 1 -> 0 -> 3.
int next_resolution_places(int places);

// The resolution button: only in linear and log power modes, steps resolution_places (and its
// radio id), hands it to the library with SensorStrResolution and, while the trace screen is
// shown, forces the next readout repaint. Returns false, changing nothing, in other modes.
bool step_resolution(AppState &state, SensorRecord *sensor);

} // namespace meterdesk
