// The reader thread's cycle, white-box: auto-ranging thresholds with reference switching and
// buffer rescaling, and the restart of the average after a step in power. The test thread runs
// the cycles itself while the library's reader is parked, so every sample is counted.
#include "acquire.h"
#include "averaging.h"
#include "record.h"
#include "rfsense/sim_session.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>

namespace acquire = rfsense::acquire;
namespace averaging = rfsense::averaging;
using namespace rfsense_test;

namespace {

class ReaderCycle : public testing::Test {
  protected:
    void SetUp() override {
        configure_bus("[device]\ntiming = fast\nnoise_uv = 0\n");
        ASSERT_EQ(session.init(), 1);
        ASSERT_EQ(SensorComms(session.get(), 0), 1); // the library's reader parks
        record().tick_interval = 3600;
    }
    void TearDown() override { SensorComms(session.get(), 1); }

    SensorRecord &record() const { return *session.get(); }

    // Puts the record in `range` (with its reference) holding `samples` copies of `value`.
    void prepare(int range, int samples, double value) {
        std::lock_guard lock(record().average);
        acquire::select_reference(record(), range == 0);
        acquire::select_range_locked(record(), range, true);
        for (int i = 0; i < samples; ++i) averaging::add_sample(record(), value);
    }

    void cycles(int n) {
        for (int i = 0; i < n; ++i) ASSERT_TRUE(acquire::reader_cycle(record()));
    }

    // Runs cycles until the average is full.
    void fill() {
        for (int i = 0; i < 2000 && record().average_full.load() == 0; ++i)
            ASSERT_TRUE(acquire::reader_cycle(record()));
        ASSERT_EQ(record().average_full.load(), 1);
    }

    Session session;
};

struct RangeCase {
    int from;
    double volts; // averaged volts (doubled in range 0)
    int to;
    double factor; // applied to the kept samples; 0: average cleared
};

TEST_F(ReaderCycle, AutoRangingThresholdsReferencesAndRescaling) {
    const RangeCase cases[] = {
        {0, 0.006, 0, 1},   {0, 0.0055, 0, 1},  {0, 0.005, 1, 2},  {0, 0.00065, 1, 2},
        {0, 0.0006, 2, 0},  {1, 0.00065, 1, 1}, {1, 0.0075, 1, 1}, {1, 0.0006, 2, 1},
        {1, 0.008, 0, 0.5}, {2, 0.00066, 2, 1}, {2, 0.0007, 1, 1}, {2, 0.0075, 1, 1},
        {2, 0.008, 0, 0},
    };
    const double kept = 0.001;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "range " << c.from << " at " << c.volts << " V");
        prepare(c.from, 10, kept);
        {
            std::lock_guard lock(record().average);
            acquire::auto_range_locked(record(), c.volts);
        }
        EXPECT_EQ(record().range_index.load(), c.to);
        EXPECT_EQ(get_key(0, "range"), std::to_string(c.to)); // the sensor's gain and filter
        EXPECT_EQ(record().reference_select.load(), c.to == 0 ? 1 : 0);
        EXPECT_DOUBLE_EQ(record().volts_per_count.load(), (c.to == 0 ? 3.3 : 1.17) / 16777216.0);
        const int lengths[] = {50, 100, 150};
        const int rates[] = {10, 6, 2};
        EXPECT_EQ(record().average_length.load(), lengths[c.to]);
        EXPECT_EQ(record().display_update_rate.load(), rates[c.to]);
        if (c.factor == 0) {
            EXPECT_EQ(averaging::valid_count(record()), 0);
        } else {
            EXPECT_EQ(averaging::valid_count(record()), 10);
            EXPECT_DOUBLE_EQ(averaging::mean(record()), kept * c.factor);
        }
    }
}

TEST_F(ReaderCycle, AverageKeepsItsLevelAcrossANonClearingRangeChange) {
    // A level just beyond a threshold drifts the average across it; at the change the kept
    // samples are rescaled to the new gain, so the next average continues where the last one
    // ended (equal lengths in both ranges keep the same samples in the mean).
    const struct {
        int from;
        const char *start_dbm;
        const char *next_dbm;
        int to;
    } cases[] = {{1, "-19.5", "-18.5", 0}, {0, "-18.5", "-20.5", 1}};
    record().step_detect_on = 0;
    record().range_settings[6] = 100;
    record().range_settings[7] = 100;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "from range " << c.from);
        set_key(0, "power_dbm", c.start_dbm);
        prepare(c.from, 0, 0);
        fill();
        ASSERT_EQ(record().range_index.load(), c.from);
        set_key(0, "power_dbm", c.next_dbm);
        double before = 0;
        for (int i = 0; i < 200 && record().range_index.load() == c.from; ++i) {
            cycles(1);
            before = record().averaged_volts.load();
        }
        ASSERT_EQ(record().range_index.load(), c.to);
        cycles(1);
        EXPECT_NEAR(record().averaged_volts.load(), before, before * 0.01);
    }
}

// A 1 dB step restarts the average within 20 samples wherever it falls, up or down, at the
// default average length of each range; the restarted average then holds the new level only.
TEST_F(ReaderCycle, OneDecibelStepRestartsTheAverageWithinTwentySamplesAtEveryPosition) {
    const struct {
        int range;
        double low_dbm; // the step goes between this level and 1 dB above
    } ranges[] = {{0, -10}, {1, -24}, {2, -40}};
    record().step_detect_on = 1;
    record().range_hold = 1; // each range keeps its default length throughout
    for (const auto &r : ranges) {
        for (int position = 0; position < 20; ++position) {
            for (const double step_db : {1.0, -1.0}) {
                SCOPED_TRACE(testing::Message() << "range " << r.range << ", position " << position
                                                << ", step " << step_db << " dB");
                const double from = step_db > 0 ? r.low_dbm : r.low_dbm + 1;
                set_key(0, "power_dbm", std::to_string(from));
                prepare(r.range, 0, 0);
                fill();
                while (record().step_position != position) cycles(1);
                set_key(0, "power_dbm", std::to_string(from + step_db));
                const uint32_t restarts = record().step_restarts.load();
                int samples = 0;
                while (record().step_restarts.load() == restarts && samples < 200) {
                    cycles(1);
                    ++samples;
                }
                EXPECT_LE(samples, 20);
                // One restart only, and from the first sample on the fresh average is the new
                // level alone.
                cycles(1);
                const double first = record().averaged_volts.load();
                fill();
                EXPECT_EQ(record().step_restarts.load(), restarts + 1);
                EXPECT_NEAR(record().averaged_volts.load(), first, first * 1e-6);
            }
        }
    }
}

TEST_F(ReaderCycle, WithoutStepDetectionTheAverageRunsOn) {
    record().step_detect_on = 0;
    record().range_hold = 1;
    set_key(0, "power_dbm", "-10");
    {
        std::lock_guard lock(record().average);
        record().range_settings[6] = 200;
        acquire::select_reference(record(), true);
        acquire::select_range_locked(record(), 0, true);
    }
    fill();
    set_key(0, "power_dbm", "-9");
    cycles(60);
    EXPECT_EQ(record().average_full.load(), 1);
}

TEST_F(ReaderCycle, OverRangeAboveTheThreshold) {
    set_key(0, "power_dbm", "22");
    prepare(0, 0, 0);
    fill();
    EXPECT_GT(record().averaged_volts.load(), 2.75);
    EXPECT_EQ(record().over_range.load(), 1);
    set_key(0, "power_dbm", "19");
    prepare(0, 0, 0);
    fill();
    EXPECT_EQ(record().over_range.load(), 0);
}

} // namespace
