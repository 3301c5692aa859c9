#include "averaging.h"

#include <algorithm>
#include <tuple>

namespace rfsense::averaging {

namespace {

int clamp_length(int length) {
    return std::clamp(length, 1, SensorRecord::average_capacity);
}

} // namespace

void clear(SensorRecord &record) {
    record.average_full = 0;
    record.average_position = 0;
}

int valid_count(const SensorRecord &record) {
    const int length = clamp_length(record.average_length.load());
    if (record.average_full.load() != 0) return length;
    return std::clamp(record.average_position.load(), 0, length);
}

double mean(const SensorRecord &record) {
    const int n = valid_count(record);
    if (n == 0) return 0.0;
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += record.average_buffer[static_cast<size_t>(i)];
    return sum / n;
}

double add_sample(SensorRecord &record, double sample) {
    const int length = clamp_length(record.average_length.load());
    int position = record.average_position.load();
    if (position < 0 || position >= length)
        position = 0; // never outside the buffer, whatever changed the length
    record.average_buffer[static_cast<size_t>(position)] = sample;
    if (++position >= length) {
        position = 0;
        record.average_full = 1;
    }
    record.average_position = position;
    return mean(record);
}

void scale(SensorRecord &record, double factor) {
    const int n = valid_count(record);
    for (int i = 0; i < n; ++i) record.average_buffer[static_cast<size_t>(i)] *= factor;
}

void resize(SensorRecord &record, int new_length) {
    new_length = clamp_length(new_length);
    const int old_length = clamp_length(record.average_length.load());
    const int n = valid_count(record);
    auto begin = record.average_buffer.begin();
    if (record.average_full.load() != 0) {
        // Oldest sample first: the ring starts at the write position.
        const int position = std::clamp(record.average_position.load(), 0, old_length - 1);
        std::rotate(begin, begin + position, begin + old_length);
    }
    const int kept = std::min(n, new_length);
    if (kept < n) std::copy(begin + (n - kept), begin + n, begin);
    record.average_length = new_length;
    record.average_full = kept == new_length ? 1 : 0;
    record.average_position = kept == new_length ? 0 : kept;
}

bool add_step_entry(SensorRecord &record, double value) {
    constexpr int size = static_cast<int>(std::tuple_size_v<decltype(record.step_history)>);
    auto &slot = record.step_history[static_cast<size_t>(record.step_position)];
    if (record.step_count >= size) record.step_sum -= slot; // the oldest entry leaves
    slot = value;
    record.step_sum += value;
    if (record.step_count < size) ++record.step_count;
    if (++record.step_position >= size) {
        record.step_position = 0;
        // Summed afresh once per turn, so rounding in the running sum never accumulates.
        double sum = 0;
        for (double v : record.step_history) sum += v;
        record.step_sum = sum;
    }
    record.step_full = record.step_count >= size;
    return record.step_full;
}

double step_window_mean(SensorRecord &record) {
    record.step_mean = record.step_count > 0 ? record.step_sum / record.step_count : 0.0;
    return record.step_mean;
}

void clear_step_history(SensorRecord &record) {
    record.step_full = false;
    record.step_position = 0;
    record.step_count = 0;
    record.step_sum = 0;
}

} // namespace rfsense::averaging
