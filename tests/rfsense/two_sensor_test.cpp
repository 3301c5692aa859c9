// Two-sensor arithmetic with two simulated sensors, each on its own record with its own events.
#include "rfsense/measuring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using namespace rfsense_test;

using TwoSensorExport = int32_t (*)(SensorRecord *, SensorRecord *, double *);

class TwoSensors : public testing::Test {
  protected:
    void SetUp() override {
        a.start(0);
        ASSERT_EQ(SensorInit(b.get()), 1); // the second sensor on the bus
        set_key(1, "power_dbm", "off");
        ASSERT_EQ(SensorZero(b.get()), 1);
        set_key(0, "power_dbm", "-10");
        set_key(1, "power_dbm", "-20");
        settle();
    }
    void settle() {
        ASSERT_EQ(SensorTrigger(a.record()), 1);
        ASSERT_EQ(SensorTrigger(a.record()), 1);
        ASSERT_EQ(SensorTrigger(b.get()), 1);
        ASSERT_EQ(SensorTrigger(b.get()), 1);
    }
    MeasuringSensor a{std::vector<std::string>{"", ""}};
    Session b;
};

TEST_F(TwoSensors, DifferencesAndRatios) {
    const struct {
        const char *name;
        TwoSensorExport call;
        double expected;
        double tolerance;
    } cases[] = {
        {"Log A-B", SensorPowerLog_AminusB, 10 * std::log10(0.1 - 0.01), 0.02},
        {"Log A/B", SensorPowerLog_AoverB, 10, 0.02},
        {"Log B/A", SensorPowerLog_BoverA, -10, 0.02},
        {"Lin A-B", SensorPowerLin_AminusB, (0.1 - 0.01) * 0.001, 1e-6},
        {"Lin B-A", SensorPowerLin_BminusA, (0.01 - 0.1) * 0.001, 1e-6},
        {"Lin A/B", SensorPowerLin_AoverB, 10, 0.05},
        {"Lin B/A", SensorPowerLin_BoverA, 0.1, 0.0005},
    };
    for (const auto &c : cases) {
        double value = 0;
        EXPECT_EQ(c.call(a.record(), b.get(), &value), 1) << c.name;
        EXPECT_NEAR(value, c.expected, c.tolerance) << c.name;
    }
    // With B the stronger sensor, A - B is no power and has no finite logarithm.
    double value = 0;
    EXPECT_EQ(SensorPowerLog_AminusB(b.get(), a.record(), &value), 1);
    EXPECT_FALSE(std::isfinite(value));
    EXPECT_EQ(SensorPowerLog_BminusA(a.record(), b.get(), &value), 1);
    EXPECT_FALSE(std::isfinite(value));
}

TEST_F(TwoSensors, OverRangeAndNotConnectedCodes) {
    set_key(0, "power_dbm", "22");
    settle();
    double value = 0;
    EXPECT_EQ(SensorPowerLog_AoverB(a.record(), b.get(), &value), SENSOR_A_OVER_RANGE);
    set_key(0, "power_dbm", "-10");
    set_key(1, "power_dbm", "22");
    settle();
    EXPECT_EQ(SensorPowerLin_AoverB(a.record(), b.get(), &value), SENSOR_B_OVER_RANGE);

    value = 123;
    SensorForceDisconnect(b.get());
    EXPECT_EQ(SensorPowerLog_AminusB(a.record(), b.get(), &value), SENSOR_B_NOT_CONNECTED);
    EXPECT_EQ(SensorPowerLin_BoverA(a.record(), b.get(), &value), SENSOR_B_NOT_CONNECTED);
    SensorForceDisconnect(a.record());
    EXPECT_EQ(SensorPowerLog_AminusB(a.record(), b.get(), &value), SENSOR_A_NOT_CONNECTED);
    EXPECT_EQ(SensorPowerLin_AminusB(a.record(), nullptr, &value), SENSOR_A_NOT_CONNECTED);
    EXPECT_EQ(value, 123);
}

} // namespace
