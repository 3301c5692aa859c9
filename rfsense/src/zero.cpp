#include "zero.h"

#include "acquire.h"
#include "channel.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace rfsense::zero {

namespace {

constexpr auto handshake_poll = std::chrono::milliseconds(5);
constexpr double mean_factor = 1.0 / samples_per_range; // 0.02

bool connected(const SensorRecord &record) {
    return record.connected.load() != 0;
}

// Asks the reader to park for a zero done step by step. False when the sensor was lost.
bool park_reader(SensorRecord &record) {
    int32_t idle = 0;
    while (!record.zero_handshake.compare_exchange_strong(idle, 1)) {
        idle = 0; // a previous release the reader has not seen yet
        if (!connected(record)) return false;
        std::this_thread::sleep_for(handshake_poll);
    }
    while (record.zero_handshake.load() != 2) {
        if (!connected(record)) return false;
        std::this_thread::sleep_for(handshake_poll);
    }
    return true;
}

} // namespace

void begin_range(SensorRecord &record, int range) {
    acquire::send_gain_and_filter(record, range);
    channel::send(record, "CAL\n");
}

void restore_range_locked(SensorRecord &record) {
    // The last range zeroed left the gain and filter of range 2 in the sensor; the range in use
    // afterwards gets its own settings and reference back.
    const int range = record.range_hold.load() != 0 ? record.range_index.load() : 2;
    acquire::select_reference(record, range == 0);
    acquire::select_range_locked(record, range, true);
}

int32_t conclude(SensorRecord &record) {
    if (record.temp_comp_on.load() == 0 && !acquire::fresh_temperature_read(record)) return 0;
    if (!connected(record)) return 0;
    const double celsius = record.temperature1.load();
    record.temperature_at_zero = celsius;
    record.temperature_at_zero_copy = celsius;
    if (record.zero_offsets[2].load() > record.zero_limit) return SENSOR_ZERO_TOO_LARGE;
    record.zeroed = 1;
    return SENSOR_DONE;
}

int32_t full_zero(SensorRecord &record) {
    const bool paused = acquire::pause_reader_if_running(record);
    if (!connected(record)) return 0;
    {
        std::lock_guard lock(record.average);
        for (int range = 0; range < 3; ++range) {
            begin_range(record, range);
            double sum = 0;
            for (int i = 0; i < samples_per_range; ++i) sum += acquire::adc_read(record);
            record.zero_offsets[static_cast<size_t>(range)] = sum * mean_factor;
        }
        restore_range_locked(record);
    }
    if (paused) channel::resume_reader(record);
    if (!connected(record)) return 0;
    return conclude(record);
}

int32_t zero_tick(SensorRecord &record, ZeroTickState &state) {
    if (state.step < 0 || state.step > 6)
        state = ZeroTickState{}; // a finished (or never cleared) state starts a new zero
    if (state.step == 0) {
        if (!park_reader(record)) return 0;
        state.range = 0;
        state.step = 1;
        // Range 0 starts in this same call, so a whole zero takes 150 calls.
    }
    if (state.step % 2 == 1) {
        state.range = (state.step - 1) / 2;
        begin_range(record, state.range);
        state.sum = 0;
        state.samples_left = samples_per_range;
        ++state.step;
    }
    const int range = (state.step - 2) / 2;
    state.range = range;
    state.sum += acquire::adc_read(record);
    if (--state.samples_left <= 0) {
        record.zero_offsets[static_cast<size_t>(range)] = state.sum * mean_factor;
        state.range = range < 2 ? range + 1 : 2;
        ++state.step;
    }
    if (!connected(record)) return 0;
    if (state.step < 7) return SENSOR_ZERO_IN_PROGRESS;
    {
        std::lock_guard lock(record.average);
        restore_range_locked(record);
    }
    record.zero_handshake = 3; // the reader resumes
    return conclude(record);
}

} // namespace rfsense::zero
