// Restarts of the average that noise alone causes, at the lowest power of each range with the
// range's default average length: the library's step detection (the newest 20 samples against the
// average, on every sample) beside the older rule that compared each completed 20-sample block
// once. Both see the same stream of samples; only the library's restarts shape that run's
// average, the block rule is replayed on the recorded samples with an average of its own.
#include "acquire.h"
#include "averaging.h"
#include "convert.h"
#include "record.h"
#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int samples_per_run = 20000;
constexpr int window = 20;
constexpr double restart_db = 0.5;
constexpr std::array<int, 3> default_lengths{50, 100, 150};
// Levels just above the switch into the next lower range (averaged volts, doubled in range 0),
// and for range 2 well down towards the noise.
constexpr std::array<double, 3> lowest_volts{0.0055 * 1.05, 0.00065 * 1.05, 0.00065 * 0.01};

// The block rule on a recorded stream: every 20th sample the block mean is compared with the
// average, the block is emptied; a difference over 0.5 dB empties the average.
long block_rule_restarts(SensorRecord &record, const std::vector<double> &samples, int length,
                         double scale) {
    std::vector<double> ring(static_cast<size_t>(length));
    int position = 0;
    int count = 0;
    double block_sum = 0;
    int block_count = 0;
    long restarts = 0;
    for (double sample : samples) {
        ring[static_cast<size_t>(position)] = sample;
        position = (position + 1) % length;
        if (count < length) ++count;
        double sum = 0;
        for (int i = 0; i < count; ++i) sum += ring[static_cast<size_t>(i)];
        const double averaged = sum / count * scale;
        block_sum += sample * scale;
        if (++block_count < window) continue;
        const double block_mean = block_sum / window;
        block_sum = 0;
        block_count = 0;
        const double difference = rfsense::convert::volts_to_dbm(record, block_mean) -
                                  rfsense::convert::volts_to_dbm(record, averaged);
        if (std::fabs(difference) > restart_db) {
            ++restarts;
            position = 0;
            count = 0;
        }
    }
    return restarts;
}

} // namespace

int main() {
    setenv("RFSENSE_LINK", "sim", 1);
    if (rfsim_configure("[device]\ntiming = fast\n") < 0) {
        std::fprintf(stderr, "step_detection: %s\n", rfsim_error());
        return 1;
    }
    SensorRecord *record = nullptr;
    SensorOpen(&record);
    if (SensorInit(record) != SENSOR_DONE || SensorComms(record, 0) != SENSOR_DONE) {
        std::fprintf(stderr, "step_detection: no simulated sensor\n");
        SensorClose(&record);
        return 1;
    }
    record->tick_interval = 3600;
    // The demonstration sensor's noise, and ten times as much.
    for (const char *noise : {"0.5", "5"})
        for (int range = 0; range < 3; ++range) {
            rfsim_set(0, "noise_uv", noise);
            const double volts = lowest_volts[static_cast<size_t>(range)];
            const double dbm = rfsense::convert::volts_to_dbm(*record, volts);
            rfsim_set(0, "power_dbm", std::to_string(dbm).c_str());
            {
                std::lock_guard lock(record->average);
                record->range_hold = 1;
                record->step_detect_on = 1;
                rfsense::acquire::select_reference(*record, range == 0);
                rfsense::acquire::select_range_locked(*record, range, true);
                rfsense::averaging::clear_step_history(*record);
            }
            const uint32_t before = record->step_restarts.load();
            std::vector<double> samples;
            samples.reserve(samples_per_run);
            for (int i = 0; i < samples_per_run; ++i) {
                if (!rfsense::acquire::reader_cycle(*record)) {
                    std::fprintf(stderr, "step_detection: the sensor stopped answering\n");
                    SensorClose(&record);
                    return 1;
                }
                samples.push_back(record->adc_volts.load() -
                                  record->zero_offsets[static_cast<size_t>(range)].load());
            }
            const long sliding = static_cast<long>(record->step_restarts.load() - before);
            const long block =
                block_rule_restarts(*record, samples, default_lengths[static_cast<size_t>(range)],
                                    range == 0 ? 2.0 : 1.0);
            std::printf("step_detection range %d at %.1f dBm, noise %s uV, length %d: %d samples, "
                        "sliding window %ld restarts, 20-sample blocks %ld restarts\n",
                        range, dbm, noise, default_lengths[static_cast<size_t>(range)],
                        samples_per_run, sliding, block);
        }
    SensorComms(record, 1);
    SensorClose(&record);
    return 0;
}
