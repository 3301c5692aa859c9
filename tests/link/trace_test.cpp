// The opt-in traffic trace: when it is asked for, how bytes are shown, and the lines a traced
// bus gives for opening, purging, writing, reading, failing and closing, with every result passed
// through unchanged.
#include "link/backends.h"
#include "link/trace.h"

#include "rfsim/rfsim.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rfsense::link {
namespace {

bool starts_with(const std::string &text, const std::string &start) {
    return text.rfind(start, 0) == 0;
}

TEST(Trace, IsAskedForByAnyValueButEmptyAndZero) {
    EXPECT_FALSE(trace_requested(nullptr));
    EXPECT_FALSE(trace_requested(""));
    EXPECT_FALSE(trace_requested("0"));
    EXPECT_TRUE(trace_requested("1"));
    EXPECT_TRUE(trace_requested("yes"));
}

TEST(Trace, ShowsTextWithEscapesAndBinaryAsHex) {
    struct Case {
        std::string bytes;
        const char *shown;
    };
    const Case cases[] = {
        {"ID?\n", "ID?\\n"},
        {"PIC PROGRAMMER V2.1\r\n", "PIC PROGRAMMER V2.1\\r\\n"},
        {"a\\b\tc", "a\\\\b\\tc"},
        {std::string("\x80\x12\x34\x56", 4), "80 12 34 56"}, // an ADC code, partly printable
        {std::string("\x00\x4B", 2), "00 4B"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(trace_bytes(c.bytes.data(), c.bytes.size()), c.shown) << c.shown;
}

// The lines a traced simulated bus gives, without their time stamps.
class TracedBus : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(rfsim_configure("serial = RX5555\n"), 1);
        std::string error;
        bus_ = make_tracing_bus(make_sim_bus("", error), [this](const std::string &line) {
            // "  12.345 ms  text"
            const auto at = line.find(" ms  ");
            EXPECT_NE(at, std::string::npos) << line;
            lines_.push_back(line.substr(at + 5));
        });
    }

    std::unique_ptr<Bus> bus_;
    std::vector<std::string> lines_;
};

TEST_F(TracedBus, TellsEachOperationAndPassesItsResultOn) {
    uint32_t count = 0;
    ASSERT_EQ(bus_->list_devices(count), Status::ok);
    EXPECT_EQ(count, 1u);
    std::unique_ptr<Device> device;
    ASSERT_EQ(bus_->open(0, device), Status::ok);
    ASSERT_EQ(device->purge(), Status::ok);
    uint32_t written = 0;
    ASSERT_EQ(device->write("ID?\n", 4, written), Status::ok);
    EXPECT_EQ(written, 4u);
    uint32_t waiting = 0;
    ASSERT_EQ(device->wait_queue(std::chrono::milliseconds(1000), waiting), Status::ok);
    char reply[32] = {};
    uint32_t got = 0;
    ASSERT_EQ(device->read(reply, waiting, got), Status::ok);
    EXPECT_EQ(std::string(reply, got), "USB SENSOR V4.7\n");
    device.reset();
    EXPECT_EQ(lines_, (std::vector<std::string>{
                          "list: 1 device(s)", "open 0: serial RX5555, \"USB Power Sensor RX4LO\"",
                          "purge", "> ID?\\n", "< USB SENSOR V4.7\\n", "close 0"}));
}

TEST_F(TracedBus, TellsFailuresWithTheirReason) {
    std::unique_ptr<Device> device;
    EXPECT_EQ(bus_->open(3, device), Status::device_not_found);
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(bus_->open(0, device), Status::ok);
    ASSERT_EQ(rfsim_set(0, "plugged", "0"), 0);
    uint32_t waiting = 0;
    EXPECT_EQ(device->queue_status(waiting), Status::io_error);
    uint32_t written = 0;
    EXPECT_EQ(device->write("ADC?\n", 5, written), Status::io_error);
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_TRUE(starts_with(lines_[0], "! open 3: ")) << lines_[0];
    EXPECT_TRUE(starts_with(lines_[1], "open 0: ")) << lines_[1];
    EXPECT_TRUE(starts_with(lines_[2], "! queue status: ")) << lines_[2];
    EXPECT_NE(lines_[2].find("USB bridge"), std::string::npos) << lines_[2];
    EXPECT_TRUE(starts_with(lines_[3], "! write ADC?\\n: ")) << lines_[3];
    EXPECT_EQ(lines_[3].back(), '.') << lines_[3];
}

} // namespace
} // namespace rfsense::link
