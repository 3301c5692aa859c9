// The averaging buffer: wrap-around, rescaling and length changes that keep valid samples only.
#include "averaging.h"

#include <gtest/gtest.h>

namespace averaging = rfsense::averaging;

namespace {

class Averaging : public testing::Test {
  protected:
    void fill(int length, int samples, double first = 1) {
        record.average_length = length;
        averaging::clear(record);
        for (int i = 0; i < samples; ++i) averaging::add_sample(record, first + i);
    }
    SensorRecord record;
};

TEST_F(Averaging, MeanOfSamplesSoFarThenOfTheWholeLength) {
    record.average_length = 4;
    averaging::clear(record);
    EXPECT_EQ(averaging::add_sample(record, 2), 2);
    EXPECT_EQ(averaging::add_sample(record, 4), 3);
    EXPECT_EQ(record.average_full.load(), 0);
    averaging::add_sample(record, 6);
    EXPECT_EQ(averaging::add_sample(record, 8), 5);
    EXPECT_EQ(record.average_full.load(), 1);
    EXPECT_EQ(record.average_position.load(), 0);
    EXPECT_EQ(averaging::add_sample(record, 10), 7); // 10, 4, 6, 8
}

TEST_F(Averaging, EveryAcceptedLengthFitsTheBuffer) {
    fill(1000, 2500);
    EXPECT_EQ(record.average_full.load(), 1);
    EXPECT_EQ(averaging::valid_count(record), 1000);
    EXPECT_DOUBLE_EQ(averaging::mean(record), (1501.0 + 2500.0) / 2);
    fill(1, 3);
    EXPECT_EQ(averaging::mean(record), 3);
}

TEST_F(Averaging, ScaleTouchesOnlyValidSamples) {
    fill(10, 3); // 1, 2, 3
    record.average_buffer[5] = 100;
    averaging::scale(record, 2);
    EXPECT_EQ(averaging::mean(record), 4);
    EXPECT_EQ(record.average_buffer[5], 100);
}

TEST_F(Averaging, ShorterLengthKeepsTheNewestSamples) {
    fill(150, 120); // 1..120, not full
    averaging::resize(record, 100);
    EXPECT_EQ(record.average_full.load(), 1);
    EXPECT_EQ(record.average_position.load(), 0);
    EXPECT_DOUBLE_EQ(averaging::mean(record), (21.0 + 120.0) / 2);
    // The next sample replaces the oldest kept one (21).
    EXPECT_DOUBLE_EQ(averaging::add_sample(record, 121), (22.0 + 121.0) / 2);
}

TEST_F(Averaging, WrappedBufferIsKeptInOrder) {
    fill(50, 70); // holds 21..70, write position 20
    averaging::resize(record, 30);
    EXPECT_DOUBLE_EQ(averaging::mean(record), (41.0 + 70.0) / 2);
    averaging::add_sample(record, 71);
    EXPECT_DOUBLE_EQ(averaging::mean(record), (42.0 + 71.0) / 2);
}

TEST_F(Averaging, LongerLengthDoesNotCountStaleEntries) {
    for (auto &v : record.average_buffer) v = 1000; // left over from earlier use
    fill(50, 60);                                   // holds 11..60
    averaging::resize(record, 100);
    EXPECT_EQ(record.average_full.load(), 0);
    EXPECT_EQ(averaging::valid_count(record), 50);
    EXPECT_DOUBLE_EQ(averaging::mean(record), (11.0 + 60.0) / 2);
    averaging::add_sample(record, 61);
    EXPECT_DOUBLE_EQ(averaging::mean(record), (11.0 + 61.0) / 2);
}

TEST_F(Averaging, WritePositionBeyondTheLengthIsNeverUsed) {
    fill(150, 120);
    record.average_length = 100; // as a caller that changed only the length would leave it
    averaging::add_sample(record, 5);
    EXPECT_EQ(record.average_position.load(), 1);
    EXPECT_LT(averaging::valid_count(record), 101);
}

TEST_F(Averaging, StepWindowSlidesOverTheNewestTwentyEntries) {
    for (int i = 0; i < 19; ++i) EXPECT_FALSE(averaging::add_step_entry(record, 1.0));
    EXPECT_TRUE(averaging::add_step_entry(record, 3.0));
    EXPECT_DOUBLE_EQ(averaging::step_window_mean(record), 1.1);
    // Each further entry replaces the oldest; the window stays full.
    EXPECT_TRUE(averaging::add_step_entry(record, 5.0));
    EXPECT_DOUBLE_EQ(averaging::step_window_mean(record), (18 * 1.0 + 3.0 + 5.0) / 20);
    // Many turns later the running sum holds exactly the newest twenty entries.
    for (int i = 0; i < 1000; ++i) averaging::add_step_entry(record, i % 2 == 0 ? 0.1 : 0.3);
    EXPECT_NEAR(averaging::step_window_mean(record), 0.2, 1e-15);
    averaging::clear_step_history(record);
    EXPECT_FALSE(record.step_full);
    EXPECT_FALSE(averaging::add_step_entry(record, 7.0));
    EXPECT_DOUBLE_EQ(averaging::step_window_mean(record), 7.0);
}

} // namespace
