#include "meterdesk/core/connect_defaults.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_identity.h"

#include <rfsense/rfsense.h>

#include <algorithm>

namespace meterdesk {

namespace {

constexpr double kDefaultFrequencyHz = 50'000'000.0;
constexpr double kRx6FrequencyHz = 75'000'000'000.0;

void reset_trace(AppState &s) {
    s.trace_running = false;
    s.trace_samples = 10;
    s.trace_period_s = 1.0;
    s.trace_period_in_seconds = true;
    s.trace_units = 1122;
    s.trace_temperature = false;
    s.trace_autoscale = true;
    s.trace_temp_autoscale = true;
    s.plot_min = 0.0;
    s.plot_max = 0.0;
    s.trace_valid = false;
    s.trace_box_open = false;
    s.trace_count = 0;
    s.sample_due = false;
    s.trace_clipped = false;
    s.x1_pos = 100;
    s.x2_pos = 500;
    s.y1_pos = 60;
    s.y2_pos = 170;
    s.x_markers_on = false;
    s.y_markers_on = false;
    s.label_markers = true;
}

void reset_statistics_and_collection(AppState &s) {
    s.stats_bins = 6;
    s.stats_samples_choice = 1006;
    s.stats_bins_choice = 1013;
    s.stats_mode = 1605;
    s.stats_save_file = false;
    s.stats_subtract_zero = false;
    s.stats_requested = false;
    s.stats_abort = false;
    s.stats_valid = false;
    s.collection_enabled = false;
    s.collection_append = true;
    for (auto &column : s.collection_columns) column = false;
}

void reset_display(AppState &s) {
    s.resolution_places = 3;
    s.resolution_radio_id = 1287;
    s.display_setup = 0;
    s.readout_top = 20;
    s.info_panel_shown = true;
    s.cal_from_table = true;
    s.meter_min_db = -50.0;
    s.meter_max_db = 20.0;
    s.meter_min_mw = 0.0;
    s.meter_max_mw = 100.0;
    s.meter_auto = true;
    s.meter_unit_index = 1;
    s.meter_unit_mw = 1.0;
    s.display_countdown = 1;
}

void set_frequency(AppState &s, SensorRecord *sensor) {
    const int model = s.model_index;
    if (model == kModelRx6) {
        s.meas_frequency_hz = kRx6FrequencyHz;
        s.frequency_sent = false;
        s.freq_units_mhz = false;
    } else {
        s.meas_frequency_hz = kDefaultFrequencyHz;
        SensorFrequency(sensor, kDefaultFrequencyHz);
        s.frequency_sent = true;
        s.freq_units_mhz = true;
    }
    if (model == kModelUnknown) {
        s.cal_factor = 1.0;
        return;
    }
    // The 75 GHz model is queried as well, so that the panel never shows the previous
    // sensor's cal factor; the library answers with the factor it is using.
    double factor = 1.0;
    if (SensorCfQuery(sensor, &factor) != 0) s.cal_factor = factor;
}

void reset_measurement_settings(AppState &s) {
    s.offset_enabled = false;
    s.offset_db = 0.0;
    s.offset_multiplier = 1.0;
    s.duty_cycle_enabled = false;
    s.duty_cycle_percent = 100.0;
    s.limits_enabled = false;
    s.limits_beep = false;
    s.limit_low_db = -50.0;
    s.limit_high_db = 20.0;
    s.limit_low_mw = 0.00001;
    s.limit_high_mw = 100.0;
    s.limits_unit_index = 1;
    s.limits_unit_mw = 1.0;
    s.limit_low_alarm = false;
    s.limit_high_alarm = false;
    s.relative_enabled = false;
    s.relative_auto_set = true;
    s.relative_ref_db = 0.0;
    s.relative_ref_mw = 1.0;
    s.relative_ref_volts = 0.0;
    s.relative_set_done = false;
    s.maxmin_record = false;
    s.maxmin_reset_request = false;
}

void read_sensor_tables(AppState &s, SensorRecord *sensor) {
    const int model = s.model_index;
    if (model != kModelRx6 && model != kModelUnknown) {
        std::int32_t count = 0;
        double frequencies[kCfTableSize] = {};
        double factors[kCfTableSize] = {};
        if (SensorFreqCfTableQuery(sensor, &count, frequencies, factors) != 0) {
            const auto used = static_cast<std::size_t>(
                std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(kCfTableSize)));
            for (std::size_t i = 0; i < kCfTableSize; ++i) {
                s.cf_table_freq_hz[i] = i < used ? frequencies[i] : 0.0;
                s.cf_table_factor[i] = i < used ? factors[i] : 0.0;
            }
            s.cf_table_count = static_cast<std::int32_t>(used);
        }
        s.cf_table_selected = -1;
    }

