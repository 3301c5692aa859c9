// Acquisition exports against the simulated sensor: zeroing (whole and step by step), range
// hold, averaging settings, triggered acquisition, temperatures, and every wait ending when the
// sensor is unplugged.
#include "rfsense/measuring.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace rfsense_test;
using namespace std::chrono_literals;

struct ZeroCase {
    const char *keys;
    int32_t result;
};

class ZeroTick : public testing::TestWithParam<ZeroCase> {};

TEST_P(ZeroTick, TakesOneHundredAndFiftyCalls) {
    MeasuringSensor sensor(GetParam().keys);
    ASSERT_EQ(SensorInit(sensor.record()), 1);
    set_key(0, "power_dbm", "off");
    ZeroTickState state{};
    int calls = 0;
    int32_t result = 0;
    do {
        result = SensorZeroTick(sensor.record(), &state);
        ++calls;
    } while (result == SENSOR_ZERO_IN_PROGRESS && calls < 1000);
    EXPECT_EQ(calls, 150);
    EXPECT_EQ(result, GetParam().result);
    // The reader runs again and the range in use has its own gain back.
    EXPECT_NEAR(sensor.settled_dbm(-10), -10, 0.02);
}

const ZeroCase zero_cases[] = {
    {"description = USB Power Sensor RX2LOKAN\nzero_offset_uv = 3, 2, 1", 1},
    {"description = USB Power Sensor RX2LOKAN\nzero_offset_uv = 3, 2, 20", SENSOR_ZERO_TOO_LARGE},
    {"description = USB Power Sensor RX1\nzero_offset_uv = 3, 2, 140", 1},
    {"description = USB Power Sensor RX1\nzero_offset_uv = 3, 2, 160", SENSOR_ZERO_TOO_LARGE},
};

INSTANTIATE_TEST_SUITE_P(Limits, ZeroTick, testing::ValuesIn(zero_cases));

TEST(Zero, WholeZeroMeasuresEachRangeAndJudgesRangeTwo) {
    for (const auto &c : zero_cases) {
        SCOPED_TRACE(c.keys);
        MeasuringSensor sensor(c.keys);
        ASSERT_EQ(SensorInit(sensor.record()), 1);
        set_key(0, "power_dbm", "off");
        EXPECT_EQ(SensorZero(sensor.record()), c.result);
        double z2 = 0, z1 = 0, z0 = 0;
        ASSERT_EQ(SensorZeroRangeValues(sensor.record(), &z2, &z1, &z0), 1);
        // A refused zero keeps the offsets in use before it: none, right after start-up.
        const std::vector<double> offsets =
            c.result == 1 ? numbers_of(0, "zero_offset_uv") : std::vector<double>{0, 0, 0};
        ASSERT_EQ(offsets.size(), 3u);          // ranges 0, 1, 2
        EXPECT_NEAR(z2 * 1e6, offsets[2], 0.1); // range 2 comes first
        EXPECT_NEAR(z1 * 1e6, offsets[1], 0.1);
        EXPECT_NEAR(z0 * 1e6, offsets[0], 0.1);
        SensorSettingsRecord settings{};
        ASSERT_EQ(SensorSettings(sensor.record(), &settings), 1);
        EXPECT_EQ(settings.zeroed, c.result == 1 ? 1 : 0);
    }
}

// A zero with power applied is refused, and the zero in use stays: the readings after it are the
// readings before it and the zeroed flag is unchanged, whether the zero ran whole or step by step.
TEST(Zero, RefusedZeroKeepsTheZeroInUse) {
    const struct {
        const char *name;
        std::function<int32_t(SensorRecord *)> zero;
    } zeros[] = {{"SensorZero", SensorZero},
                 {"SensorZeroTick", [](SensorRecord *r) {
                      ZeroTickState state{};
                      int32_t result = SENSOR_ZERO_IN_PROGRESS;
                      for (int i = 0; i < 1000 && result == SENSOR_ZERO_IN_PROGRESS; ++i)
                          result = SensorZeroTick(r, &state);
                      return result;
                  }}};
    for (const auto &z : zeros) {
        SCOPED_TRACE(z.name);
        MeasuringSensor sensor("temperature_c = 38");
        sensor.start(); // zeroed with the RF off
        SensorRecord *r = sensor.record();
        std::array<double, 3> before{};
        ASSERT_EQ(SensorZeroRangeValues(r, &before[2], &before[1], &before[0]), 1);
        const double reading = sensor.settled_dbm(-10);
        set_key(0, "temperature_c", "30");
        EXPECT_EQ(z.zero(r), SENSOR_ZERO_TOO_LARGE);
        std::array<double, 3> after{};
        ASSERT_EQ(SensorZeroRangeValues(r, &after[2], &after[1], &after[0]), 1);
        EXPECT_EQ(after, before);
        SensorSettingsRecord settings{};
        ASSERT_EQ(SensorSettings(r, &settings), 1);
        EXPECT_EQ(settings.zeroed, 1);
        set_key(0, "temperature_c", "38");
        EXPECT_NEAR(sensor.read_settled(), reading, 0.005);
    }
}

