#include "averaging.h"

#include <algorithm>

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
    record.step_history[static_cast<size_t>(record.step_position)] = value;
    if (++record.step_position >= static_cast<int>(record.step_history.size())) {
        record.step_position = 0;
        record.step_full = true;
        return true;
    }
    return false;
}

double take_step_mean(SensorRecord &record) {
    double sum = 0;
    for (double v : record.step_history) sum += v;
    record.step_mean = sum * 0.05;
    clear_step_history(record);
    return record.step_mean;
}

void clear_step_history(SensorRecord &record) {
    record.step_full = false;
    record.step_position = 0;
}

} // namespace rfsense::averaging
