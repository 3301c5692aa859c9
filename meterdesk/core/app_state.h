// AppState: the one application-wide record of meterdesk.
//
// It lives for the whole run and is shared by the user-interface thread, the measurement thread
// and the worker threads. Every field another thread may touch is a std::atomic (lock-free for
// the scalar types used here), so flags are handed over without locks and without data races;
// texts are SharedText fields. The measurement thread is the single writer of the reading fields
// (reading_power, reading_volts, sensor_temperature, second_temperature) and of the connection
// fields; readers tolerate a value that is one reading old.
//
// Member initialisers give the values that ConnectDefaults restores on every connect, except
// where a field has a separate start-up value (noted beside it): live_readout_enabled and
// info_panel_shown start at 0, the four user options start at the defaults of a missing
// "AppSettings.dat", brand_label starts as "Zyn Quorix".
#pragma once

#include "meterdesk/core/shared_text.h"
#include "meterdesk/core/stats_results_slot.h"
#include "meterdesk/core/wake_signal.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

// The library's opaque session record (rfsense.h declares it the same way).
struct SensorRecord;

namespace meterdesk {

// Measurement modes; the values are the control ids of the mode radio buttons.
enum MeasMode : int {
    kModeVolts = 1216,
    kModeLinear = 1217, // linear power, shown in mW
    kModeLog = 1218,    // log power, dBm
    kModeTemperature = 1219,
};

// connection_state values.
enum ConnectionState : int {
    kConnectionClosed = 0,    // a session must be opened
    kConnectionSearching = 1, // session open, sensor being searched for, no screen change yet
    kConnectionNoSensor = 2,  // disconnected screen shown
    kConnectionMeasuring = 3, // sensor connected and measuring
};

// startup_phase values.
enum StartupPhase : int {
    kStartupSplash = 0,     // the splash period runs
    kStartupSplashDone = 1, // the splash timer has fired
    kStartupTakenOver = 2,  // the measurement thread has taken over the window
};

// view_mode values: each selects a menu and a toolbar.
enum ViewMode : int {
    kViewMeasurement = 0,
    kViewTraceRunning = 1,
    kViewTraceComplete = 2,
    kViewTraceStopped = 3,
    kViewStatistics = 4,
};

// model_index values (model families).
enum ModelIndex : int {
    kModelRx1 = 0,
    kModelRx2 = 1,
    kModelRx3 = 2,
    kModelRx4 = 3,
    kModelRx5 = 4,
    kModelRx6 = 5, // the 75-110 GHz model
    kModelUnknown = 6,
};

// Capacities of the text fields (characters, without the NUL).
inline constexpr std::size_t kPathCapacity = 4095;
inline constexpr std::size_t kSerialCapacity = 19;   // the library writes up to 19 characters
inline constexpr std::size_t kModelCapacity = 27;    // model/ID text
inline constexpr std::size_t kRevisionCapacity = 19; // firmware identity text
inline constexpr std::size_t kBrandCapacity = 31;
inline constexpr std::size_t kStatusTextCapacity = 63;

inline constexpr std::size_t kCfTableSize = 46;
inline constexpr std::size_t kFilterSettingsSize = 9;
inline constexpr std::size_t kEquationPramsSize = 13;
inline constexpr std::size_t kCollectionColumns = 7;
inline constexpr std::size_t kTracePoints = 500; // the trace buffers' fixed length

// Gains, filters and average lengths of ranges 0..2, loaded before the sensor's own are read.
inline constexpr std::array<std::int32_t, kFilterSettingsSize> kDefaultFilterSettings = {
    0, 1, 1, 4, 6, 12, 50, 100, 150};

struct AppState {
    // --- Paths and settings (start-up) ---------------------------------------------------
    SharedText<kPathCapacity> app_dir;
    SharedText<kPathCapacity> settings_path;
    std::atomic<bool> play_welcome_tune{true};   // AppSettings byte 0
    std::atomic<bool> temperature_celsius{true}; // AppSettings byte 1 (false: 'F)
    std::atomic<bool> temp_comp_setting{false};  // AppSettings byte 2
    std::atomic<bool> confirm_exit{false};       // AppSettings byte 3
    std::atomic<bool> temp_comp_active{false};   // last value handed to SensorTempComp
    SharedText<kBrandCapacity> brand_label{"Zyn Quorix"};

