// The sensor library end to end over libftdi1 on the emulated bridge: start-up with
// identification and calibration data, readings that equal the applied power, realistic timing,
// unplug during a reading and replug, two sessions on two sensors, and the libusb calls one
// SensorInit makes.
#include "usb/support/emulated_usb.h"

#include "rfsense/measuring.h"
#include "rfsense/rfsense.h"
#include "rfsense/sim_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using rfsense_test::DataFolder;
using rfsense_test::MeasuringSensor;
using rfsense_test::Session;
using usb_test::configure;
using usb_test::count_of;
using usb_test::requests;
using usb_test::set_key;
using usb_test::usb_get;

long position_of(const std::vector<std::string> &lines, const std::string &line) {
    const auto at = std::find(lines.begin(), lines.end(), line);
    return at == lines.end() ? -1 : long(at - lines.begin());
}

TEST(SensorOverUsb, InitIdentifiesTheSensorAndLoadsItsCalibrationData) {
    configure("[device]\nserial = RX222222\nidentity = USB SENSOR V4.7\n"
              "cal_factors = 1.0123 0.95\ndiode_serial = 4242\nk_factor = 321\n");
    DataFolder data;
    {
        Session session;
        ASSERT_EQ(session.init(), 1);
        char serial[20] = {};
        char model[28] = {};
        ASSERT_EQ(SensorDetails(session.get(), serial, model), 1);
        EXPECT_STREQ(serial, "RX222222");
        EXPECT_STREQ(model, "RX4LO (10MHz to 26.5GHz)");
        char identity[20] = {};
        ASSERT_EQ(SensorFW_Revision(session.get(), identity), 1);
        EXPECT_STREQ(identity, "USB SENSOR V4.7");
        int32_t diode = 0;
        int32_t k = 0;
        ASSERT_EQ(SensorDiodeSN_K(session.get(), &diode, &k), 1);
        EXPECT_EQ(diode, 4242);
        EXPECT_EQ(k, 321);
        int32_t points = 0;
        double frequencies[46] = {};
        double factors[46] = {};
        ASSERT_EQ(SensorFreqCfTableQuery(session.get(), &points, frequencies, factors), 1);
        EXPECT_DOUBLE_EQ(factors[0], static_cast<double>(1.0123f));
        EXPECT_NEAR(factors[1], 0.95, 1e-6);

        // At open: port reset and the 1 ms latency timer; then both queues purged.
        const auto sent = requests(0);
        const long latency = position_of(sent, "set_latency value=1 index=1");
        ASSERT_GE(latency, 0);
        EXPECT_LT(position_of(sent, "reset value=0 index=1"), latency);
        EXPECT_GT(position_of(sent, "reset value=1 index=1"), latency);
        EXPECT_GT(position_of(sent, "reset value=2 index=1"), latency);
        EXPECT_EQ(usb_get(0, "kernel_driver"), "detached");
        EXPECT_EQ(usb_get(0, "latency_ms"), "1");
    }
    // Closing the session hands the bridge back to the serial driver.
    EXPECT_EQ(usb_get(0, "kernel_driver"), "attached");
    EXPECT_EQ(usb_get(0, "open_handles"), "0");
}

TEST(SensorOverUsb, OneSensorInitUsesTheseLibusbCalls) {
    configure("[device]\n");
    DataFolder data;
    Session session;
    ASSERT_EQ(session.init(), 1);
    // Taken at once: the reader thread started by SensorInit goes on polling.
    const std::string calls = usb_get(-1, "calls");
    std::cout << "libusb calls of one SensorInit:\n" << calls;
    RecordProperty("libusb_calls", calls);
    const auto calls_of = [&](const std::string &name) {
        for (const std::string &line : usb_test::lines_of(calls))
            if (line.rfind(name + " ", 0) == 0) return std::stol(line.substr(name.size() + 1));
        return 0L;
    };
    EXPECT_EQ(calls_of("libusb_set_auto_detach_kernel_driver"), 1);
    EXPECT_EQ(calls_of("libusb_claim_interface"), 1);
    EXPECT_EQ(calls_of("libusb_release_interface"), 0);
    EXPECT_EQ(calls_of("libusb_open"), 2); // a plain open names a refusal, then libftdi1's
    EXPECT_EQ(calls_of("libusb_get_string_descriptor_ascii"), 2);
    EXPECT_GT(calls_of("libusb_control_transfer"), 4);
    EXPECT_GT(calls_of("libusb_bulk_transfer"), 10);
    EXPECT_EQ(calls_of("libusb_submit_transfer"), 0) << "the backend reads synchronously";
}

struct AccuracyCase {
    const char *description;
    double hz;
    double celsius;
    std::vector<double> levels;
};

