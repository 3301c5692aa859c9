// The status panel at the right of the measurement screen: zero state, overload warning,
// frequency or cal factor, offset, duty cycle, relative mode with its record, and the limits
// or their alarms, as positioned, coloured text lines.
#pragma once

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/display_colours.h"

#include <vector>

namespace meterdesk {

struct StatusPanelInput {
    bool info_panel_shown = true;
    int meas_mode = kModeLog;
    bool temperature_celsius = true;

    bool zero_done = false;
    bool zero_drift_warning = false;
    double zero_temperature_shift = 0.0; // 'C
    bool sensor_overload = false;
    bool overload_beep = false;

    bool cal_from_table = true;
    double meas_frequency_hz = 50'000'000.0;
    double cal_factor = 1.0;

    bool offset_enabled = false;
    double offset_db = 0.0;
    double offset_multiplier = 1.0;
    bool duty_cycle_enabled = false;
    double duty_cycle_percent = 100.0;

    bool relative_enabled = false;
    double relative_ref_db = 0.0;
    double relative_ref_mw = 1.0;
    double relative_ref_volts = 0.0;
    bool maxmin_record = false;
    double maxmin_minimum = 0.0;
    double maxmin_maximum = 0.0;

    bool limits_enabled = false;
    bool limit_low_alarm = false;
    bool limit_high_alarm = false;
    double limit_low_db = -50.0;
    double limit_high_db = 20.0;
    double limit_low_mw = 0.00001;
    double limit_high_mw = 100.0;
    int limits_unit_index = 1; // 0 uW, 1 mW, 2 W, 3 KW, 4 MW
    double limits_unit_mw = 1.0;
};

// The lines keep the positions of the layout. Where a line in its font would run past the
// window's right edge or into the line below (the alarms, a drift warning in 'F, the overload
// block's lines 10 pixels apart), it is drawn in a smaller font: see fit_text_lines.
inline constexpr int kStatusPanelRightMargin = 3; // blank columns at the window's right edge
inline constexpr int kStatusPanelMinFontPx = 9;   // the smallest font a line is fitted into

struct StatusPanel {
    Rect clear;         // filled white first: from 3/4 of the width, y 30, to the bottom right
    bool shown = false; // info_panel_shown: the lines were laid out
    std::vector<TextLine> lines;
    int text_right = 0;           // every line's text ends at or left of this x
    bool wake_alarm_beep = false; // overload with the overload beep on
};

StatusPanel layout_status_panel(const StatusPanelInput &input, int client_width, int client_height);

StatusPanelInput status_panel_input(const AppState &state);

// Draw step of the panel against the live state: when the panel is shown, clears
// status_repaint_request (before reading, so a request made meanwhile is kept for the next
// draw), lays the panel out and marks the measurement panel as drawn.
StatusPanel take_status_panel(AppState &state, int client_width, int client_height);

} // namespace meterdesk
