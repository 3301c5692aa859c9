#include "zero.h"

#include "acquire.h"
#include "channel.h"

#include <array>
#include <chrono>
#include <mutex>
#include <thread>

namespace rfsense::zero {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto handshake_poll = std::chrono::milliseconds(5);
constexpr double mean_factor = 1.0 / samples_per_range; // 0.02

bool connected(const SensorRecord &record) {
    return record.connected.load() != 0;
}

// How a zero done step by step holds the reader still.
enum class Hold {
    handshake,      // parked in the zero handshake (2): the zero releases it at its end
    parked_already, // parked by someone else (a pause, trigger mode) or ended: left as it is
    lost,
};

// Parks the reader for a zero done step by step. A handshake left at 2 by an abandoned zero is
// taken over; a reader that is parked elsewhere (or parks while asked) is not waited for.
Hold park_reader(SensorRecord &record) {
    const auto deadline = Clock::now() + channel::reader_answer_limit;
    for (;;) {
        if (!connected(record)) return Hold::lost;
        int32_t state = record.zero_handshake.load();
        if (state == 2) return Hold::handshake;
        const bool answers = record.reader_alive.load() != 0 && record.reader_running.load() != 0 &&
                             Clock::now() < deadline;
        if (!answers) {
            // Withdraw a request (or an unseen release) nobody will answer; the reader may
            // still have parked in the handshake meanwhile.
            if (record.zero_handshake.compare_exchange_strong(state, 0))
                return Hold::parked_already;
            continue;
        }
        if (state == 0) record.zero_handshake.compare_exchange_strong(state, 1);
        // 1: waiting for the reader to park; 3: a release the reader takes at once.
        std::this_thread::sleep_for(handshake_poll);
    }
}

std::array<double, 3> offsets_in_use(const SensorRecord &record) {
    return {record.zero_offsets[0].load(), record.zero_offsets[1].load(),
            record.zero_offsets[2].load()};
}

// The verdict on the new offsets against the model's zero limit. A refused zero puts back the
// offsets in use before it: readings with a zero taken under power would be plainly wrong.
// The caller holds `average`; the range is selected afresh afterwards, clearing the average.
bool keep_or_restore_locked(SensorRecord &record, const std::array<double, 3> &before) {
    if (record.zero_offsets[2].load() <= record.zero_limit) return true;
    for (size_t range = 0; range < before.size(); ++range)
        record.zero_offsets[range] = before[range];
    return false;
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

int32_t conclude(SensorRecord &record, bool accepted) {
    if (!connected(record)) return 0;
    // A refused zero leaves the zero in use, with its temperature and zeroed flag, as it was.
    if (!accepted) return SENSOR_ZERO_TOO_LARGE;
    if (record.temp_comp_on.load() == 0 && !acquire::fresh_temperature_read(record)) return 0;
    if (!connected(record)) return 0;
    const double celsius = record.temperature1.load();
    record.temperature_at_zero = celsius;
    record.temperature_at_zero_copy = celsius;
    record.zeroed = 1;
    return SENSOR_DONE;
}

int32_t full_zero(SensorRecord &record) {
    const bool paused = acquire::pause_reader_if_running(record);
    if (!connected(record)) return 0;
    const auto before = offsets_in_use(record);
    bool accepted = false;
    {
        std::lock_guard lock(record.average);
        for (int range = 0; range < 3; ++range) {
            begin_range(record, range);
            double sum = 0;
            for (int i = 0; i < samples_per_range; ++i) sum += acquire::adc_read(record);
            record.zero_offsets[static_cast<size_t>(range)] = sum * mean_factor;
        }
        accepted = keep_or_restore_locked(record, before);
        restore_range_locked(record);
    }
    // A zero done step by step and abandoned still holds the reader in its handshake: this
    // zero replaces it and lets the reader go.
    int32_t held = 2;
    record.zero_handshake.compare_exchange_strong(held, 3);
    if (paused) channel::resume_reader(record);
    return conclude(record, accepted);
}

int32_t zero_tick(SensorRecord &record, ZeroTickState &state) {
    if (state.step < 0 || state.step > 6)
        state = ZeroTickState{}; // a finished (or never cleared) state starts a new zero
    if (state.step == 0) {
        const Hold hold = park_reader(record);
        if (hold == Hold::lost) return 0;
        record.zero_tick_owns_handshake = hold == Hold::handshake;
        record.offsets_before_zero = offsets_in_use(record);
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
    bool accepted = false;
    {
        std::lock_guard lock(record.average);
        accepted = keep_or_restore_locked(record, record.offsets_before_zero);
        restore_range_locked(record);
    }
    if (record.zero_tick_owns_handshake) record.zero_handshake = 3; // the reader resumes
    record.zero_tick_owns_handshake = false;
    return conclude(record, accepted);
}

} // namespace rfsense::zero
