// Formatting of one reading for the main readout.
//
// Every displayed reading runs through format_reading: it chooses the unit prefix, prints the
// number with the resolution of the mode, and, as a side result, advances the relative-mode
// minimum/maximum record and the limit alarms, so both follow the display rate. The function
// is pure: it takes the values it needs and returns the new record and alarm states together
// with the flags the caller acts on (redraw the status panel, wake the alarm beep).
#pragma once

#include "meterdesk/core/app_state.h"

#include <string>

namespace meterdesk {

// Unit index of the readout; selects the unit glyph.
enum ReadoutUnit : int {
    kUnitDbm = 0,
    kUnitDb = 1, // relative log
    kUnitMilliwatt = 2,
    kUnitMicrowatt = 3,
    kUnitNanowatt = 4,
    kUnitVolt = 5,
    kUnitMillivolt = 6,
    kUnitMicrovolt = 7,
    kUnitPercent = 8, // relative linear
    kUnitWatt = 9,
    kUnitKilowatt = 10,
    kUnitMegawatt = 11,
    kUnitKiloPercent = 12,
    kUnitMegaPercent = 13,
    kUnitGigaPercent = 14,
    kUnitTeraPercent = 15,
};

// Text shown instead of a number when the reading is not a finite value.
inline constexpr const char *kInvalidReadingText = "----";

struct ReadoutInput {
    int meas_mode = kModeLog;
    double reading_power = 0.0; // dBm (mode 1218) or mW / percent (mode 1217)
    double reading_volts = 0.0; // volts (mode 1216)
    int resolution_places = 3;  // 0..3 decimals in the power modes
    bool relative_enabled = false;

    // Minimum/maximum record of relative mode.
    bool maxmin_record = false;
    bool maxmin_reset_request = false;
    double maxmin_minimum = 0.0;
    double maxmin_maximum = 0.0;

    // Limits: dBm (dB) in mode 1218, mW (percent) in the other modes.
    bool limits_enabled = false;
    bool limits_beep = false;
    double limit_low_db = -50.0;
    double limit_high_db = 20.0;
    double limit_low_mw = 0.00001;
    double limit_high_mw = 100.0;
    bool limit_low_alarm = false;
    bool limit_high_alarm = false;
};

struct FormattedReading {
    std::string text; // empty: nothing to draw (temperature mode)
    int unit_index = kUnitDbm;
    char sign = ' '; // '-' when the text shows a negative number, else ' '

    // State after this reading.
    bool maxmin_reset_request = false;
    double maxmin_minimum = 0.0;
    double maxmin_maximum = 0.0;
    bool limit_low_alarm = false;
    bool limit_high_alarm = false;

    bool status_repaint_request = false; // the status panel shows something that changed
    bool wake_alarm_beep = false;        // the reading is outside a limit with the beep on
};

FormattedReading format_reading(const ReadoutInput &input);

// The input as the state holds it now.
ReadoutInput readout_input(const AppState &state);

// Formats the current reading of `state` and stores the new min/max record and alarm flags in
// it (setting status_repaint_request when the panel must follow). The caller wakes the alarm
// beep when the result asks for it.
FormattedReading format_current_reading(AppState &state);

} // namespace meterdesk
