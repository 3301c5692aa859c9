// Exports of acquisition: zeroing, ranges and averaging, triggered acquisition, voltages and
// temperatures.
#include "acquire.h"
#include "averaging.h"
#include "channel.h"
#include "export_checks.h"
#include "power_chain.h"
#include "zero.h"

#include <rfsense/rfsense.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

using rfsense::is_connected;
namespace acquire = rfsense::acquire;
namespace averaging = rfsense::averaging;
namespace channel = rfsense::channel;

namespace {

constexpr int max_average_length = 1000;
constexpr int max_gain_code = 1;
constexpr int max_filter_code = 14;
constexpr auto fill_poll = std::chrono::milliseconds(5);

bool valid_range(int32_t range) {
    return range >= 0 && range <= 2;
}

// Range settings 0..2 gains, 3..5 filter codes, 6..8 average lengths.
bool valid_setting(int32_t index, int32_t value) {
    if (index < 3) return value >= 0 && value <= max_gain_code;
    if (index < 6) return value >= 0 && value <= max_filter_code;
    return value >= 1 && value <= max_average_length;
}

// Re-selects the current range with a cleared average after a setting changed.
void reselect_current_range(SensorRecord &record) {
    std::lock_guard lock(record.average);
    acquire::select_range_locked(record, record.range_index.load(), true);
}

} // namespace

extern "C" {

int32_t SensorZero(SensorRecord *record) {
    if (!is_connected(record)) return 0;
    return rfsense::zero::full_zero(*record);
}

int32_t SensorZeroTick(SensorRecord *record, ZeroTickState *state) {
    if (!is_connected(record) || state == nullptr) return 0;
    return rfsense::zero::zero_tick(*record, *state);
}

int32_t SensorZeroRangeValues(SensorRecord *record, double *range2, double *range1,
                              double *range0) {
    if (!is_connected(record)) return 0;
    *range2 = record->zero_offsets[2].load();
    *range1 = record->zero_offsets[1].load();
    *range0 = record->zero_offsets[0].load();
    return 1;
}

int32_t SensorRangeHold(SensorRecord *record, int32_t range) {
    if (!is_connected(record)) return 0;
    if (!valid_range(range)) return SENSOR_RANGE_OUT_OF_RANGE;
    record->step_detect_on = 0;
    std::lock_guard lock(record->average);
    acquire::select_reference(*record, range == 0);
    record->range_hold = 1;
    acquire::select_range_locked(*record, range, true);
    return 1;
}

int32_t SensorRangeAuto(SensorRecord *record) {
    if (!is_connected(record)) return 0;
    record->step_detect_on = 1;
    record->range_hold = 0;
    return 1;
}

int32_t SensorFilterSize(SensorRecord *record, int32_t range, int32_t length) {
    if (!is_connected(record)) return 0;
    if (!valid_range(range)) return SENSOR_RANGE_OUT_OF_RANGE;
    if (length < 1 || length > max_average_length) return SENSOR_AVERAGE_OUT_OF_RANGE;
    const bool paused = acquire::pause_reader_if_running(*record);
    if (!is_connected(record)) return 0;
    record->range_settings[static_cast<size_t>(6 + range)] = length;
    reselect_current_range(*record);
    if (paused) channel::resume_reader(*record);
    return is_connected(record) ? 1 : 0;
}

int32_t SensorFilterSettingsQuery(SensorRecord *record, int32_t *settings) {
    if (!is_connected(record)) return 0;
    for (size_t i = 0; i < 9; ++i) settings[i] = record->range_settings[i].load();
    return 1;
}

int32_t SensorFilterSettingsUpdate(SensorRecord *record, int32_t index, int32_t value) {
    if (!is_connected(record)) return 0;
    if (index < 0 || index > 8) return SENSOR_RANGE_OUT_OF_RANGE;
    if (!valid_setting(index, value)) return SENSOR_AVERAGE_OUT_OF_RANGE;
    record->range_settings[static_cast<size_t>(index)] = value;
    reselect_current_range(*record);
    return 1;
}

int32_t SensorFilterQuery(SensorRecord *record, int32_t *filter_code) {
    if (!is_connected(record)) return 0;
    *filter_code = record->range_settings[static_cast<size_t>(3 + record->range_index.load())];
    return 1;
}

int32_t SensorStepDetectState(SensorRecord *record, unsigned char on) {
    if (!is_connected(record)) return 0;
    record->step_detect_on = on != 0 ? 1 : 0;
    return 1;
}

int32_t DisplayUpdateRate(SensorRecord *record) {
    if (!is_connected(record)) return 0;
    return record->display_update_rate.load();
}

int32_t SensorTrigger(SensorRecord *record) {
    if (!is_connected(record)) return 0;
    const uint8_t step_detect = record->step_detect_on.load();
    const bool paused = acquire::pause_reader_if_running(*record);
    {
        // The step history restarts too: entries from before would otherwise restart the fresh
        // average as soon as step detection is back on.
        std::lock_guard lock(record->average);
        averaging::clear(*record);
        averaging::clear_step_history(*record);
    }
    record->step_detect_on = 0;
    if (paused) channel::resume_reader(*record);
    // A parked reader fills nothing, so there is nothing to wait for.
    while (record->average_full.load() == 0 && !channel::reader_parked(*record)) {
        if (!is_connected(record)) return 0;
        std::this_thread::sleep_for(fill_poll);
    }
    record->step_detect_on = step_detect;
    return is_connected(record) ? 1 : 0;
}

int32_t SensorTriggerState(SensorRecord *record, unsigned char on) {
    if (!is_connected(record)) return 0;
    const bool was_on = record->trigger_mode.load() != 0;
    if (on != 0) {
        if (!was_on) channel::pause_reader(*record);
        channel::send(*record, "TRG.E\n");
        record->trigger_mode = 1;
    } else {
        channel::send(*record, "TRG.D\n");
        record->trigger_mode = 0;
        if (was_on) channel::resume_reader(*record);
    }
    return is_connected(record) ? 1 : 0;
}

int32_t SensorTriggerLevel(SensorRecord *record, uint32_t level) {
    if (!is_connected(record)) return 0;
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(level >> 24), static_cast<unsigned char>(level >> 16),
        static_cast<unsigned char>(level >> 8), static_cast<unsigned char>(level)};
    std::lock_guard lock(record->channel);
    channel::send_locked(*record, "FX9\n");
    channel::send_locked(*record, "TRG.L");
    channel::send_locked(*record, bytes, 4);
    return 1;
}

