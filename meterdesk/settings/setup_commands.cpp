#include "meterdesk/settings/setup_commands.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/settings/frequency_entry.h"
#include "meterdesk/settings/number_text.h"
#include "meterdesk/settings/setup_file.h"

#include <rfsense/rfsense.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace meterdesk {

namespace {

namespace fs = std::filesystem;

// A setup file is a few hundred bytes; more than this is not one.
constexpr std::size_t kLargestSetupFile = 64 * 1024;

bool fits_path_field(const std::string &path) {
    return path.size() <= kPathCapacity;
}

bool is_regular_file(const std::string &path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

void warn(Ui &ui, const char *caption, const std::string &text) {
    ui.message(caption, text, MessageButtons::kOk, MessageIcon::kExclamation);
}

void report_save_failure(Ui &ui) {
    warn(ui, kSaveSetupCaption,
         "File access failed.\n\nCheck a valid file name has been selected.");
}

// Reads at most kLargestSetupFile + 1 bytes; nothing when the file cannot be opened.
bool read_file(const std::string &path, std::string &text) {
    if (!is_regular_file(path)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(kLargestSetupFile + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

std::tm local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// Stores the checked values and sends the sensor its part, in the file's line order.
RecallResult take_values(AppState &s, SensorRecord *sensor, const SetupValues &v) {
    RecallResult result;
    result.loaded = true;

    s.meas_mode = v.meas_mode; // line 3
    s.freq_units_mhz = v.freq_units_mhz;

    // Lines 4 and 5: the frequency (and the table's cal factor at it) or a manual cal factor.
    const double old_frequency = s.meas_frequency_hz;
    s.cal_from_table = v.cal_from_table;
    if (v.cal_from_table) {
        if (SensorFrequency(sensor, v.meas_frequency_hz) == SENSOR_DONE) {
            s.meas_frequency_hz = v.meas_frequency_hz;
        } else {
            result.kept.emplace_back("line 4 (frequency)");
            SensorFrequency(sensor, old_frequency); // the table's factor at the kept frequency
        }
        double factor = 1.0;
        if (SensorCfQuery(sensor, &factor) != 0) s.cal_factor = factor;
    } else {
        if (box_frequency_range(s.model_index).accepts(v.meas_frequency_hz))
            s.meas_frequency_hz = v.meas_frequency_hz;
        else
            result.kept.emplace_back("line 4 (frequency)");
        if (SensorCalFactor(sensor, v.cal_factor * 100.0) == SENSOR_DONE)
            s.cal_factor = v.cal_factor;
        else
            result.kept.emplace_back("line 5 (cal factor)");
    }

    // Line 6: offset.
    s.offset_enabled = v.offset_enabled;
    SensorOffsetState(sensor, v.offset_enabled ? 1 : 0);
    if (SensorOffset(sensor, v.offset_db) == SENSOR_DONE) {
        s.offset_db = v.offset_db;
        s.offset_multiplier = std::pow(10.0, v.offset_db / 10.0);
    } else {
        result.kept.emplace_back("line 6 (offset)");
    }

    // Line 7: duty cycle; the library would take 0 %, which divides every reading by zero.
    s.duty_cycle_enabled = v.duty_cycle_enabled;
    SensorDutyCycleState(sensor, v.duty_cycle_enabled ? 1 : 0);
    if (in_range(v.duty_cycle_percent, 0.1, 100.0) &&
        SensorDutyCycle(sensor, v.duty_cycle_percent) == SENSOR_DONE)
        s.duty_cycle_percent = v.duty_cycle_percent;
    else
        result.kept.emplace_back("line 7 (duty cycle)");

    // Line 8: resolution, sent so that the library's readout texts follow it.
    s.resolution_places = v.resolution_places;
    s.resolution_radio_id = v.resolution_radio_id;
    SensorStrResolution(sensor, v.resolution_places);

    // Line 9: relative mode and its reference, as the library will use them.
    s.relative_ref_db = v.relative_ref_db;
    s.relative_ref_mw = std::pow(10.0, v.relative_ref_db / 10.0);
    s.relative_auto_set = v.relative_auto_set;
    s.maxmin_record = v.maxmin_record;
    s.relative_enabled = v.relative_enabled;
    SensorRelativeState(sensor, v.relative_enabled ? 1 : 0);
    SensorRelativeManualSet(sensor, s.relative_ref_db, s.relative_ref_mw);

    // Lines 10 to 14: display, meter, limits (in dB only) and trace settings.
    s.display_setup = v.display_setup;
    s.info_panel_shown = v.info_panel_shown;
    s.meter_auto = v.meter_auto;
    s.readout_top = v.readout_top;
    s.meter_max_db = v.meter_max_db;
    s.meter_min_db = v.meter_min_db;
    s.meter_max_mw = v.meter_max_mw;
    s.meter_min_mw = v.meter_min_mw;
    s.meter_unit_mw = v.meter_unit_mw;
    s.meter_unit_index = v.meter_unit_index;
    s.limit_high_db = v.limit_high_db;
    s.limit_low_db = v.limit_low_db;
    s.limits_beep = v.limits_beep;
    s.limits_enabled = v.limits_enabled;
    s.trace_samples = v.trace_samples;
    s.trace_period_s = v.trace_period_s;
    s.trace_period_in_seconds = v.trace_period_in_seconds;
    s.trace_units = v.trace_units;
    s.trace_autoscale = v.trace_autoscale;
    s.plot_min = v.plot_min;
    s.plot_max = v.plot_max;
    s.trace_temperature = v.trace_temperature;
    s.trace_temp_autoscale = v.trace_temp_autoscale;
    s.temp_min = v.temp_min;
    s.temp_max = v.temp_max;

    // Line 15: temperature compensation.
    s.temp_comp_active = v.temp_comp_active;
    SensorTempComp(sensor, v.temp_comp_active ? 1 : 0);
    return result;
}

} // namespace

bool save_setup_command(AppState &state, Ui &ui) {
    const std::string folder = paths::setup_folder(state.app_dir.get()).string();
    const std::string path = ui.save_file_dialog(folder, kSetupFileFilter);
    if (path.empty()) return false;
    return save_setup(state, ui, path);
}

bool save_setup(AppState &state, Ui &ui, const std::string &path) {
    // A path the path field cannot hold whole is refused, never cut to another file's name.
    if (!fits_path_field(path)) {
        report_save_failure(ui);
        return false;
    }
    state.setup_save_path = path;
    if (is_regular_file(path) &&
        ui.message(kSaveSetupCaption, "File " + path + " alreday exists.\nOK to replace?",
                   MessageButtons::kOkCancel, MessageIcon::kExclamation) != MessageAnswer::kOk)
        return false;

    const std::string text =
        setup_file_text(setup_family_name(state.model_index), setup_values_of(state), local_now());
    if (!replace_file_contents(path, reinterpret_cast<const unsigned char *>(text.data()),
                               text.size())) {
        report_save_failure(ui);
        return false;
    }
    return true;
}

bool recall_setup_command(AppState &state, Ui &ui) {
    const std::string folder = paths::setup_folder(state.app_dir.get()).string();
    const std::string path = ui.open_file_dialog(folder, kSetupFileFilter);
    if (path.empty()) return false;
    const RecallResult result = recall_setup(state, ui, path);
    if (!result.loaded) return false;
    ui.message(kRecallSetupCaption, recall_done_text(result), MessageButtons::kOk,
               MessageIcon::kExclamation);
    return true;
}

RecallResult recall_setup(AppState &state, Ui &ui, const std::string &path) {
    std::string text;
    if (!fits_path_field(path) || !read_file(path, text)) {
        warn(ui, kRecallSetupCaption, "Can't find file: " + path);
        return {};
    }
    state.setup_recall_path = path;

    const SetupReading reading = read_setup_text(
        std::string_view(text).substr(0, kLargestSetupFile), setup_family_name(state.model_index));
    if (reading.outcome == SetupReading::Outcome::kWrongType) {
        warn(ui, kRecallSetupCaption, "Wrong file type for recall: " + path);
        return {};
    }
    if (reading.outcome == SetupReading::Outcome::kBadValue) {
        warn(ui, kRecallSetupCaption,
             "Bad value in setup file: " + path + "\n\n" + reading.problem);
        return {};
    }

    RecallResult result;
    {
        SensorLease lease(state);
        if (!lease) return {}; // the sensor went away; its next connect sets the defaults
        result = take_values(state, lease.get(), reading.values);
    }

    ui.repaint(RepaintRequest::kClear);
    if (state.meas_mode == kModeTemperature) {
        ui.repaint(RepaintRequest::kTemperatureLabels);
    } else {
        ui.repaint(RepaintRequest::kFrame);
        ui.repaint(RepaintRequest::kLiveReadout);
        ui.repaint(RepaintRequest::kStatusPanel);
    }
    state.status_repaint_request = true;
    return result;
}

std::string recall_done_text(const RecallResult &result) {
    std::string text = "New settings loaded.\nSensor zero recommended";
    if (!result.kept.empty()) {
        text += "\n\nNot accepted by the connected sensor, the previous value kept:";
        for (const std::string &line : result.kept) text += "\n" + line;
    }
    return text;
}

} // namespace meterdesk
