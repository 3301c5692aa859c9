// Applied power comes back: the simulator turns a level into the detector voltage through the
// sensor's own stored calibration, and the library's conversion must undo it for every model,
// at several frequencies and temperatures, in every range and across range changes.
#include "rfsense/measuring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace rfsense_test;

struct ModelCase {
    const char *description;
    std::vector<double> frequencies_hz;
};

const ModelCase model_cases[] = {
    {"USB Power Sensor RX1", {9e3, 50e6, 2.5e9, 8e9}},
    {"USB Power Sensor RX2LOKAN", {10e6, 5.5e9, 12.4e9}},
    {"USB Power Sensor RX3LOKAN", {50e6, 17.3e9}},
    {"USB Power Sensor RX4LO", {50e6, 13.4e9, 26.5e9}}, // linearity applies above 11.99 GHz
    {"USB Power Sensor RX5L", {1e9, 33.3e9, 40e9}},
    {"USB Power Sensor RX6", {75e9, 95e9, 110e9}},
};

// Allowed error (dB) at a level: 0.02 dB down to -40 dBm, 0.1 dB down to -50 dBm (a few ADC
// counts are a larger share of the smallest voltages).
double tolerance(double dbm) {
    return dbm >= -40 ? 0.02 : 0.1;
}

class PowerAccuracy : public testing::TestWithParam<ModelCase> {};

TEST_P(PowerAccuracy, AppliedPowerReadsBackAtEveryFrequencyAndLevel) {
    const ModelCase &c = GetParam();
    MeasuringSensor sensor(std::string("description = ") + c.description);
    sensor.start();
    sensor.temperature(25);
    for (double hz : c.frequencies_hz) {
        set_key(0, "frequency_hz", std::to_string(hz));
        ASSERT_EQ(SensorFrequency(sensor.record(), hz), 1) << hz;
        // Down through every range, then up again.
        for (double dbm :
             {20.0, 10.0, 0.0, -10.0, -20.0, -30.0, -40.0, -50.0, -35.0, -15.0, 5.0, -45.0, 15.0}) {
            EXPECT_NEAR(sensor.settled_dbm(dbm), dbm, tolerance(dbm))
                << c.description << " at " << hz << " Hz";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, PowerAccuracy, testing::ValuesIn(model_cases),
                         [](const testing::TestParamInfo<ModelCase> &param) {
                             return std::string(param.param.description + 17);
                         });

// Temperature compensation at temperatures away from 25 'C, in both table forms and across the
// square-law region.
struct TemperatureCase {
    const char *keys;
    double celsius;
};

class TemperatureAccuracy : public testing::TestWithParam<TemperatureCase> {};

TEST_P(TemperatureAccuracy, CompensatedReadingMatchesTheAppliedPower) {
    MeasuringSensor sensor(GetParam().keys);
    sensor.start();
    sensor.temperature(GetParam().celsius);
    for (double dbm : {-45.0, -28.0, -20.0, 0.0, 18.0})
        EXPECT_NEAR(sensor.settled_dbm(dbm), dbm, tolerance(dbm)) << GetParam().celsius << " 'C";
}

const TemperatureCase temperature_cases[] = {
    {"tcd = 10", -12}, {"tcd = 10", 5}, {"tcd = 10", 37}, {"tcd = 10", 58},
    {"tcd = 7", -3},   {"tcd = 7", 33}, {"tcd = 7", 55},
};

INSTANTIATE_TEST_SUITE_P(Forms, TemperatureAccuracy, testing::ValuesIn(temperature_cases));

TEST(PowerAccuracy, ReadingFollowsTheTemperatureOnlyAfterATemperatureRead) {
    MeasuringSensor sensor;
    sensor.start();
    sensor.temperature(25);
    SensorTempCompConfig(sensor.record(), 60, 0); // no tick read during the test
    const double at_25 = sensor.settled_dbm(0);
    set_key(0, "temperature_c", "45");
    // The library still compensates for 25 'C: the reading is off by the table's correction.
    const double stale = sensor.read_settled();
    EXPECT_GT(std::fabs(stale - at_25), 0.02);
    double t = 0;
    ASSERT_EQ(SensorTemperature(sensor.record(), &t), 1);
    EXPECT_NEAR(sensor.read_settled(), 0.0, 0.02);
}

TEST(PowerAccuracy, LinearAndVoltageReadingsAgreeWithTheLogReading) {
    MeasuringSensor sensor;
    sensor.start();
    sensor.temperature(25);
    const double dbm = sensor.settled_dbm(3);
    double watts = 0;
    ASSERT_EQ(SensorPowerLin(sensor.record(), &watts), 1);
    EXPECT_NEAR(10 * std::log10(watts * 1000), dbm, 1e-3);
    double volts = 0;
    ASSERT_EQ(SensorVolts(sensor.record(), &volts), 1);
    double from_volts = 0;
    ASSERT_EQ(SensorVoltsToPower(sensor.record(), volts, &from_volts), 1);
    double cf = 0;
    SensorCfQuery(sensor.record(), &cf);
    EXPECT_NEAR(from_volts - 10 * std::log10(cf), dbm, 1e-3);
}

} // namespace