    // The calibration support dialogs: what the library last took (reset on connect).
    std::atomic<bool> temp_comp_beep{false};         // SensorTempCompConfig's beep flag
    std::atomic<std::int32_t> temp_comp_period_s{5}; // SensorTempCompConfig's period
    std::atomic<bool> lin_cor_active{false};         // SensorLinCor
    std::atomic<bool> step_detect_on{true};          // SensorStepDetectState

    // Folders and files (set at start-up and on connect).
    SharedText<kPathCapacity> setup_save_path;   // setup folder / last saved setup
    SharedText<kPathCapacity> setup_recall_path; // recall path / last recalled setup
    SharedText<kPathCapacity> firmware_dir;      // initial folder of the firmware dialog
    SharedText<kPathCapacity> collection_dir;    // trace data-collection folder
    SharedText<kPathCapacity> test_dir;          // test root of the sensor's brand

    // --- Sensor identity and connection (measurement thread) ---------------------------
    std::atomic<SensorRecord *> sensor_handle{nullptr};
    // Threads other than the measurement thread that are using sensor_handle (SensorLease);
    // the session is not closed while any is.
    std::atomic<int> sensor_lessees{0};
    std::atomic<int> connection_state{kConnectionClosed};
    // SearchHold: factory tools that scan the USB bridges pause the sensor search meanwhile.
    std::atomic<int> search_holds{0};
    std::atomic<bool> search_running{false}; // a SensorInit pass is under way
    std::atomic<bool> sensor_connected{false};
    SharedText<kSerialCapacity> sensor_serial;
    SharedText<kModelCapacity> sensor_model;
    SharedText<kRevisionCapacity> firmware_revision;
    std::atomic<int> firmware_number{0}; // 45 means revision 4.5
    std::atomic<int> model_index{kModelUnknown};
    std::atomic<bool> brand_marrick{false};
    std::atomic<bool> zyn_label{false}; // "Zyn Quorix" box of the USB EE programmer
    std::atomic<bool> serial_is_real{false};
    std::atomic<bool> lin_cor_available{false};
    std::atomic<std::int32_t> diode_serial{0};
    std::atomic<std::int32_t> diode_k_factor{0};
    std::atomic<int> startup_phase{kStartupSplash};

    // --- Live measurement ------------------------------------------------------------------
    std::atomic<int> meas_mode{kModeLog};
    std::atomic<double> reading_power{0.0}; // dBm (mode 1218) or mW (mode 1217)
    std::atomic<double> reading_volts{0.0};
    std::atomic<double> sensor_temperature{0.0};
    std::atomic<double> second_temperature{0.0};
    // The meas_mode the reading fields were taken in, written after them: a display that
    // finds it different from meas_mode holds a reading of the previous mode and skips it.
    std::atomic<int> reading_mode{kModeLog};
    // Counts the measurement loop's parked passes (live readout off). A thread that has
    // cleared live_readout_enabled and then sees this count change knows that any reading
    // begun before has finished and the sensor is its own.
    std::atomic<std::uint32_t> measurement_parks{0};
    std::atomic<bool> live_readout_enabled{false}; // start-up 0; 1 on connect
    std::atomic<int> display_countdown{1};
    std::atomic<bool> status_repaint_request{false};
    std::atomic<bool> sensor_overload{false};
    std::atomic<bool> zero_done{false};
    std::atomic<double> zero_temperature{25.0};
    std::atomic<bool> zero_drift_check_due{false};
    std::atomic<bool> zero_drift_warning{false};
    std::atomic<double> zero_temperature_shift{0.0};
    std::atomic<int> view_mode{kViewMeasurement};
    // Started with --factory: the measurement view installs the factory menu (fixed for the
    // run).
    std::atomic<bool> factory_menu{false};

    // Screen flags, replayed on paint.
    std::atomic<bool> splash_shown{false};
    std::atomic<bool> disconnected_screen_shown{false};
    std::atomic<bool> measurement_frame_shown{false};
    std::atomic<bool> measurement_panel_drawn{false};
    std::atomic<bool> temperature_screen_shown{false};
    std::atomic<bool> trace_screen_shown{false};
    std::atomic<bool> stats_screen_shown{false};