TEST(Zero, ZeroWithCompensationOffTakesAFreshTemperature) {
    MeasuringSensor sensor;
    ASSERT_EQ(SensorInit(sensor.record()), 1);
    ASSERT_EQ(SensorTempComp(sensor.record(), 0), 1);
    set_key(0, "temperature_c", "31");
    sensor.zero();
    double t = 0;
    ASSERT_EQ(SensorTemperature(sensor.record(), &t), 1);
    EXPECT_NEAR(t, 31, 0.5);
}

TEST(Zero, ZeroKeepsAHeldRange) {
    MeasuringSensor sensor;
    sensor.start();
    ASSERT_EQ(SensorRangeHold(sensor.record(), 0), 1);
    sensor.zero();
    EXPECT_EQ(get_key(0, "range"), "0");
    EXPECT_EQ(DisplayUpdateRate(sensor.record()), 10);
    EXPECT_NEAR(sensor.settled_dbm(0), 0, 0.02);
}

TEST(Ranges, HoldKeepsTheRangeAndAutoReturnsToRanging) {
    MeasuringSensor sensor;
    sensor.start();
    sensor.temperature(25);
    EXPECT_EQ(SensorRangeHold(sensor.record(), 3), SENSOR_RANGE_OUT_OF_RANGE);
    EXPECT_EQ(SensorRangeHold(sensor.record(), -1), SENSOR_RANGE_OUT_OF_RANGE);
    ASSERT_EQ(SensorRangeHold(sensor.record(), 1), 1);
    // -15 dBm would be range 0; held in range 1 it still reads right.
    EXPECT_NEAR(sensor.settled_dbm(-15), -15, 0.02);
    EXPECT_EQ(get_key(0, "range"), "1");
    EXPECT_EQ(DisplayUpdateRate(sensor.record()), 6);
    ASSERT_EQ(SensorRangeAuto(sensor.record()), 1);
    EXPECT_NEAR(sensor.read_settled(), -15, 0.02);
    EXPECT_EQ(get_key(0, "range"), "0");
    EXPECT_EQ(DisplayUpdateRate(sensor.record()), 10);
    sensor.settled_dbm(-45);
    EXPECT_EQ(DisplayUpdateRate(sensor.record()), 2);
}

TEST(Averaging, FilterSizeCodesAndSettings) {
    MeasuringSensor sensor;
    sensor.start();
    SensorRecord *r = sensor.record();
    EXPECT_EQ(SensorFilterSize(r, 3, 10), SENSOR_RANGE_OUT_OF_RANGE);
    EXPECT_EQ(SensorFilterSize(r, -1, 10), SENSOR_RANGE_OUT_OF_RANGE);
    EXPECT_EQ(SensorFilterSize(r, 0, 0), SENSOR_AVERAGE_OUT_OF_RANGE);
    EXPECT_EQ(SensorFilterSize(r, 0, 1001), SENSOR_AVERAGE_OUT_OF_RANGE);
    EXPECT_EQ(SensorFilterSize(r, 2, 1000), 1);
    EXPECT_EQ(SensorFilterSize(r, 1, 1), 1);
    std::array<int32_t, 9> settings{};
    ASSERT_EQ(SensorFilterSettingsQuery(r, settings.data()), 1);
    EXPECT_EQ(settings, (std::array<int32_t, 9>{0, 1, 1, 4, 6, 12, 50, 1, 1000}));

    // Updates: index 0..8; gains 0..1, filter codes 0..14, lengths 1..1000.
    const struct {
        int32_t index, value, result;
    } updates[] = {{9, 1, SENSOR_RANGE_OUT_OF_RANGE},
                   {-1, 1, SENSOR_RANGE_OUT_OF_RANGE},
                   {0, 2, SENSOR_AVERAGE_OUT_OF_RANGE},
                   {3, 15, SENSOR_AVERAGE_OUT_OF_RANGE},
                   {8, 0, SENSOR_AVERAGE_OUT_OF_RANGE},
                   {8, 1001, SENSOR_AVERAGE_OUT_OF_RANGE},
                   {5, 13, 1},
                   {8, 20, 1}};
    set_key(0, "power_dbm", "off");
    sensor.read_settled();           // range 2
    ASSERT_EQ(SensorComms(r, 0), 1); // keeps the command log still
    for (const auto &u : updates)
        EXPECT_EQ(SensorFilterSettingsUpdate(r, u.index, u.value), u.result) << u.index;
    // The current range is selected again with its new settings.
    const std::string commands = get_key(0, "commands");
    EXPECT_NE(commands.find("FLT14"), std::string::npos) << commands;
    ASSERT_EQ(SensorComms(r, 1), 1);
    ASSERT_EQ(SensorFilterSettingsQuery(r, settings.data()), 1);
    EXPECT_EQ(settings, (std::array<int32_t, 9>{0, 1, 1, 4, 6, 13, 50, 1, 20}));
    int32_t filter = 0;
    ASSERT_EQ(SensorFilterQuery(r, &filter), 1);
    EXPECT_EQ(filter, 13);
}