int32_t SensorTriggerQuery(SensorRecord *record, double *dbm) {
    if (!is_connected(record)) return 0;
    uint16_t count = 0;
    uint8_t high = 0;
    uint32_t low = 0;
    {
        std::lock_guard lock(record->channel);
        channel::send_locked(*record, "TRG?\n");
        count = static_cast<uint16_t>(channel::read_i16_timed_locked(*record));
        high = channel::read_byte_timed_locked(*record);
        low = channel::read_u32_locked(*record);
    }
    if (!is_connected(record)) return 0;
    // No triggered samples (or a sensor that did not answer in time): no reading to give.
    if (count == 0) return SENSOR_NO_TRIGGERED_SAMPLES;
    const uint64_t sum = (static_cast<uint64_t>(high) << 32) | low;
    const auto mean_code = static_cast<int64_t>(sum / count);
    double volts =
        static_cast<double>(mean_code - record->adc_mid_scale) * record->volts_per_count.load();
    if (record->range_index.load() == 0) volts *= 2;
    record->averaged_volts = volts;
    *dbm = rfsense::chain::log_value(*record, volts);
    return 1;
}

int32_t SensorVolts(SensorRecord *record, double *volts) {
    if (!is_connected(record)) return 0;
    // In trigger mode the reader is parked and no new average comes.
    if (record->trigger_mode.load() == 0 && !rfsense::chain::wait_for_average(*record)) return 0;
    if (!is_connected(record)) return 0;
    *volts = record->averaged_volts.load();
    return 1;
}

double SensorAdcRawVolts(SensorRecord *record, unsigned char subtract_zero) {
    if (!is_connected(record)) return 0.0;
    std::lock_guard lock(record->average);
    double volts = acquire::adc_read(*record);
    const int range = record->range_index.load();
    if (subtract_zero != 0) volts -= record->zero_offsets[static_cast<size_t>(range)].load();
    if (range == 0) volts *= 2;
    record->averaged_volts = volts;
    if (record->range_hold.load() == 0) acquire::auto_range_locked(*record, volts);
    return volts;
}

int32_t SensorPowerImmediate(SensorRecord *record) {
    if (!is_connected(record)) return 0;
    record->immediate = 1;
    return 1;
}

int32_t SensorTemperature(SensorRecord *record, double *celsius) {
    if (!is_connected(record)) return 0;
    if (!acquire::fresh_temperature_read(*record)) return 0;
    *celsius = record->temperature1.load();
    return 1;
}

int32_t SensorTemperatureBoth(SensorRecord *record, double *temperature1, double *temperature3) {
    if (!is_connected(record)) return 0;
    if (!acquire::fresh_temperature_read(*record)) return 0;
    *temperature1 = record->temperature1.load();
    *temperature3 = record->temperature3.load();
    return 1;
}

int32_t SensorTempCompConfig(SensorRecord *record, int32_t interval_seconds, unsigned char beep) {
    if (!is_connected(record)) return 0;
    // An interval below one second would make every reader cycle read the thermistors.
    record->tick_interval = interval_seconds < 1 ? 1 : interval_seconds;
    record->beep_on_tick = beep != 0 ? 1 : 0;
    return 1;
}

} // extern "C"
