// The reader thread: converts continuously, averages, auto-ranges, detects steps in power,
// reads the thermistors when asked and signals every new average.
#include "acquire.h"
#include "averaging.h"
#include "channel.h"
#include "convert.h"

#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

namespace rfsense::acquire {

namespace {

using namespace std::chrono_literals;

constexpr auto park_poll = 5ms;
// While parked, the reader looks this often whether the device is still there, so that an unplug
// is noticed (and every wait on the record ends) although nothing else talks to the device.
constexpr auto attached_check = 250ms;
constexpr double step_restart_db = 0.5;

bool connected(const SensorRecord &record) {
    return record.connected.load() != 0;
}

// A zero done step by step parks the reader here until the zero releases it (handshake 1 -> 2,
// then 3 -> 0). False when the sensor was lost meanwhile.
bool serve_zero_handshake(SensorRecord &record) {
    int32_t requested = 1;
    if (!record.zero_handshake.compare_exchange_strong(requested, 2)) return true;
    int32_t released = 3;
    auto checked = std::chrono::steady_clock::now();
    while (connected(record) && !record.zero_handshake.compare_exchange_strong(released, 0)) {
        released = 3;
        std::this_thread::sleep_for(park_poll);
        if (std::chrono::steady_clock::now() - checked >= attached_check) {
            channel::still_attached(record);
            checked = std::chrono::steady_clock::now();
        }
    }
    return connected(record);
}

struct Cycle {
    double averaged = 0;
    bool step_check = false;
    double step_mean = 0;
};

// One conversion into the average, with ranging and over-range (steps 2 to 7 of a cycle).
Cycle convert_and_average(SensorRecord &record) {
    Cycle cycle;
    std::lock_guard lock(record.average);
    const double volts = adc_read(record);
    const int range = record.range_index.load();
    const double sample = volts - record.zero_offsets[static_cast<size_t>(range)].load();
    double averaged = averaging::add_sample(record, sample);
    const bool step_on = record.step_detect_on.load() != 0;
    if (step_on) averaging::add_step_entry(record, range == 0 ? sample * 2 : sample);
    if (range == 0) averaged *= 2;
    record.averaged_volts = averaged;
    if (record.range_hold.load() == 0) auto_range_locked(record, averaged);
    record.over_range = averaged > record.over_range_threshold ? 1 : 0;
    if (step_on && record.step_full) {
        cycle.step_check = true;
        cycle.step_mean = averaging::step_window_mean(record);
    }
    cycle.averaged = averaged;
    return cycle;
}

// A change of level by more than 0.5 dB between the newest 20 samples and the whole average
// restarts the average, so a step in power shows at once instead of after a full average. The
// window slides by one sample per cycle: a step is caught wherever it falls, where a comparison
// once per 20-sample block misses steps that land inside a block (both means then hold part of
// the step). After a restart the window starts empty, so the old level cannot restart the fresh
// average again.
void check_step(SensorRecord &record, const Cycle &cycle) {
    const double recent = convert::volts_to_dbm(record, cycle.step_mean);
    const double whole = convert::volts_to_dbm(record, cycle.averaged);
    if (std::fabs(recent - whole) > step_restart_db) {
        std::lock_guard lock(record.average);
        averaging::clear(record);
        averaging::clear_step_history(record);
        record.step_restarts.fetch_add(1);
    }
}

void serve_temperature(SensorRecord &record) {
    const bool requested = record.temperature_request.exchange(0) != 0;
    const bool due = record.temperature_update_due.exchange(0) != 0;
    if (!requested && !due) return;
    read_temperatures(record);
    if (record.temp_comp_on.load() != 0) convert::update_threshold_power(record);
    if (requested) record.temperature_reads.fetch_add(1);
    record.temperature_event.set();
}

// Parks on the run event while a caller talks to the sensor. False when the sensor was lost.
bool serve_pause(SensorRecord &record) {
    if (record.pause_request.load() == 0) return true;
    record.reader_running = 0;
    record.pause_request = 0;
    bool resumed = false;
    while (!resumed && connected(record)) {
        resumed = record.run_event.wait_for(record.connected, attached_check);
        if (!resumed) channel::still_attached(record);
    }
    record.reader_running = 1;
    return resumed;
}

} // namespace

bool reader_cycle(SensorRecord &record) {
    if (!serve_zero_handshake(record)) return false;
    // A pause asked for while a zero held the reader is served before anything is sent.
    if (record.pause_request.load() != 0) return serve_pause(record);
    const Cycle cycle = convert_and_average(record);
    if (!connected(record)) return false;
    record.measurement_event.set();
    if (cycle.step_check) check_step(record, cycle);
    serve_temperature(record);
    return serve_pause(record);
}

void reader_loop(SensorRecord &record) {
    {
        std::lock_guard lock(record.average);
        averaging::clear(record);
    }
    // A temperature update due at start-up is served before the first conversion.
    serve_temperature(record);
    while (connected(record) && reader_cycle(record)) {
    }
    // Nobody else will signal this record's events any more.
    record.reader_alive = 0;
    wake_waiters(record);
}

} // namespace rfsense::acquire