TEST(Averaging, LongestAverageReadsRight) {
    MeasuringSensor sensor;
    sensor.start();
    sensor.temperature(25);
    for (int range = 0; range < 3; ++range)
        ASSERT_EQ(SensorFilterSize(sensor.record(), range, 1000), 1);
    for (double dbm : {-40.0, -25.0, 0.0}) EXPECT_NEAR(sensor.settled_dbm(dbm), dbm, 0.02);
}

TEST(Trigger, TriggeredReadingAndLevel) {
    MeasuringSensor sensor;
    sensor.start();
    sensor.temperature(25);
    const double steady = sensor.settled_dbm(-10);
    SensorRecord *r = sensor.record();
    // Before triggered acquisition is on the sensor has no triggered result to give.
    double untouched = 123;
    EXPECT_EQ(SensorTriggerQuery(r, &untouched), SENSOR_NO_TRIGGERED_SAMPLES);
    EXPECT_EQ(untouched, 123);
    ASSERT_EQ(SensorTriggerLevel(r, 0x01020304u), 1);
    EXPECT_EQ(get_key(0, "trigger_level"), std::to_string(0x01020304u));
    ASSERT_EQ(SensorTriggerState(r, 1), 1);
    EXPECT_EQ(get_key(0, "last_command"), "TRG.E");
    ASSERT_EQ(SensorTriggerState(r, 1), 1); // twice on does not leave a pause pending
    double dbm = 0;
    ASSERT_EQ(SensorTriggerQuery(r, &dbm), 1);
    EXPECT_NEAR(dbm, steady, 0.01);
    // Power reads do not wait in trigger mode (the reader is parked).
    EXPECT_EQ(SensorPowerLog(r, &dbm), 1);
    EXPECT_NEAR(dbm, steady, 0.01);
    double volts = 0;
    EXPECT_EQ(SensorVolts(r, &volts), 1);
    double t = 0;
    EXPECT_EQ(SensorTemperature(r, &t), 1);
    ASSERT_EQ(SensorTriggerState(r, 0), 1);
    EXPECT_NEAR(sensor.settled_dbm(-20), -20, 0.02); // the reader runs again
}

TEST(Temperatures, BothThermistorsAndTheTickInterval) {
    MeasuringSensor sensor("temperature_c = 31\nair_temperature_c = 42");
    sensor.start();
    double t1 = 0, t3 = 0;
    ASSERT_EQ(SensorTemperatureBoth(sensor.record(), &t1, &t3), 1);
    EXPECT_NEAR(t1, 31, 0.3);
    EXPECT_NEAR(t3, 42, 0.3);

    // With a one-second tick the compensation follows the temperature on its own.
    ASSERT_EQ(SensorTempCompConfig(sensor.record(), 1, 0), 1);
    sensor.settled_dbm(5);
    set_key(0, "temperature_c", "45");
    EXPECT_TRUE(eventually([&] { return std::fabs(sensor.read_settled() - 5) < 0.02; }, 4000ms));
}

// The thermistors are read before the first conversion, so readings taken at once after
// start-up are compensated for the sensor's temperature (realistic timing, no zero taken).
TEST(Temperatures, FirstReadingsAfterStartUpAreCompensated) {
    for (const double celsius : {45.0, 5.0}) {
        for (const double dbm : {-40.0, -10.0}) {
            SCOPED_TRACE(testing::Message() << dbm << " dBm at " << celsius << " 'C");
            MeasuringSensor sensor(
                "timing = realistic\nzero_offset_uv = 0, 0, 0\ntemperature_c = " +
                std::to_string(celsius) + "\npower_dbm = " + std::to_string(dbm));
            SensorRecord *r = sensor.record();
            ASSERT_EQ(SensorInit(r), 1);
            // -40 dBm is measured in range 2, where the reader starts: its first average counts.
            // -10 dBm needs range 0 first, then one whole average there.
            if (dbm > -20) {
                ASSERT_EQ(SensorTrigger(r), 1);
            }
            double reading = 0;
            ASSERT_GE(SensorPowerLog(r, &reading), 1);
            EXPECT_NEAR(reading, dbm, 0.02);
        }
    }
}

