// Without a sensor every acquisition, power and two-sensor export answers 0 (two-sensor: 15) and
// leaves its outputs alone: on a fresh record, after a forced disconnect and after unplugging.
#include "rfsense/measuring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace rfsense_test;

void expect_quiet_answers(SensorRecord *r, const std::string &state) {
    SCOPED_TRACE(state);
    unsigned char out[512];
    std::memset(out, 0x5A, sizeof out);
    auto *d = reinterpret_cast<double *>(out);
    auto *i = reinterpret_cast<int32_t *>(out + 256);
    auto *text = reinterpret_cast<char *>(out + 384);
    ZeroTickState tick{};
    SensorSettingsRecord *settings = reinterpret_cast<SensorSettingsRecord *>(out);
    const struct {
        const char *name;
        std::function<int32_t()> call;
    } cases[] = {
        {"SensorZero", [&] { return SensorZero(r); }},
        {"SensorZeroTick", [&] { return SensorZeroTick(r, &tick); }},
        {"SensorZeroRangeValues", [&] { return SensorZeroRangeValues(r, d, d + 1, d + 2); }},
        {"SensorRangeHold", [&] { return SensorRangeHold(r, 1); }},
        {"SensorRangeAuto", [&] { return SensorRangeAuto(r); }},
        {"SensorFilterSize", [&] { return SensorFilterSize(r, 0, 10); }},
        {"SensorFilterSettingsQuery", [&] { return SensorFilterSettingsQuery(r, i); }},
        {"SensorFilterSettingsUpdate", [&] { return SensorFilterSettingsUpdate(r, 6, 10); }},
        {"SensorFilterQuery", [&] { return SensorFilterQuery(r, i); }},
        {"SensorStepDetectState", [&] { return SensorStepDetectState(r, 1); }},
        {"DisplayUpdateRate", [&] { return DisplayUpdateRate(r); }},
        {"SensorTrigger", [&] { return SensorTrigger(r); }},
        {"SensorTriggerState", [&] { return SensorTriggerState(r, 1); }},
        {"SensorTriggerLevel", [&] { return SensorTriggerLevel(r, 5); }},
        {"SensorTriggerQuery", [&] { return SensorTriggerQuery(r, d); }},
        {"SensorVolts", [&] { return SensorVolts(r, d); }},
        {"SensorAdcRawVolts", [&] { return static_cast<int32_t>(SensorAdcRawVolts(r, 1) != 0); }},
        {"SensorPowerImmediate", [&] { return SensorPowerImmediate(r); }},
        {"SensorTemperature", [&] { return SensorTemperature(r, d); }},
        {"SensorTemperatureBoth", [&] { return SensorTemperatureBoth(r, d, d + 1); }},
        {"SensorTempCompConfig", [&] { return SensorTempCompConfig(r, 5, 0); }},
        {"SensorPowerLog", [&] { return SensorPowerLog(r, d); }},
        {"SensorPowerLin", [&] { return SensorPowerLin(r, d); }},
        {"SensorPowerLogStr", [&] { return SensorPowerLogStr(r, text); }},
        {"SensorPowerLinStr", [&] { return SensorPowerLinStr(r, text); }},
        {"SensorStrResolution", [&] { return SensorStrResolution(r, 2); }},
        {"SensorOffset", [&] { return SensorOffset(r, 1); }},
        {"SensorOffsetState", [&] { return SensorOffsetState(r, 1); }},
        {"SensorDutyCycle", [&] { return SensorDutyCycle(r, 50); }},
        {"SensorDutyCycleState", [&] { return SensorDutyCycleState(r, 1); }},
        {"SensorRelativeSet", [&] { return SensorRelativeSet(r); }},
        {"SensorRelativeState", [&] { return SensorRelativeState(r, 1); }},
        {"SensorRelativeLevelQuery", [&] { return SensorRelativeLevelQuery(r, d, d + 1); }},
        {"SensorRelativeManualSet", [&] { return SensorRelativeManualSet(r, 1, 2); }},
        {"SensorFrequency", [&] { return SensorFrequency(r, 1e9); }},
        {"SensorCalFactor", [&] { return SensorCalFactor(r, 90); }},
        {"SensorCfQuery", [&] { return SensorCfQuery(r, d); }},
        {"SensorFreqCfTableQuery", [&] { return SensorFreqCfTableQuery(r, i, d, d + 10); }},
        {"SensorTableUpdate", [&] { return SensorTableUpdate(r, 1, 0.9); }},
        {"SensorSettings", [&] { return SensorSettings(r, settings); }},
        {"SensorVoltsToPower", [&] { return SensorVoltsToPower(r, 0.1, d); }},
        {"SensorTempComp", [&] { return SensorTempComp(r, 1); }},
        {"SensorTempCompGetPrams", [&] { return SensorTempCompGetPrams(r, d); }},
        {"SensorLinCor", [&] { return SensorLinCor(r, 1); }},
        {"SensorLinCorGetPrams", [&] { return SensorLinCorGetPrams(r, d); }},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.call(), 0) << c.name;
        for (unsigned char byte : out) ASSERT_EQ(byte, 0x5A) << c.name << " wrote an output";
    }
    EXPECT_EQ(tick.step, 0);
    using TwoSensorExport = int32_t (*)(SensorRecord *, SensorRecord *, double *);
    for (TwoSensorExport call :
         {SensorPowerLog_AminusB, SensorPowerLog_BminusA, SensorPowerLog_AoverB,
          SensorPowerLog_BoverA, SensorPowerLin_AminusB, SensorPowerLin_BminusA,
          SensorPowerLin_AoverB, SensorPowerLin_BoverA}) {
        EXPECT_EQ(call(r, r, d), SENSOR_A_NOT_CONNECTED);
        for (unsigned char byte : out) ASSERT_EQ(byte, 0x5A);
    }
}

TEST(NotConnected, FreshRecord) {
    Session session;
    expect_quiet_answers(session.get(), "fresh record");
}

TEST(NotConnected, ForcedDisconnect) {
    MeasuringSensor sensor;
    sensor.start();
    SensorForceDisconnect(sensor.record());
    expect_quiet_answers(sensor.record(), "forced disconnect");
}

TEST(NotConnected, Unplugged) {
    MeasuringSensor sensor;
    sensor.start();
    set_key(0, "plugged", "0");
    double v = 0;
    EXPECT_TRUE(eventually([&] { return SensorPowerLog(sensor.record(), &v) == 0; }));
    expect_quiet_answers(sensor.record(), "unplugged");
}

} // namespace
