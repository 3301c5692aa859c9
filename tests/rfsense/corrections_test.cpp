// Power exports and corrections against the simulated sensor: offset, duty cycle, relative mode
// and its texts, frequency and cal factor, temperature compensation and linearity switches, and
// the settings record.
#include "rfsense/measuring.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace {

using namespace rfsense_test;

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

class Corrections : public testing::Test {
  protected:
    void SetUp() override {
        sensor.start();
        sensor.temperature(25);
    }
    SensorRecord *r() const { return sensor.record(); }
    MeasuringSensor sensor{"description = USB Power Sensor RX4LO"};
};

TEST_F(Corrections, OffsetRangeAndEffect) {
    const struct {
        double db;
        int32_t result;
    } cases[] = {{-50.1, 8}, {100.1, 8}, {nan_value, 8}, {-50, 1}, {100, 1}, {12.5, 1}};
    for (const auto &c : cases) EXPECT_EQ(SensorOffset(r(), c.db), c.result) << c.db;
    const double plain = sensor.settled_dbm(-10);
    ASSERT_EQ(SensorOffsetState(r(), 1), 1);
    EXPECT_NEAR(sensor.read_settled(), plain + 12.5, 1e-6);
}

TEST_F(Corrections, DutyCycleRangeAndEffect) {
    const struct {
        double percent;
        int32_t result;
    } cases[] = {{-1, 9}, {0, 9}, {100.5, 9}, {nan_value, 9}, {100, 1}, {0.1, 1}, {50, 1}};
    for (const auto &c : cases) EXPECT_EQ(SensorDutyCycle(r(), c.percent), c.result) << c.percent;
    // In the square-law region a 50 % duty cycle adds 3 dB.
    const double plain = sensor.settled_dbm(-40);
    ASSERT_EQ(SensorDutyCycleState(r(), 1), 1);
    EXPECT_NEAR(sensor.read_settled(), plain + 10 * std::log10(2.0), 1e-6);
}

TEST_F(Corrections, RelativeModeTextsAndReference) {
    EXPECT_EQ(SensorRelativeSet(r()), SENSOR_RELATIVE_OFF);
    const double level = sensor.settled_dbm(-7);
    ASSERT_EQ(SensorRelativeState(r(), 1), 1);
    for (int again = 0; again < 2; ++again) { // setting it twice still reads 0 dB
        ASSERT_EQ(SensorRelativeSet(r()), 1);
        char text[21] = {};
        ASSERT_EQ(SensorPowerLogStr(r(), text), 1);
        EXPECT_STREQ(text, "0.000dB");
        ASSERT_EQ(SensorPowerLinStr(r(), text), 1);
        EXPECT_STREQ(text, "100.000%");
    }
    double dbm = 0, mw = 0;
    ASSERT_EQ(SensorRelativeLevelQuery(r(), &dbm, &mw), 1);
    EXPECT_NEAR(dbm, level, 1e-9);
    EXPECT_NEAR(mw, std::pow(10, level / 10), 1e-12);
    // 3 dB up from the reference.
    sensor.settled_dbm(-4);
    double watts = 0;
    ASSERT_EQ(SensorPowerLin(r(), &watts), 1);
    EXPECT_NEAR(watts, 199.526 * 0.001, 0.002); // percent x 0.001
    ASSERT_EQ(SensorRelativeManualSet(r(), -10, 0.1), 1);
    EXPECT_NEAR(sensor.read_settled(), 6, 0.02);
}

TEST_F(Corrections, TextResolutionAndUnits) {
    EXPECT_EQ(SensorStrResolution(r(), 4), SENSOR_RESOLUTION_OUT_OF_RANGE);
    EXPECT_EQ(SensorStrResolution(r(), -1), SENSOR_RESOLUTION_OUT_OF_RANGE);
    ASSERT_EQ(SensorStrResolution(r(), 1), 1);
    const struct {
        double dbm;
        const char *unit;
    } cases[] = {{-45, "nW"}, {-20, "uW"}, {0, "mW"}, {15, "mW"}};
    for (const auto &c : cases) {
        sensor.settled_dbm(c.dbm);
        char text[21] = {};
        ASSERT_EQ(SensorPowerLinStr(r(), text), 1);
        const std::string s = text;
        EXPECT_EQ(s.substr(s.size() - 2), c.unit) << s;
        EXPECT_EQ(s.find('.'), s.size() - 4) << s; // one decimal
        ASSERT_EQ(SensorPowerLogStr(r(), text), 1);
        EXPECT_EQ(std::string(text).substr(std::string(text).size() - 3), "dBm");
    }
}

