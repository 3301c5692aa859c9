// Calls that wait on the reader thread while it is parked (a caller's pause, trigger mode, a
// zero step by step left unfinished) return within a time budget, and so do they when the
// sensor is unplugged meanwhile. Every wait on the reader is bounded.
#include "rfsense/measuring.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace rfsense_test;
using namespace std::chrono_literals;

// Generous against a loaded machine, far below a hang.
constexpr auto budget = 5s;

// Runs `call` on another thread; its result, or nothing when it did not return within budget.
// A call still waiting then is freed by unplugging the sensor before the test goes on.
std::optional<int32_t> within_budget(const std::function<int32_t()> &call) {
    auto running = std::async(std::launch::async, call);
    if (running.wait_for(budget) == std::future_status::ready) return running.get();
    rfsim_set(0, "plugged", "0");
    running.wait();
    return std::nullopt;
}

int32_t zero_by_ticks(SensorRecord *record) {
    ZeroTickState state{};
    int32_t result = SENSOR_ZERO_IN_PROGRESS;
    for (int calls = 0; calls < 1000 && result == SENSOR_ZERO_IN_PROGRESS; ++calls)
        result = SensorZeroTick(record, &state);
    return result;
}

// Leaves a zero step by step unfinished: the reader stays parked in its handshake.
void abandon_a_tick_zero(SensorRecord *record) {
    ZeroTickState state{};
    for (int i = 0; i < 10; ++i) ASSERT_EQ(SensorZeroTick(record, &state), 17);
}

struct ParkedCase {
    const char *name;
    std::function<void(SensorRecord *)> park;
    std::function<void(SensorRecord *)> release;
};

const ParkedCase parked_cases[] = {
    {"trigger mode", [](SensorRecord *r) { ASSERT_EQ(SensorTriggerState(r, 1), 1); },
     [](SensorRecord *r) { ASSERT_EQ(SensorTriggerState(r, 0), 1); }},
    {"caller's pause", [](SensorRecord *r) { ASSERT_EQ(SensorComms(r, 0), 1); },
     [](SensorRecord *r) { ASSERT_EQ(SensorComms(r, 1), 1); }},
    {"abandoned tick zero", abandon_a_tick_zero,
     [](SensorRecord *r) { ASSERT_EQ(zero_by_ticks(r), 1); }},
};

struct WaitingCall {
    const char *name;
    std::function<int32_t(SensorRecord *)> call;
};

const WaitingCall waiting_calls[] = {
    {"SensorZeroTick", zero_by_ticks},
    {"SensorZero", SensorZero},
    {"SensorZero, compensation off",
     [](SensorRecord *r) {
         SensorTempComp(r, 0);
         const int32_t result = SensorZero(r);
         SensorTempComp(r, 1);
         return result;
     }},
    {"SensorFilterSize", [](SensorRecord *r) { return SensorFilterSize(r, 0, 40); }},
    {"SensorComms",
     [](SensorRecord *r) {
         const int32_t paused = SensorComms(r, 0);
         return paused == 1 ? SensorComms(r, 1) : paused;
     }},
    {"SensorTemperature",
     [](SensorRecord *r) {
         double t = 0;
         return SensorTemperature(r, &t);
     }},
    {"SensorTemperatureBoth",
     [](SensorRecord *r) {
         double t1 = 0, t3 = 0;
         return SensorTemperatureBoth(r, &t1, &t3);
     }},
    {"SensorPowerLog",
     [](SensorRecord *r) {
         double dbm = 0;
         return SensorPowerLog(r, &dbm);
     }},
    {"SensorVolts",
     [](SensorRecord *r) {
         double v = 0;
         return SensorVolts(r, &v);
     }},
    {"SensorTrigger", SensorTrigger},
};

// Away from 25 'C, so that a temperature read that never happened would show.
constexpr const char *warm = "temperature_c = 40";

TEST(ParkedReader, CallsThatWaitOnTheReaderReturnAndTheReaderRunsAgain) {
    for (const auto &parked : parked_cases) {
        for (const auto &waiting : waiting_calls) {
            SCOPED_TRACE(testing::Message() << waiting.name << " with " << parked.name);
            MeasuringSensor sensor(warm);
            ASSERT_EQ(SensorInit(sensor.record()), 1);
            SensorRecord *r = sensor.record();
            set_key(0, "power_dbm", "off");
            parked.park(r);
            const auto result = within_budget([&] { return waiting.call(r); });
            ASSERT_TRUE(result.has_value()) << "still waiting after the budget";
            EXPECT_EQ(*result, 1);
            double t = 0;
            ASSERT_EQ(SensorTemperature(r, &t), 1);
            EXPECT_NEAR(t, 40, 0.3);
            parked.release(r);
            // The reader measures again: a new level arrives in the readings.
            set_key(0, "power_dbm", "-30");
            EXPECT_TRUE(within_budget([&] { return SensorTrigger(r); }).value_or(0) == 1);
            double dbm = 0;
            ASSERT_EQ(SensorPowerLog(r, &dbm), 1);
            EXPECT_NEAR(dbm, -30, 0.5);
        }
    }
}

TEST(ParkedReader, TemperatureIsReadDirectlyFromAParkedReader) {
    MeasuringSensor sensor;
    ASSERT_EQ(SensorInit(sensor.record()), 1);
    SensorRecord *r = sensor.record();
    ASSERT_EQ(SensorComms(r, 0), 1);
    set_key(0, "temperature_c", "12");
    set_key(0, "air_temperature_c", "33");
    double t1 = 0, t3 = 0;
    ASSERT_EQ(SensorTemperatureBoth(r, &t1, &t3), 1);
    EXPECT_NEAR(t1, 12, 0.3);
    EXPECT_NEAR(t3, 33, 0.3);
    ASSERT_EQ(SensorComms(r, 1), 1);
}

// Unplugged while the reader is parked: nothing else talks to the device, yet every waiting
// call ends with 0 and the session counts as lost.
TEST(ParkedReader, UnplugWhileParkedEndsEveryWait) {
    for (const auto &parked : parked_cases) {
        for (const auto &waiting : waiting_calls) {
            SCOPED_TRACE(testing::Message() << waiting.name << " with " << parked.name);
            MeasuringSensor sensor(warm);
            ASSERT_EQ(SensorInit(sensor.record()), 1);
            SensorRecord *r = sensor.record();
            parked.park(r);
            const auto result = within_budget([&] {
                int32_t last = 1;
                // Repeated, as the meter's measurement loop would, until the loss shows.
                const auto end = std::chrono::steady_clock::now() + 3s;
                for (int i = 0; last != 0 && std::chrono::steady_clock::now() < end; ++i) {
                    if (i == 2) set_key(0, "plugged", "0");
                    last = waiting.call(r);
                    std::this_thread::sleep_for(10ms);
                }
                return last;
            });
            ASSERT_TRUE(result.has_value()) << "still waiting after the budget";
            EXPECT_EQ(*result, 0);
            unsigned char over = 0;
            EXPECT_EQ(SensorConnected(r, &over), 0);
        }
    }
}

} // namespace