    // --- Display settings ------------------------------------------------------------------
    std::atomic<int> resolution_places{3};
    std::atomic<int> resolution_radio_id{1287}; // 1284..1287 for 0..3 places
    std::atomic<int> display_setup{0};          // 0 numeric, 1 meter, 2 both
    std::atomic<int> readout_top{20};
    std::atomic<bool> info_panel_shown{false}; // start-up 0; 1 on connect
    std::atomic<double> meas_frequency_hz{50'000'000.0};
    std::atomic<bool> frequency_sent{false};
    std::atomic<bool> freq_units_mhz{true};
    std::atomic<bool> cal_from_table{true};
    std::atomic<double> cal_factor{1.0}; // fraction, 1.0 = 100 %
    std::atomic<bool> meter_auto{true};
    std::atomic<double> meter_min_db{-50.0};
    std::atomic<double> meter_max_db{20.0};
    std::atomic<double> meter_min_mw{0.0};
    std::atomic<double> meter_max_mw{100.0};
    std::atomic<int> meter_unit_index{1};   // mW
    std::atomic<double> meter_unit_mw{1.0}; // meter scale multiplier

    // --- Measurement settings ----------------------------------------------------------------
    std::atomic<bool> offset_enabled{false};
    std::atomic<double> offset_db{0.0};
    std::atomic<double> offset_multiplier{1.0}; // measurement multiplier, 10^(offset_db/10)
    std::atomic<bool> duty_cycle_enabled{false};
    std::atomic<double> duty_cycle_percent{100.0};
    std::atomic<bool> limits_enabled{false};
    std::atomic<bool> limits_beep{false};
    std::atomic<double> limit_low_db{-50.0};
    std::atomic<double> limit_high_db{20.0};
    std::atomic<double> limit_low_mw{0.00001};
    std::atomic<double> limit_high_mw{100.0};
    std::atomic<int> limits_unit_index{1}; // mW
    std::atomic<double> limits_unit_mw{1.0};
    std::atomic<bool> limit_low_alarm{false};
    std::atomic<bool> limit_high_alarm{false};
    std::atomic<bool> relative_enabled{false};
    std::atomic<bool> relative_auto_set{true};
    std::atomic<double> relative_ref_db{0.0};
    std::atomic<double> relative_ref_mw{1.0};
    std::atomic<double> relative_ref_volts{0.0};
    std::atomic<bool> relative_set_done{false};
    std::atomic<bool> maxmin_record{false};
    std::atomic<bool> maxmin_reset_request{false};
    std::atomic<double> maxmin_minimum{0.0};
    std::atomic<double> maxmin_maximum{0.0};
    std::atomic<bool> overload_beep{false};
    std::atomic<bool> panel_open{false}; // measurement control panel initialised
    std::atomic<bool> frequency_box_open{false};
    // The help window's topic: set by whoever shows the help window (0 the application's help,
    // 1 the control panel's, ...); 8 is no topic.
    std::atomic<int> help_topic{8};

    // Sensor data read on connect.
    std::atomic<std::int32_t> cf_table_count{0};
    std::array<std::atomic<double>, kCfTableSize> cf_table_freq_hz{};
    std::array<std::atomic<double>, kCfTableSize> cf_table_factor{};
    std::atomic<int> cf_table_selected{-1};
    std::array<std::atomic<std::int32_t>, kFilterSettingsSize> filter_settings{};
    std::array<std::atomic<double>, kEquationPramsSize> equation_prams{};

    // --- Trace settings and state --------------------------------------------------------------
    std::atomic<std::int32_t> trace_samples{10};
    std::atomic<double> trace_period_s{1.0};
    std::atomic<bool> trace_period_in_seconds{true};
    std::atomic<std::int32_t> trace_units{1122}; // 1120 volts, 1121 mW, 1122 dBm
    std::atomic<bool> trace_temperature{false};
    std::atomic<bool> trace_autoscale{true};
    std::atomic<bool> trace_temp_autoscale{true};
    std::atomic<double> plot_min{0.0};
    std::atomic<double> plot_max{0.0};
    std::atomic<double> temp_min{0.0}; // manual temperature axis, in the temperature unit shown
    std::atomic<double> temp_max{0.0};
    std::atomic<double> plot_span{0.0}; // plot_max - plot_min
    std::atomic<double> plot_step{0.0}; // a tenth of plot_span
    std::atomic<double> temp_span{0.0};
    std::atomic<double> temp_step{0.0};
    // The trace points. The measurement thread writes value i (and temperature i) before it
    // publishes trace_count = i + 1, so a reader that loads trace_count first sees complete
    // points below it.
    std::array<std::atomic<double>, kTracePoints> trace_values{};
    std::array<std::atomic<double>, kTracePoints> trace_temps{};
    std::atomic<std::int32_t> trace_count{0};
    std::atomic<bool> trace_valid{false};
    std::atomic<bool> trace_running{false}; // a trace is acquiring
    std::atomic<bool> sample_due{false};
    // Wakes the trace run's wait for its next point: notified after sample_due is set (the
    // sample timer, Stop) and after trace_running is cleared.
    WakeSignal trace_wake;
    std::atomic<std::int32_t> trace_data_units{1}; // 0 volts, 1 dBm, 2 mW
    std::atomic<bool> trace_clipped{false};
    std::atomic<bool> trace_box_open{false};
    std::atomic<double> seconds_per_pixel{0.0}; // samples x period x 0.002 of the trace shown
    SharedText<kStatusTextCapacity> trace_status_text;
    // Which parts of the trace plot the next plot pass draws again.
    std::atomic<bool> plot_done{false};
    std::atomic<bool> show_initialising{false};
    std::atomic<bool> redraw_frame{false};
    std::atomic<bool> redraw_time_axis{false};
    std::atomic<bool> redraw_level_axis{false};
    std::atomic<bool> redraw_temp_axis{false};
    std::atomic<bool> markers_moved{false};
    std::atomic<std::int32_t> x1_pos{100};
    std::atomic<std::int32_t> x2_pos{500};
    std::atomic<std::int32_t> y1_pos{60};
    std::atomic<std::int32_t> y2_pos{170};
    std::atomic<bool> x_markers_on{false};
    std::atomic<bool> y_markers_on{false};
    std::atomic<bool> label_markers{true};