TEST_F(Corrections, FrequencyAndCalFactor) {
    EXPECT_EQ(SensorFrequency(r(), 26.6e9), SENSOR_FREQUENCY_OUT_OF_RANGE);
    EXPECT_EQ(SensorFrequency(r(), 9e6), SENSOR_FREQUENCY_OUT_OF_RANGE);
    EXPECT_EQ(SensorFrequency(r(), nan_value), SENSOR_FREQUENCY_OUT_OF_RANGE);
    SensorSettingsRecord s{};
    ASSERT_EQ(SensorSettings(r(), &s), 1);
    EXPECT_EQ(s.frequency, 50e6);

    EXPECT_EQ(SensorCalFactor(r(), 49.9), SENSOR_CAL_FACTOR_OUT_OF_RANGE);
    EXPECT_EQ(SensorCalFactor(r(), 150.1), SENSOR_CAL_FACTOR_OUT_OF_RANGE);
    const double plain = sensor.settled_dbm(-10);
    double cf = 0;
    ASSERT_EQ(SensorCfQuery(r(), &cf), 1);
    ASSERT_EQ(SensorCalFactor(r(), 80), 1);
    ASSERT_EQ(SensorCfQuery(r(), &cf), 1);
    EXPECT_DOUBLE_EQ(cf, 0.8);
    double with_factor = 0;
    ASSERT_GE(SensorPowerLog(r(), &with_factor), 1);
    double table_cf = 0;
    ASSERT_EQ(SensorFrequency(r(), 50e6), 1); // back to the table
    ASSERT_EQ(SensorCfQuery(r(), &table_cf), 1);
    EXPECT_NEAR(with_factor, plain + 10 * std::log10(table_cf / 0.8), 1e-6);

    // The table and its updates.
    int32_t count = 0;
    std::array<double, 46> f{}, k{};
    ASSERT_EQ(SensorFreqCfTableQuery(r(), &count, f.data(), k.data()), 1);
    EXPECT_EQ(count, 30);
    EXPECT_EQ(f[5], 2e9);
    EXPECT_EQ(SensorTableUpdate(r(), 46, 0.9), SENSOR_RANGE_OUT_OF_RANGE);
    EXPECT_EQ(SensorTableUpdate(r(), -1, 0.9), SENSOR_RANGE_OUT_OF_RANGE);
    ASSERT_EQ(SensorTableUpdate(r(), 5, 0.9), 1);
    ASSERT_EQ(SensorFrequency(r(), 2e9), 1);
    ASSERT_EQ(SensorCfQuery(r(), &cf), 1);
    EXPECT_DOUBLE_EQ(cf, 0.9);
    ASSERT_EQ(SensorSettings(r(), &s), 1);
    EXPECT_EQ(s.frequency, 2e9);
    EXPECT_DOUBLE_EQ(s.cal_factor, 90);
}

TEST_F(Corrections, SettingsRecordMirrorsTheSettings) {
    SensorOffset(r(), 3.5);
    SensorOffsetState(r(), 1);
    SensorDutyCycle(r(), 25);
    SensorRelativeState(r(), 1);
    SensorRelativeManualSet(r(), -3, 0.5);
    SensorSettingsRecord s{};
    ASSERT_EQ(SensorSettings(r(), &s), 1);
    EXPECT_EQ(s.offset, 3.5);
    EXPECT_EQ(s.offset_on, 1);
    EXPECT_EQ(s.duty_cycle, 25);
    EXPECT_EQ(s.duty_on, 0);
    EXPECT_EQ(s.relative_dbm, -3);
    EXPECT_EQ(s.relative_mw, 0.5);
    EXPECT_EQ(s.relative_on, 1);
    EXPECT_EQ(s.zeroed, 1);
}

TEST_F(Corrections, TemperatureCompensationSwitchAndWorkingSet) {
    sensor.temperature(37);
    EXPECT_NEAR(sensor.settled_dbm(0), 0, 0.02);
    std::array<double, 9> w{};
    ASSERT_EQ(SensorTempCompGetPrams(r(), w.data()), 1);
    EXPECT_EQ(w[3], 30); // 10-column table: 30..40 'C
    EXPECT_EQ(w[2], 40);
    EXPECT_LE(w[1], 0);
    EXPECT_EQ(w[0], w[1] + 1);
    ASSERT_EQ(SensorTempComp(r(), 0), 1);
    EXPECT_NEAR(sensor.read_settled(), w[8], 0.02); // the correction is no longer taken off
    ASSERT_EQ(SensorTempComp(r(), 1), 1);
    EXPECT_NEAR(sensor.read_settled(), 0, 0.02);
}

