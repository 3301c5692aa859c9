// The per-sensor session record. Callers hold only its address (rfsense.h keeps it opaque).
//
// Threads: the caller's thread(s), the reader thread and the tick thread. Rules that keep the
// record free of data races:
//  - scalar fields that more than one thread touches are std::atomic;
//  - `channel` is held for every exchange on the link (a command and its whole reply), so the
//    library's own threads never interleave on the wire;
//  - `average` guards the averaging buffer, the step history and the range switch;
//  - `conversion` guards the equation, the tables and the working sets of the corrections.
#pragma once

#include "event.h"
#include "link/link.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

struct SensorRecord {
    // --- session ---
    std::atomic<uint8_t> connected{0};
    int32_t model_index = 6;
    std::unique_ptr<rfsense::link::Device> device;
    std::mutex channel;
    char reply[72] = {};           // where every reply is assembled
    char serial_number[20] = {};   // the bridge's serial (model 6: "RXZ0000")
    char identity[20] = {};        // the "ID?" reply without its line feed
    int32_t firmware_revision = 0; // major * 10 + minor
    char data_path[100] = {};      // folder of the calibration files
    uint8_t path_not_set = 1;
    bool generic = false; // an unprogrammed "USB <-> Serial" bridge

    // --- ADC and references ---
    double high_reference = 3.3;              // "REF0"
    double low_reference = 1.17;              // "REF1"
    std::atomic<uint8_t> reference_select{0}; // 1 = high reference in use
    std::atomic<double> volts_per_count{1.17 / 16777216.0};
    std::atomic<double> adc_volts{0};
    std::atomic<int32_t> adc_code{0};
    int32_t adc_mid_scale = 8388608;

    // --- thermistors (channel 1 is the sensor temperature used for compensation) ---
    double thermistor_reference = 2.5;
    struct Thermistor {
        double series = 0;
        double nominal = 0;
        double b = 0;
    };
    std::array<Thermistor, 3> thermistor{};
    std::atomic<double> thermistor_volts{0};
    std::atomic<double> temperature1{25};
    std::atomic<double> temperature3{25};

    // --- ranges and averaging (reader thread; `average` guards the buffer and history) ---
    std::mutex average;
    std::array<std::atomic<int32_t>, 9> range_settings{}; // gains[3], filters[3], lengths[3]
    std::atomic<int32_t> range_index{2};
    std::atomic<int32_t> average_length{150};
    std::atomic<int32_t> average_position{0};
    std::atomic<uint8_t> average_full{0};
    static constexpr int average_capacity = 1000;
    std::array<double, average_capacity> average_buffer{}; // zero-corrected ADC volts
    std::atomic<uint8_t> step_detect_on{1};
    // The newest 20 samples (doubled in range 0) as a sliding window with a running sum.
    std::array<double, 20> step_history{};
    int32_t step_position = 0;
    int32_t step_count = 0; // entries written since the window was last emptied, at most 20
    double step_sum = 0;
    double step_mean = 0;
    bool step_full = false;
    std::atomic<uint32_t> step_restarts{0}; // averages restarted by a step in power
    std::atomic<double> averaged_volts{0};  // doubled in range 0
    std::atomic<int32_t> display_update_rate{2};
    std::atomic<uint8_t> over_range{0};
    double over_range_threshold = 2.75;
    std::atomic<uint8_t> range_hold{0};
    std::array<std::atomic<double>, 3> zero_offsets{}; // per range, volts
    std::atomic<uint8_t> zeroed{0};
    double zero_limit = 0.000015;           // volts, per model
    std::atomic<int32_t> zero_handshake{0}; // 0 idle, 1 requested, 2 parked, 3 released
    // A zero done step by step: the offsets in use before it (restored when it is refused) and
    // whether it parked the reader through the handshake (and so must release it).
    std::array<double, 3> offsets_before_zero{};
    bool zero_tick_owns_handshake = false;
    std::atomic<uint8_t> trigger_mode{0};

    // --- reader thread control ---
    std::thread reader_thread;
    std::thread tick_thread;
    rfsense::Event measurement_event{rfsense::Event::Reset::automatic};
    rfsense::Event run_event{rfsense::Event::Reset::manual, true};
    rfsense::Event temperature_event{rfsense::Event::Reset::automatic};
    std::atomic<uint8_t> reader_running{1};
    std::atomic<uint8_t> reader_alive{0}; // the reader thread has started and not ended
    std::atomic<uint8_t> pause_request{0};
    std::atomic<uint8_t> temperature_request{0};
    std::atomic<uint32_t> temperature_reads{0}; // requested thermistor reads completed
    std::atomic<int32_t> tick_interval{5};      // seconds
    std::atomic<uint8_t> beep_on_tick{0};
    std::atomic<uint8_t> temperature_update_due{0};
    std::atomic<double> temperature_at_zero{25};
    std::atomic<double> temperature_at_zero_copy{25};

    // --- corrections (`conversion` guards the arrays and working sets) ---
    std::mutex conversion;
    std::array<double, 13> equation{};                       // E0..E12
    std::array<std::array<double, 10>, 8> band_parameters{}; // model 5: E0..E9 per band
    std::array<double, 46> cal_factor_table{};
    std::array<double, 46> frequency_table{};
    int32_t frequency_points = 0;
    std::array<std::array<double, 10>, 46> temp_comp_table{};
    bool extended_tcd = false; // 10 temperature columns
    std::array<double, 9> temp_comp_working{};
    std::array<std::array<double, 10>, 16> linearity_table{};
    std::array<double, 9> linearity_working{};
    std::atomic<uint8_t> linearity_on{0};
    std::atomic<uint8_t> linearity_applicable{0};
    std::atomic<uint8_t> linearity_loaded{0};
    std::atomic<uint8_t> temp_comp_on{1};
    std::atomic<double> threshold_power_w{0}; // temperature compensated
    std::atomic<double> threshold_power_uncompensated_w{0};
    std::atomic<double> threshold_power_dbm{0};
    std::atomic<double> frequency{50e6}; // Hz
    std::atomic<double> cal_factor{1.0}; // fraction
    std::atomic<double> offset_db{0};
    std::atomic<uint8_t> offset_on{0};
    std::atomic<double> duty_cycle{100}; // percent
    std::atomic<uint8_t> duty_on{0};
    std::atomic<double> relative_dbm{0};
    std::atomic<double> relative_mw{0};
    std::atomic<uint8_t> relative_on{0};
    std::atomic<int32_t> string_resolution{3};
    std::atomic<uint8_t> immediate{0};

    // --- diode data ---
    int32_t diode_serial = 0;
    int16_t k_factor = 0;
};
