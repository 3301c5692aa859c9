#include "acquire.h"

#include "averaging.h"
#include "channel.h"
#include "convert.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace rfsense::acquire {

namespace {

constexpr std::array<double, 15> conversion_rates{500,  250,  125,  62.5, 50,   39.2, 33.3, 19.6,
                                                  16.7, 16.7, 12.2, 10,   8.33, 6.25, 4.17};
constexpr std::array<int32_t, 3> display_rates{10, 6, 2};
constexpr double two_to_24 = 16777216.0;
constexpr double thermistor_volts_per_code = 0.0024414;

// Auto-ranging thresholds (averaged volts, doubled in range 0).
constexpr double range0_floor = 0.0055;
constexpr double range1_floor = 0.00065;
constexpr double range1_ceiling = 0.0075;
constexpr double range2_ceiling = 0.00066;

size_t range_slot(int range) {
    return static_cast<size_t>(range < 0 ? 0 : range > 2 ? 2 : range);
}

} // namespace

double conversion_rate(int filter_code) {
    if (filter_code < 0 || filter_code >= static_cast<int>(conversion_rates.size())) return 0.0;
    return conversion_rates[static_cast<size_t>(filter_code)];
}

double adc_read(SensorRecord &record) {
    const auto code = static_cast<int32_t>(channel::query_u32(record, "ADC?\n"));
    const double volts = (code - record.adc_mid_scale) * record.volts_per_count.load();
    record.adc_code = code;
    record.adc_volts = volts;
    return volts;
}

void send_gain_and_filter(SensorRecord &record, int range) {
    const size_t r = range_slot(range);
    char command[24];
    std::lock_guard lock(record.channel);
    std::snprintf(command, sizeof command, "GAIN%d\n", record.range_settings[r].load() + 1);
    channel::send_locked(record, command);
    std::snprintf(command, sizeof command, "FLT%d\n", record.range_settings[3 + r].load() + 1);
    channel::send_locked(record, command);
}

void select_range_locked(SensorRecord &record, int range, bool clear) {
    const size_t r = range_slot(range);
    send_gain_and_filter(record, static_cast<int>(r));
    const int32_t length = record.range_settings[6 + r].load();
    if (clear) {
        averaging::clear(record);
        record.average_length = length;
    } else {
        averaging::resize(record, length);
    }
    record.range_index = static_cast<int32_t>(r);
    record.display_update_rate = display_rates[r];
    adc_read(record); // the first conversion after the change is discarded
}

void select_range(SensorRecord &record, int range, bool clear) {
    std::lock_guard lock(record.average);
    select_range_locked(record, range, clear);
}

void select_reference(SensorRecord &record, bool high) {
    channel::send(record, high ? "REF0\n" : "REF1\n");
    record.reference_select = high ? 1 : 0;
    record.volts_per_count = (high ? record.high_reference : record.low_reference) / two_to_24;
}

bool auto_range_locked(SensorRecord &record, double v) {
    switch (record.range_index.load()) {
    case 0:
        if (v >= range0_floor) return false;
        select_reference(record, false);
        if (v >= range1_floor) {
            averaging::scale(record, 2.0); // gain 1 -> gain 2
            select_range_locked(record, 1, false);
        } else {
            select_range_locked(record, 2, true);
        }
        return true;
    case 1:
        if (v < range1_floor) {
            select_range_locked(record, 2, false);
            return true;
        }
        if (v > range1_ceiling) {
            select_reference(record, true);
            averaging::scale(record, 0.5); // gain 2 -> gain 1
            select_range_locked(record, 0, false);
            return true;
        }
        return false;
    default:
        if (v <= range2_ceiling) return false;
        if (v <= range1_ceiling) {
            select_range_locked(record, 1, false);
        } else {
            select_reference(record, true);
            select_range_locked(record, 0, true);
        }
        return true;
    }
}

double thermistor_celsius(const SensorRecord::Thermistor &thermistor, double reference,
                          double volts, double previous) {
    if (!(volts > 0 && volts < reference)) return previous;
    const double r = volts * thermistor.series / (reference - volts);
    const double celsius =
        thermistor.b / (std::log(r / thermistor.nominal) + thermistor.b / 298.0) - 273.0;
    return std::isfinite(celsius) ? celsius : previous;
}

void read_temperatures(SensorRecord &record) {
    const double v1 = channel::query_i16_timed(record, "T1?\n") * thermistor_volts_per_code;
    record.thermistor_volts = v1;
    record.temperature1 = thermistor_celsius(record.thermistor[0], record.thermistor_reference, v1,
                                             record.temperature1.load());
    const double v3 = channel::query_i16_timed(record, "T3?\n") * thermistor_volts_per_code;
    record.thermistor_volts = v3;
    record.temperature3 = thermistor_celsius(record.thermistor[2], record.thermistor_reference, v3,
                                             record.temperature3.load());
}

bool pause_reader_if_running(SensorRecord &record) {
    if (channel::reader_parked(record)) return false;
    channel::pause_reader(record);
    return true;
}

bool fresh_temperature_read(SensorRecord &record) {
    const auto read_directly = [&record] {
        read_temperatures(record);
        if (record.temp_comp_on.load() != 0) convert::update_threshold_power(record);
        return record.connected.load() != 0;
    };
    if (channel::reader_parked(record)) return read_directly();
    const uint32_t before = record.temperature_reads.load();
    record.temperature_request = 1;
    while (record.temperature_reads.load() == before) {
        if (record.connected.load() == 0) return false;
        // The reader may park before it serves the request (a pause, a zero step by step).
        if (channel::reader_parked(record)) {
            record.temperature_request = 0;
            return read_directly();
        }
        // Bounded waits: another caller may consume the event this read signals.
        record.temperature_event.wait_for(record.connected, std::chrono::milliseconds(50));
    }
    return record.connected.load() != 0;
}

void start_threads(SensorRecord &record) {
    record.reader_alive = 1;
    record.reader_thread = std::thread(reader_loop, std::ref(record));
    record.tick_thread = std::thread(tick_loop, std::ref(record));
}

void wake_waiters(SensorRecord &record) {
    record.measurement_event.interrupt();
    record.temperature_event.interrupt();
    record.run_event.interrupt();
}

void join_threads(SensorRecord &record) {
    wake_waiters(record);
    if (record.reader_thread.joinable()) record.reader_thread.join();
    if (record.tick_thread.joinable()) record.tick_thread.join();
}

} // namespace rfsense::acquire