TEST_F(Corrections, LinearityAppliesAboveTwelveGigahertzOnly) {
    std::array<double, 9> w{};
    w.fill(7);
    ASSERT_EQ(SensorLinCorGetPrams(r(), w.data()), 1);
    EXPECT_EQ(w, (std::array<double, 9>{})); // not applicable at 50 MHz
    set_key(0, "frequency_hz", "20.5e9");
    ASSERT_EQ(SensorFrequency(r(), 20.5e9), 1);
    EXPECT_NEAR(sensor.settled_dbm(-2), -2, 0.02);
    ASSERT_EQ(SensorLinCorGetPrams(r(), w.data()), 1);
    EXPECT_NEAR(w[3], 20.01, 1e-9);
    EXPECT_NEAR(w[2], 21.01, 1e-9);
    EXPECT_EQ(w[1], -5);
    EXPECT_EQ(w[0], 0);
    ASSERT_EQ(SensorLinCor(r(), 0), 1);
    EXPECT_NEAR(sensor.read_settled(), -2 + w[8], 0.02);
}

TEST(LinearityTable, AbsentTableRefusesTheLinearityExports) {
    MeasuringSensor sensor("lin = absent");
    sensor.start();
    std::array<double, 9> w{};
    EXPECT_EQ(SensorLinCor(sensor.record(), 1), SENSOR_NO_LINEARITY_TABLE);
    EXPECT_EQ(SensorLinCorGetPrams(sensor.record(), w.data()), SENSOR_NO_LINEARITY_TABLE);
}

TEST(Frequency, ModelRangesAndTableCounts) {
    const struct {
        const char *description;
        double low_hz, high_hz;
        int32_t points;
    } cases[] = {
        {"USB Power Sensor RX1", 9e3, 8e9, 22},
        {"USB Power Sensor RX2LOKAN", 10e6, 12.4e9, 16},
        {"USB Power Sensor RX3LOKAN", 10e6, 18.5e9, 22},
        {"USB Power Sensor RX4LO", 10e6, 26.5e9, 30},
        {"USB Power Sensor RX5L", 10e6, 40e9, 44},
        {"USB Power Sensor RX6", 74.9e9, 110.1e9, 22},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        MeasuringSensor sensor(std::string("description = ") + c.description);
        ASSERT_EQ(SensorInit(sensor.record()), 1);
        SensorRecord *r = sensor.record();
        EXPECT_EQ(SensorFrequency(r, c.low_hz * 0.999), SENSOR_FREQUENCY_OUT_OF_RANGE);
        EXPECT_EQ(SensorFrequency(r, c.high_hz * 1.001), SENSOR_FREQUENCY_OUT_OF_RANGE);
        EXPECT_EQ(SensorFrequency(r, c.low_hz), 1);
        EXPECT_EQ(SensorFrequency(r, c.high_hz), 1);
        int32_t count = 0;
        std::array<double, 46> f{}, k{};
        ASSERT_EQ(SensorFreqCfTableQuery(r, &count, f.data(), k.data()), 1);
        EXPECT_EQ(count, c.points);
    }
}

TEST(Frequency, EightAndAHalfGigahertzIsRefusedOnModelZero) {
    MeasuringSensor sensor("description = USB Power Sensor RX1");
    ASSERT_EQ(SensorInit(sensor.record()), 1);
    ASSERT_EQ(SensorFrequency(sensor.record(), 3e9), 1);
    EXPECT_EQ(SensorFrequency(sensor.record(), 8.5e9), SENSOR_FREQUENCY_OUT_OF_RANGE);
    SensorSettingsRecord s{};
    ASSERT_EQ(SensorSettings(sensor.record(), &s), 1);
    EXPECT_EQ(s.frequency, 3e9);
}

TEST(Frequency, ModelFiveCalFactorIsOne) {
    MeasuringSensor sensor("description = USB Power Sensor RX6");
    sensor.start();
    double cf = 0;
    ASSERT_EQ(SensorCfQuery(sensor.record(), &cf), 1);
    EXPECT_EQ(cf, 1.0);
}

} // namespace
