// SetupFile: the text file in which the whole measurement setup is saved and recalled.
//
// Fifteen lines, each ending in CR LF: a header naming the sensor family, the date of saving,
// and thirteen lines of numbers in fixed printf formats separated by single spaces. The file
// carries no linear limits, no limits unit and no linear relative reference.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace meterdesk {

struct AppState;

// The family a setup file is written for and recalled with: "RX2LOKAN" for model index 1,
// "RX3LOKAN" for 2, "RX4LOKAN" for any other.
std::string setup_family_name(int model_index);

// Every value of a setup file, in file order (lines 3 to 15).
struct SetupValues {
    int meas_mode = 0;              // line 3
    double meas_frequency_hz = 0.0; // line 4
    bool freq_units_mhz = false;
    double cal_factor = 0.0; // line 5
    bool cal_from_table = false;
    double offset_db = 0.0; // line 6
    bool offset_enabled = false;
    double duty_cycle_percent = 0.0; // line 7
    bool duty_cycle_enabled = false;
    int resolution_places = 0; // line 8
    int resolution_radio_id = 0;
    double relative_ref_db = 0.0; // line 9
    bool relative_auto_set = false;
    bool maxmin_record = false;
    bool relative_enabled = false;
    int display_setup = 0; // line 10
    bool info_panel_shown = false;
    bool meter_auto = false;
    int readout_top = 0;
    double meter_max_db = 0.0; // line 11
    double meter_min_db = 0.0;
    double meter_max_mw = 0.0;
    double meter_min_mw = 0.0;
    double meter_unit_mw = 0.0;
    int meter_unit_index = 0;
    double limit_high_db = 0.0; // line 12
    double limit_low_db = 0.0;
    bool limits_beep = false;
    bool limits_enabled = false;
    int trace_samples = 0; // line 13
    double trace_period_s = 0.0;
    bool trace_period_in_seconds = false;
    int trace_units = 0;
    bool trace_autoscale = false;
    double plot_min = 0.0;
    double plot_max = 0.0;
    bool trace_temperature = false; // line 14
    bool trace_temp_autoscale = false;
    double temp_min = 0.0;
    double temp_max = 0.0;
    bool temp_comp_active = false; // line 15
};

// The values a save writes, taken from the state.
SetupValues setup_values_of(const AppState &state);

// The whole file for a sensor family, dated `local_time`.
std::string setup_file_text(const std::string &family, const SetupValues &values,
                            const std::tm &local_time);

// Reading a file's text for the connected sensor's family.
struct SetupReading {
    enum class Outcome {
        kLoaded,    // `values` holds the file's values
        kWrongType, // the first line does not name the family and " SETUP FILE"
        kBadValue,  // `problem` says which line and field, and what it must be
    };
    Outcome outcome = Outcome::kBadValue;
    SetupValues values;
    std::string problem; // "Line 13: trace samples must be 10 to 500"
};

// Lines end in CR LF or LF; a line's numbers are read from its start and from the character
// after each following space (atof rules; a missing one reads as 0). Every value is checked
// before any is used: numbers must be finite, and the mode, resolution, display setup,
// readout position, meter unit, trace samples, trace period and trace units must be ones the
// program can show.
SetupReading read_setup_text(std::string_view text, const std::string &family);

} // namespace meterdesk