    std::int32_t filters[kFilterSettingsSize];
    std::copy(kDefaultFilterSettings.begin(), kDefaultFilterSettings.end(), filters);
    SensorFilterSettingsQuery(sensor, filters);
    for (std::size_t i = 0; i < kFilterSettingsSize; ++i) s.filter_settings[i] = filters[i];

    double equation[kEquationPramsSize] = {};
    if (SensorEquationPrams(sensor, equation) != 0) {
        for (std::size_t i = 0; i < kEquationPramsSize; ++i) s.equation_prams[i] = equation[i];
    }

    s.lin_cor_available = SensorLinCor(sensor, 1) != SENSOR_NO_LINEARITY_TABLE;

    std::int32_t diode_serial = 0;
    std::int32_t k_factor = 0;
    if (SensorDiodeSN_K(sensor, &diode_serial, &k_factor) != 0) {
        s.diode_serial = diode_serial;
        s.diode_k_factor = k_factor;
    }
}

} // namespace

void ConnectDefaults(AppState &s, Ui &ui, SensorRecord *sensor) {
    // 1. Statistics sample count, mode, live readout.
    s.stats_samples = 100;
    s.stats_samples_choice = 1006;
    s.meas_mode = kModeLog;
    s.live_readout_enabled = true;

    // 2. Folders.
    const paths::fs::path app_dir(s.app_dir.get());
    const auto setup = paths::setup_folder(app_dir).string();
    s.setup_save_path = setup;
    s.setup_recall_path = setup;
    s.firmware_dir = paths::firmware_folder(app_dir).string();
    s.collection_dir = paths::collection_folder(app_dir).string();

    // 3, 4. Trace, statistics and data collection.
    reset_trace(s);
    reset_statistics_and_collection(s);

    // 5, 6. Display and frequency.
    reset_display(s);
    set_frequency(s, sensor);

    // 7, 8. Measurement settings and the sensor's tables.
    reset_measurement_settings(s);
    read_sensor_tables(s, sensor);

    // 9. Zero state.
    s.zero_done = false;
    s.sensor_overload = false;
    s.zero_drift_check_due = false;
    s.zero_drift_warning = false;
    s.zero_temperature_shift = 0.0;
    s.zero_temperature = 25.0;

    // 10. Test executive, brand, test root.
    s.cal_before_testing = true;
    s.daily_cal_at_50mhz = true;
    const std::string serial = s.sensor_serial.get();
    s.brand_label = brand_label_for(serial);
    s.test_dir = paths::test_root(s.brand_marrick).string();

    // 11. Zero-drift supervision.
    ui.start_timer(kZeroDriftTimer, kZeroDriftPeriodMs);

    // 12. Overload beep, test requests, temperature compensation, control panel.
    s.overload_beep = false;
    s.test_unattended = false;
    s.test_break = false;
    s.test_confirm_request = false;
    s.test_confirm_answer = false;
    s.temp_comp_active = s.temp_comp_setting.load();
    SensorTempComp(sensor, s.temp_comp_active ? 1 : 0);
    // The library's own state after a connect: compensation period 5 s without beep, linearity
    // correction on when a table was loaded, step detection on.
    s.temp_comp_beep = false;
    s.temp_comp_period_s = 5;
    s.lin_cor_active = s.lin_cor_available.load();
    s.step_detect_on = true;
    s.panel_open = false;
}

} // namespace meterdesk