TEST(Acquisition, RawVoltsAndImmediateRead) {
    MeasuringSensor sensor;
    sensor.start();
    const double dbm = sensor.settled_dbm(-10); // range 0
    SensorRecord *r = sensor.record();
    double volts = 0;
    ASSERT_EQ(SensorVolts(r, &volts), 1);
    EXPECT_NEAR(SensorAdcRawVolts(r, 1), volts, volts * 1e-4);
    double z2 = 0, z1 = 0, z0 = 0;
    SensorZeroRangeValues(r, &z2, &z1, &z0);
    EXPECT_NEAR(SensorAdcRawVolts(r, 0), volts + 2 * z0, volts * 1e-4); // doubled in range 0

    // The reader parked: no new average comes, so a plain read gives the last one rather than
    // waiting for it; an immediate linear read answers at once.
    ASSERT_EQ(SensorComms(r, 0), 1);
    double plain_watts = 0;
    auto plain = std::async(std::launch::async, [&] { return SensorPowerLin(r, &plain_watts); });
    ASSERT_EQ(plain.wait_for(1s), std::future_status::ready);
    EXPECT_EQ(plain.get(), 1);
    EXPECT_NEAR(10 * std::log10(plain_watts * 1000), dbm, 0.01);
    double watts = 0;
    ASSERT_EQ(SensorPowerImmediate(r), 1);
    auto immediate = std::async(std::launch::async, [&] { return SensorPowerLin(r, &watts); });
    ASSERT_EQ(immediate.wait_for(1s), std::future_status::ready);
    EXPECT_EQ(immediate.get(), 1);
    EXPECT_NEAR(10 * std::log10(watts * 1000), dbm, 0.01);
    ASSERT_EQ(SensorComms(r, 1), 1);
}

// Calls that wait on the reader thread return 0 soon after the sensor is unplugged.
TEST(Unplugging, BlockedCallsReturnZeroPromptly) {
    const struct {
        const char *name;
        std::function<int32_t(SensorRecord *)> call;
    } calls[] = {
        {"SensorPowerLog",
         [](SensorRecord *r) {
             double v;
             return SensorPowerLog(r, &v);
         }},
        {"SensorPowerLin",
         [](SensorRecord *r) {
             double v;
             return SensorPowerLin(r, &v);
         }},
        {"SensorVolts",
         [](SensorRecord *r) {
             double v;
             return SensorVolts(r, &v);
         }},
        {"SensorTrigger", [](SensorRecord *r) { return SensorTrigger(r); }},
        {"SensorTemperature",
         [](SensorRecord *r) {
             double v;
             return SensorTemperature(r, &v);
         }},
        {"SensorRelativeSet", [](SensorRecord *r) { return SensorRelativeSet(r); }},
    };
    for (const auto &c : calls) {
        SCOPED_TRACE(c.name);
        // Realistic timing with the slowest filter: each conversion takes 240 ms, so the calls
        // are blocked when the sensor goes.
        MeasuringSensor sensor("timing = realistic");
        ASSERT_EQ(SensorInit(sensor.record()), 1);
        SensorRecord *r = sensor.record();
        SensorRelativeState(r, 1);
        ASSERT_EQ(SensorFilterSettingsUpdate(r, 5, 14), 1);
        ASSERT_EQ(SensorFilterSize(r, 2, 1000), 1);
        std::atomic<bool> returned{false};
        auto blocked = std::async(std::launch::async, [&] {
            int32_t result = 1;
            for (int i = 0; i < 50 && result != 0; ++i) result = c.call(r);
            returned = true;
            return result;
        });
        std::this_thread::sleep_for(300ms);
        set_key(0, "plugged", "0");
        const auto unplugged = std::chrono::steady_clock::now();
        ASSERT_EQ(blocked.wait_for(2s), std::future_status::ready);
        EXPECT_LT(std::chrono::steady_clock::now() - unplugged, 1s);
        EXPECT_EQ(blocked.get(), 0);
        double v = 0;
        EXPECT_EQ(SensorPowerLog(r, &v), 0);
    }
}

} // namespace