    // Trace data collection.
    std::atomic<bool> collection_enabled{false};
    std::atomic<bool> collection_append{true};
    std::array<std::atomic<bool>, kCollectionColumns> collection_columns{}; // boxes 1456..1462
    SharedText<kPathCapacity> collection_path;

    // --- Statistics ----------------------------------------------------------------------------
    std::atomic<std::int32_t> stats_samples{100};
    std::atomic<std::int32_t> stats_samples_choice{1006};
    std::atomic<std::int32_t> stats_bins{6};
    std::atomic<std::int32_t> stats_bins_choice{1013};
    std::atomic<std::int32_t> stats_mode{1605}; // 1605 dBm, 1606 mW
    std::atomic<bool> stats_save_file{false};
    std::atomic<bool> stats_subtract_zero{false};
    std::atomic<bool> stats_requested{false};
    std::atomic<bool> stats_abort{false};
    std::atomic<bool> stats_valid{false};
    // The last complete run's results; a broken run leaves them as they were.
    StatsResultsSlot stats_results;

    // --- Test executive --------------------------------------------------------------------------
    std::atomic<bool> cal_before_testing{true};
    std::atomic<bool> daily_cal_at_50mhz{true};
    std::atomic<bool> test_unattended{false};      // an automatic test sequence runs
    std::atomic<bool> test_break{false};           // the sequence is to stop
    std::atomic<bool> test_confirm_request{false}; // Sensor Details asks OK/Cancel for the test
    std::atomic<bool> test_confirm_answer{false};
    SharedText<kPathCapacity> equation_data_path;
    SharedText<kPathCapacity> test_results_path;
    SharedText<kPathCapacity> test_plan_path;
    std::atomic<bool> serial_file_names{false}; // file names from the serial number
    std::atomic<bool> daily_cal_equation{false};
    std::atomic<bool> daily_cal_cf{false};
    std::atomic<bool> daily_cal_50mhz_filter{false}; // cleared each time the panel opens

    // --- Calibration data programming --------------------------------------------------------
    // Cleared when a table or equation write starts; set when it ends with success or is
    // cancelled.
    std::atomic<bool> programming_done{false};
    // Set by a caller to skip the cal-factor table question once.
    std::atomic<bool> cf_skip_question{false};

    // Test exec settings: "tes.dat", loaded at start-up (defaults in test_exec_settings.h);
    // not reset on connect.
    std::atomic<bool> tes_four_part{true};
    std::atomic<double> tes_check_limit_db{0.05};
    std::atomic<double> tes_warning_limit_dbm{0.5};
    std::atomic<bool> tes_play_tune{true};
    std::atomic<bool> save_view_listing{false}; // "Save View Listing to File", in memory only

    // --- FLASH programmer -------------------------------------------------------------------
    SharedText<kPathCapacity> flash_hex_path;
    std::atomic<bool> programmer_connected{false}; // a programmer's handle is held
    SharedText<kStatusTextCapacity> programmer_id; // its identity, less the line end
    std::atomic<std::int32_t> flash_line_count{0}; // records of the image being programmed
};

} // namespace meterdesk
