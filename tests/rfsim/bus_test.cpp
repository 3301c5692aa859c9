// The bus as a link backend sees it: plugging, exclusive opens, silence, readiness, purge,
// the bridge EEPROM and the realistic reply timing.
#include "sim_link.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {

using rfsim_test::get;
using rfsim_test::SimLink;
using Clock = std::chrono::steady_clock;

TEST(Bus, UnplugFailsHandlesAndReplugNeedsANewOpen) {
    ASSERT_EQ(rfsim_configure("[device]\n[device]\nserial = RX000002\n"), 2);
    SimLink first(0);
    ASSERT_GT(first.handle(), 0);
    ASSERT_EQ(rfsim_set(0, "plugged", "0"), 0);
    EXPECT_EQ(rfsim_bus_count(), 1);
    char serial[32];
    ASSERT_EQ(rfsim_bus_info(0, serial, sizeof serial, nullptr, 0), 0);
    EXPECT_STREQ(serial, "RX000002"); // indices count plugged devices only

    const char cmd[] = "ID?\n";
    char buffer[8];
    EXPECT_EQ(rfsim_bus_write(first.handle(), cmd, 4), -1);
    EXPECT_EQ(rfsim_bus_read(first.handle(), buffer, 1), -1);
    EXPECT_EQ(rfsim_bus_wait(first.handle(), 0), -1);
    EXPECT_EQ(rfsim_bus_purge(first.handle()), -1);

    ASSERT_EQ(rfsim_set(0, "plugged", "1"), 0);
    EXPECT_EQ(rfsim_bus_write(first.handle(), cmd, 4), -1); // the old handle stays dead
    SimLink again(0);
    EXPECT_EQ(again.query("ID?\n", 16), "USB SENSOR V4.7\n");
}

TEST(Bus, ADeviceOpensOnlyOnce) {
    ASSERT_EQ(rfsim_configure(""), 1);
    const int h = rfsim_bus_open(0);
    ASSERT_GT(h, 0);
    EXPECT_EQ(rfsim_bus_open(0), -1);
    rfsim_bus_close(h);
    const int again = rfsim_bus_open(0);
    EXPECT_GT(again, 0);
    rfsim_bus_close(again);
}

TEST(Bus, WaitEndsWhenTheDeviceIsUnpluggedElsewhere) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    std::thread unplug([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        rfsim_set(0, "plugged", "0");
    });
    const auto start = Clock::now();
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 30000), -1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    unplug.join();
}

TEST(Bus, SilentSensorStopsReplyingButStaysPlugged) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    ASSERT_EQ(rfsim_set(0, "silent", "1"), 0);
    link.send("INIT?\n");
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 20), 0);
    EXPECT_EQ(get(0, "last_command"), "INIT?");
    ASSERT_EQ(rfsim_set(0, "silent", "0"), 0);
    EXPECT_EQ(link.query_big_endian("INIT?\n", 2), 75u);
}

TEST(Bus, ReadinessFollowsTheReadyKey) {
    struct Case {
        const char *ready;
        uint32_t before_reset;
        uint32_t after_reset;
    };
    for (const Case &c : {Case{"yes", 75, 75}, Case{"after_reset", 0, 75}, Case{"never", 0, 0}}) {
        ASSERT_EQ(rfsim_configure((std::string("ready = ") + c.ready).c_str()), 1);
        SimLink link;
        EXPECT_EQ(link.query_big_endian("INIT?\n", 2), c.before_reset) << c.ready;
        link.send("RST\n");
        EXPECT_EQ(link.query_big_endian("INIT?\n", 2), c.after_reset) << c.ready;
    }
}

TEST(Bus, PurgeDropsRepliesAndHalfCommands) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    link.send("ID?\nINI");
    ASSERT_EQ(rfsim_bus_purge(link.handle()), 0);
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 0), 0);
    link.send("T?\n"); // "INI" was dropped: this is no "INIT?"
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 0), 0);
    EXPECT_EQ(get(0, "last_command"), "T?");
}

TEST(Bus, UnknownCommandsAreRecordedWithoutReply) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    link.send("HELLO\n");
    link.send("FX3\n");
    link.send(std::string("Z\x01\xFF", 3));
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 0), 0);
    EXPECT_EQ(get(0, "commands"), "HELLO\nFX3\nZ\\x01\\xFF\n");
}

TEST(Bus, EepromProgrammingChangesWhatTheBusReports) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    rfsim_eeprom ee{};
    ASSERT_EQ(rfsim_bus_ee_read(link.handle(), &ee), 0);
    EXPECT_EQ(ee.vendor_id, 0x0403u);
    EXPECT_EQ(ee.product_id, 0x6001u);
    EXPECT_STREQ(ee.description, "USB Power Sensor RX4LO");
    EXPECT_STREQ(ee.manufacturer, "Quorix Techn'gy");

    std::strcpy(ee.description, "USB Power Sensor 71340");
    std::strcpy(ee.serial, "2060042");
    std::strcpy(ee.manufacturer, "Marrick");
    ASSERT_EQ(rfsim_bus_ee_program(link.handle(), &ee), 0);

    char serial[32];
    char description[80];
    ASSERT_EQ(rfsim_bus_info(0, serial, sizeof serial, description, sizeof description), 0);
    EXPECT_STREQ(serial, "2060042");
    EXPECT_STREQ(description, "USB Power Sensor 71340");
    rfsim_eeprom back{};
    ASSERT_EQ(rfsim_bus_ee_read(link.handle(), &back), 0);
    EXPECT_STREQ(back.manufacturer, "Marrick");
    EXPECT_EQ(get(0, "model"), "4");

    // Text without a terminator is cut inside its field, never read past it.
    std::memset(ee.serial, 'Z', sizeof ee.serial);
    ASSERT_EQ(rfsim_bus_ee_program(link.handle(), &ee), 0);
    ASSERT_EQ(rfsim_bus_ee_read(link.handle(), &back), 0);
    EXPECT_EQ(std::strlen(back.serial), sizeof back.serial - 1);
}

TEST(Bus, RealisticRepliesAppearAfterTheLatency) {
    ASSERT_EQ(rfsim_configure("timing = realistic\nlatency_ms = 200\n"), 1);
    SimLink link;
    const auto start = Clock::now();
    link.send("INIT?\n");
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 0), 0);
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 5000), 2);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(200));
}

TEST(Bus, RealisticConversionsRunAtTheFilterRate) {
    ASSERT_EQ(rfsim_configure("timing = realistic\nlatency_ms = 0.5\n"), 1);
    SimLink link;
    const auto start = Clock::now();
    link.send("FLT15\n"); // 4.17 Hz: a conversion every 240 ms, restarted by the change
    EXPECT_EQ(link.query("ADC?\n", 4).size(), 4u);
    EXPECT_EQ(link.query("ADC?\n", 4).size(), 4u);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(479));
}

} // namespace