void PrintTo(const AccuracyCase &c, std::ostream *out) {
    *out << c.description << " at " << c.hz << " Hz, " << c.celsius << " 'C";
}

class AccuracyOverUsb : public testing::TestWithParam<AccuracyCase> {
  protected:
    // MeasuringSensor configures the simulated bus itself; the emulation starts afresh too.
    void SetUp() override { rfsim_usb_clear(); }
};

// The same check as over the simulator's own link, on a few models, frequencies, temperatures
// and levels in every range.
TEST_P(AccuracyOverUsb, ReadingEqualsTheAppliedPower) {
    const AccuracyCase &c = GetParam();
    MeasuringSensor sensor(std::string("description = ") + c.description);
    sensor.start();
    sensor.temperature(c.celsius);
    set_key(0, "frequency_hz", std::to_string(c.hz));
    ASSERT_EQ(SensorFrequency(sensor.record(), c.hz), 1);
    for (double dbm : c.levels)
        EXPECT_NEAR(sensor.settled_dbm(dbm), dbm, dbm >= -40 ? 0.02 : 0.1) << dbm << " dBm";
    EXPECT_NE(usb_get(0, "kernel_driver"), "attached") << "measured over the USB bridge";
}

INSTANTIATE_TEST_SUITE_P(
    Table, AccuracyOverUsb,
    testing::Values(AccuracyCase{"USB Power Sensor RX4LO", 50e6, 25, {15, -5, -25, -45}},
                    AccuracyCase{"USB Power Sensor RX4LO", 18e9, 40, {0, -20, -38}},
                    AccuracyCase{"USB Power Sensor RX1", 2.5e9, 5, {10, -30}},
                    AccuracyCase{"USB Power Sensor RX6", 95e9, 25, {0, -30}}),
    [](const testing::TestParamInfo<AccuracyCase> &param_info) {
        return std::string(param_info.param.description + 17) + "_" +
               std::to_string(param_info.index);
    });

TEST(SensorOverUsb, ReadingsArriveInRealisticTiming) {
    configure("[device]\ntiming = realistic\nlatency_ms = 1\npower_dbm = -10\n");
    DataFolder data;
    Session session;
    ASSERT_EQ(session.init(), 1);
    double dbm = 0;
    for (int i = 0; i < 5; ++i) ASSERT_GE(SensorPowerLog(session.get(), &dbm), 1) << i;
    EXPECT_NEAR(dbm, -10, 0.05);
}

TEST(SensorOverUsb, UnplugDuringAReadingReturnsPromptlyAndReplugReconnects) {
    configure("[device]\ntiming = realistic\n");
    DataFolder data;
    Session session;
    ASSERT_EQ(session.init(), 1);
    double dbm = 0;
    ASSERT_GE(SensorPowerLog(session.get(), &dbm), 1);
    const std::string address = usb_get(0, "address");

    std::atomic<bool> ended{false};
    Clock::time_point ended_at{};
    std::thread reader([&] {
        double value = 0;
        while (SensorPowerLog(session.get(), &value) != 0) {
        }
        ended_at = Clock::now();
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto unplugged_at = Clock::now();
    set_key(0, "plugged", "0");
    reader.join();
    ASSERT_TRUE(ended);
    // Noticed from the failing transfer, well before the 3 s silence limit would end it.
    EXPECT_LT(ended_at - unplugged_at, std::chrono::seconds(2));
    EXPECT_FALSE(session.connected());
    double volts = 0;
    EXPECT_EQ(SensorVolts(session.get(), &volts), 0);

    EXPECT_EQ(session.init(), 0) << "nothing to find while it is out";
    set_key(0, "plugged", "1");
    ASSERT_EQ(session.init(), 1);
    EXPECT_NE(usb_get(0, "address"), address);
    EXPECT_GE(SensorPowerLog(session.get(), &dbm), 1);
}

TEST(SensorOverUsb, TwoSessionsFindTwoSensors) {
    configure("[device]\nserial = RX000001\n[device]\nserial = RX000002\n");
    DataFolder data;
    Session first;
    ASSERT_EQ(first.init(), 1);
    Session second;
    ASSERT_EQ(second.init(), 1); // the first sensor's bridge is claimed: the next one is taken
    char serial[20] = {};
    char model[28] = {};
    ASSERT_EQ(SensorDetails(first.get(), serial, model), 1);
    EXPECT_STREQ(serial, "RX000001");
    ASSERT_EQ(SensorDetails(second.get(), serial, model), 1);
    EXPECT_STREQ(serial, "RX000002");
    double volts = 0;
    EXPECT_EQ(SensorVolts(first.get(), &volts), 1);
    EXPECT_EQ(SensorVolts(second.get(), &volts), 1);
}

} // namespace
