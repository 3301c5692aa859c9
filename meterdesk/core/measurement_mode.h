// Selecting the measurement mode (volts, watts, dBm, temperature) outside the measurement
// control panel: the keyboard shortcuts, the log/linear toolbar button, leaving the trace and
// statistics screens, and the measurement thread all switch the mode through here. The panel
// adds its own control refresh on top.
#pragma once

namespace meterdesk {

struct AppState;
class Ui;

// Select measurement mode: turns the live readout on, ends a running trace and a requested
// statistics run, leaves the trace and statistics screens (clearing the window when one was
// shown, or when the temperature screen was), forces the next reading to repaint the readout
// and asks for the screen of the new mode (temperature labels and readout for 1219, frame and
// status panel otherwise).
void select_measurement_mode(AppState &state, Ui &ui, int mode);

// Top of the readout rows for a mode and display setup: 20 in volts and temperature, else 20,
// 0 or -25 for numeric, meter or both.
int readout_top_for(int mode, int display_setup);

// A mode change as the control panel's mode buttons make it: the readout rows move to the new
// mode's place first (readout_top_for), then select_measurement_mode. Used by the main window's
// keyboard shortcuts and its log/linear button, so that the temperature screen never inherits
// the raised rows of the "both" display.
void apply_measurement_mode(AppState &state, Ui &ui, int mode);

// The log/linear button: 1217 from 1218, otherwise 1218.
int toggled_log_linear(int mode);

} // namespace meterdesk
