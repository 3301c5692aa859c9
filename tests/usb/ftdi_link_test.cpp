// The link layer's libftdi1 backend on the emulated bridge: what it asks of the chip when it
// opens, purges, writes and reads; unplug and replug; the EEPROM record both ways; the refusals
// and their sentences; and handing the bridge back to the serial driver.
#include "usb/support/emulated_usb.h"

#include "link/backends.h"
#include "link/link.h"
#include "link/link_error.h"

#include "rfsim/rfsim_bus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

namespace rfsense::link {
namespace {

using namespace usb_test;
using std::chrono::milliseconds;
using testing::HasSubstr;

std::unique_ptr<Device> open_device(Bus &bus, uint32_t index = 0) {
    std::unique_ptr<Device> device;
    EXPECT_EQ(bus.open(index, device), Status::ok) << last_link_error();
    return device;
}

void send(Device &device, const std::string &bytes) {
    uint32_t written = 0;
    ASSERT_EQ(device.write(bytes.data(), uint32_t(bytes.size()), written), Status::ok)
        << last_link_error();
    ASSERT_EQ(written, bytes.size());
}

// `count` bytes, as the library's readers take them: wait for some, read what is there.
std::string receive(Device &device, std::size_t count) {
    std::string out;
    while (out.size() < count) {
        uint32_t waiting = 0;
        if (device.wait_queue(milliseconds(2000), waiting) != Status::ok || waiting == 0) break;
        std::string chunk(std::min<std::size_t>(waiting, count - out.size()), '\0');
        uint32_t got = 0;
        if (device.read(chunk.data(), uint32_t(chunk.size()), got) != Status::ok) break;
        out += chunk.substr(0, got);
    }
    return out;
}

TEST(FtdiLink, ListsOpensAndDescribesEveryBridge) {
    configure("[device]\nserial = RX000001\n"
              "[device]\nkind = other\nserial = FT0002\n"
              "[device]\ndescription = USB Power Sensor RX1\nserial = XR000003\n");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    uint32_t count = 0;
    ASSERT_EQ(bus->list_devices(count), Status::ok) << last_link_error();
    ASSERT_EQ(count, 3u);
    const char *expected[][2] = {{"RX000001", "USB Power Sensor RX4LO"},
                                 {"FT0002", "USB Serial Converter"},
                                 {"XR000003", "USB Power Sensor RX1"}};
    for (uint32_t i = 0; i < count; ++i) {
        auto device = open_device(*bus, i);
        ASSERT_NE(device, nullptr);
        DeviceInfo info;
        ASSERT_EQ(device->info(info), Status::ok);
        EXPECT_EQ(info.type, 5u); // FT232R
        EXPECT_EQ(info.id, 0x04036001u);
        EXPECT_EQ(info.serial, expected[i][0]);
        EXPECT_EQ(info.description, expected[i][1]);
    }
}

TEST(FtdiLink, OpenTakesTheBridgeFromTheSerialDriverAndSetsTheLatencyTimer) {
    configure("");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    {
        auto device = open_device(*bus);
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(usb_get(0, "kernel_driver"), "detached");
        EXPECT_EQ(usb_get(0, "claimed"), "1");
        EXPECT_EQ(usb_get(0, "latency_ms"), "1");
        const auto sent = requests(0);
        EXPECT_EQ(count_of(sent, "reset value=0 index=1"), 1);
        EXPECT_EQ(count_of(sent, "baud_rate value=16696 index=0"), 1); // 9600 baud, as D2XX
        EXPECT_EQ(count_of(sent, "set_latency value=1 index=1"), 1);
    }
    // Closing hands the bridge back to ftdi_sio and releases everything.
    EXPECT_EQ(usb_get(0, "kernel_driver"), "attached");
    EXPECT_EQ(usb_get(0, "claimed"), "0");
    EXPECT_EQ(usb_get(0, "open_handles"), "0");
}

TEST(FtdiLink, WritesAndReadsThroughTheChipsPackets) {
    configure("");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    send(*device, "ID?\n");
    EXPECT_EQ(receive(*device, 16), "USB SENSOR V4.7\n");

    // A reply of several packets comes back whole, without the chip's status bytes.
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += "USB SENSOR V4.7\n";
    for (int i = 0; i < 10; ++i) send(*device, "ID?\n");
    EXPECT_EQ(receive(*device, ten.size()), ten);

    // Nothing more is waiting, and a read of nothing waiting gives nothing.
    uint32_t waiting = 99;
    ASSERT_EQ(device->queue_status(waiting), Status::ok);
    EXPECT_EQ(waiting, 0u);
    char byte = 0;
    uint32_t got = 99;
    ASSERT_EQ(device->read(&byte, 1, got), Status::ok);
    EXPECT_EQ(got, 0u);
}

TEST(FtdiLink, AReplyIsFetchedWithOneTransferNotHeldForAnEmptyPacket) {
    configure("");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    rfsim_usb_clear();
    send(*device, "ID?\n");
    uint32_t waiting = 0;
    ASSERT_EQ(device->wait_queue(milliseconds(2000), waiting), Status::ok);
    EXPECT_EQ(waiting, 16u);
    // The command out, the reply in: a second transfer in would wait a whole latency period
    // for a packet that can only be empty.
    EXPECT_EQ(calls_of("libusb_bulk_transfer"), 2);
    EXPECT_EQ(receive(*device, 16), "USB SENSOR V4.7\n");
}

TEST(FtdiLink, PurgeEmptiesBothQueues) {
    configure("");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    send(*device, "ID?\n");
    uint32_t waiting = 0;
    ASSERT_EQ(device->wait_queue(milliseconds(2000), waiting), Status::ok);
    ASSERT_GT(waiting, 0u);
    rfsim_usb_clear();
    ASSERT_EQ(device->purge(), Status::ok) << last_link_error();
    EXPECT_EQ(requests(0),
              (std::vector<std::string>{"reset value=1 index=1", "reset value=2 index=1"}));
    ASSERT_EQ(device->queue_status(waiting), Status::ok);
    EXPECT_EQ(waiting, 0u);
    send(*device, "ID?\n");
    EXPECT_EQ(receive(*device, 16), "USB SENSOR V4.7\n");
}

// Where the unplug happens: between two calls, or while the backend waits on the chip.
struct UnplugCase {
    const char *name;
    bool during_wait;
};

void PrintTo(const UnplugCase &c, std::ostream *out) {
    *out << c.name;
}

class FtdiUnplug : public testing::TestWithParam<UnplugCase> {};

TEST_P(FtdiUnplug, FailsEveryCallWithTheUnplugSentenceAndReplugOpensAgain) {
    configure("");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    uint32_t waiting = 0;
    if (GetParam().during_wait) {
        std::thread unplug([] {
            std::this_thread::sleep_for(milliseconds(50));
            rfsim_set(0, "plugged", "0");
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(device->wait_queue(milliseconds(5000), waiting), Status::io_error);
        EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(4000));
        unplug.join();
    } else {
        set_key(0, "plugged", "0");
        EXPECT_EQ(device->queue_status(waiting), Status::io_error);
    }
    EXPECT_THAT(last_link_error(), HasSubstr("unplugged"));

    uint32_t done = 0;
    EXPECT_EQ(device->write("ID?\n", 4, done), Status::io_error);
    EXPECT_THAT(last_link_error(), HasSubstr("unplugged"));
    char byte = 0;
    EXPECT_NE(device->read(&byte, 1, done), Status::ok);
    EXPECT_EQ(device->purge(), Status::io_error);
    UsbEepromRecord record;
    EXPECT_EQ(device->ee_read(record), Status::io_error);
    device.reset();

    uint32_t count = 9;
    ASSERT_EQ(bus->list_devices(count), Status::ok);
    EXPECT_EQ(count, 0u);
    set_key(0, "plugged", "1");
    ASSERT_EQ(bus->list_devices(count), Status::ok);
    EXPECT_EQ(count, 1u);
    device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    send(*device, "ID?\n");
    EXPECT_EQ(receive(*device, 16), "USB SENSOR V4.7\n");
}

INSTANTIATE_TEST_SUITE_P(When, FtdiUnplug,
                         testing::Values(UnplugCase{"between_calls", false},
                                         UnplugCase{"during_a_wait", true}),
                         [](const testing::TestParamInfo<UnplugCase> &param_info) {
                             return std::string(param_info.param.name);
                         });

// The record the simulator keeps for device 0, as the sim backend reads it.
UsbEepromRecord sim_record() {
    std::string error;
    std::unique_ptr<Bus> sim = make_sim_bus("", error);
    std::unique_ptr<Device> device;
    EXPECT_EQ(sim->open(0, device), Status::ok);
    UsbEepromRecord record;
    if (device) {
        EXPECT_EQ(device->ee_read(record), Status::ok);
    }
    return record;
}

// The fields an FT232R's EEPROM holds.
void expect_same_record(const UsbEepromRecord &a, const UsbEepromRecord &b) {
    EXPECT_EQ(a.vendor_id, b.vendor_id);
    EXPECT_EQ(a.product_id, b.product_id);
    EXPECT_EQ(a.manufacturer, b.manufacturer);
    EXPECT_EQ(a.manufacturer_id, b.manufacturer_id);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.serial_number, b.serial_number);
    EXPECT_EQ(a.max_power, b.max_power);
    EXPECT_EQ(a.self_powered, b.self_powered);
    EXPECT_EQ(a.remote_wakeup, b.remote_wakeup);
    EXPECT_EQ(a.iso_in, b.iso_in);
    EXPECT_EQ(a.iso_out, b.iso_out);
    EXPECT_EQ(a.pull_down_enable, b.pull_down_enable);
    EXPECT_EQ(a.ser_num_enable, b.ser_num_enable);
    EXPECT_EQ(a.usb_version, b.usb_version);
}

TEST(FtdiEeprom, ReadGivesTheRecordTheSimulatorHolds) {
    configure("serial = XR123456\n");
    const UsbEepromRecord expected = sim_record();
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    UsbEepromRecord record;
    ASSERT_EQ(device->ee_read(record), Status::ok) << last_link_error();
    expect_same_record(record, expected);
    EXPECT_EQ(record.serial_number, "XR123456");
    EXPECT_EQ(record.manufacturer_id, "XR");
}

TEST(FtdiEeprom, ProgramRoundTripsTheRecordAndTheSerialStaysVisible) {
    configure("");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    UsbEepromRecord record;
    {
        auto device = open_device(*bus);
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(device->ee_read(record), Status::ok) << last_link_error();
        record.manufacturer = "Marrick";
        record.manufacturer_id = "20";
        record.description = "USB Power Sensor 71340";
        record.serial_number = "2060042";
        record.max_power = 90;
        record.self_powered = 1;
        record.remote_wakeup = 1;
        record.pull_down_enable = 1;
        record.ser_num_enable = 0; // an old-chip flag: the serial must stay visible anyway
        ASSERT_EQ(device->ee_program(record), Status::ok) << last_link_error();

        UsbEepromRecord back;
        ASSERT_EQ(device->ee_read(back), Status::ok) << last_link_error();
        record.ser_num_enable = 1;
        expect_same_record(back, record);

        // The chip is left as the backend keeps it, and still answers.
        EXPECT_EQ(usb_get(0, "latency_ms"), "1");
        send(*device, "ID?\n");
        EXPECT_EQ(receive(*device, 16), "USB SENSOR V4.7\n");
    }
    expect_same_record(sim_record(), record);
    // The bridge presents the new strings once it is plugged in again.
    set_key(0, "plugged", "0");
    set_key(0, "plugged", "1");
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    DeviceInfo info;
    ASSERT_EQ(device->info(info), Status::ok);
    EXPECT_EQ(info.serial, "2060042");
    EXPECT_EQ(info.description, "USB Power Sensor 71340");
}

TEST(FtdiEeprom, ProgramKeepsTheBoardsPinSettings) {
    configure("");
    {
        // A board with its own CBUS functions, high drive and an inverted TXD.
        const int handle = rfsim_bus_open_position(0);
        ASSERT_GT(handle, 0);
        unsigned char image[128];
        ASSERT_EQ(rfsim_bus_ee_image(handle, image, sizeof image), 128);
        image[0x00] = 0x04;
        image[0x0B] = 0x01;
        image[0x14] = 0x9A;
        unsigned sum = 0xAAAA;
        for (int at = 0; at < 126; at += 2) {
            sum ^= unsigned(image[at] | (image[at + 1] << 8));
            sum = ((sum << 1) | (sum >> 15)) & 0xFFFF;
        }
        image[126] = uint8_t(sum & 0xFF);
        image[127] = uint8_t(sum >> 8);
        for (int word = 0; word < 64; ++word)
            ASSERT_EQ(rfsim_bus_ee_write_word(
                          handle, word, unsigned(image[2 * word] | (image[2 * word + 1] << 8))),
                      0);
        rfsim_bus_close(handle);
    }
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    UsbEepromRecord record;
    ASSERT_EQ(device->ee_read(record), Status::ok);
    record.serial_number = "RX999";
    ASSERT_EQ(device->ee_program(record), Status::ok) << last_link_error();
    const std::string image = sim_get(0, "eeprom.image");
    EXPECT_EQ(image.substr(0, 2), "04");
    EXPECT_EQ(image.substr(2 * 0x0B, 2), "01");
    EXPECT_EQ(image.substr(2 * 0x14, 2), "9A");
    EXPECT_EQ(sim_get(0, "serial"), "RX999");
}

TEST(FtdiEeprom, BlankEepromIsReportedWithoutAWordOnTheConsole) {
    configure("");
    {
        const int handle = rfsim_bus_open_position(0);
        ASSERT_GT(handle, 0);
        ASSERT_EQ(rfsim_bus_ee_erase(handle), 0);
        rfsim_bus_close(handle);
    }
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    UsbEepromRecord record;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(device->ee_read(record), Status::eeprom_read_failed);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the library never prints";
    EXPECT_THAT(last_link_error(), HasSubstr("blank or corrupt"));

    // Programming a blank bridge, as the factory does, gives it a whole record.
    record = UsbEepromRecord{};
    record.manufacturer = "Zyn Quorix";
    record.description = "USB Power Sensor RX1";
    record.serial_number = "XR000077";
    record.max_power = 90;
    testing::internal::CaptureStderr();
    EXPECT_EQ(device->ee_program(record), Status::ok) << last_link_error();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    UsbEepromRecord back;
    ASSERT_EQ(device->ee_read(back), Status::ok) << last_link_error();
    EXPECT_EQ(back.serial_number, "XR000077");
    EXPECT_EQ(back.description, "USB Power Sensor RX1");
    EXPECT_EQ(sim_get(0, "serial"), "XR000077");
}

TEST(FtdiEeprom, StringsTooLongForTheChipAreRefusedBeforeAnythingIsWritten) {
    configure("");
    const std::string before = sim_get(0, "eeprom.image");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto device = open_device(*bus);
    ASSERT_NE(device, nullptr);
    UsbEepromRecord record;
    ASSERT_EQ(device->ee_read(record), Status::ok);
    record.manufacturer = "Quorix Technology Incorporated";    // 30
    record.description = "USB Power Sensor RX2LOKAN extended"; // 34
    EXPECT_EQ(device->ee_program(record), Status::invalid_parameter);
    EXPECT_THAT(last_link_error(), HasSubstr("too long"));
    EXPECT_EQ(sim_get(0, "eeprom.image"), before);
}

struct RefusalCase {
    const char *name;
    const char *key;
    const char *value;
    Status status;
    const char *words;
};

void PrintTo(const RefusalCase &c, std::ostream *out) {
    *out << c.name;
}

class FtdiRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(FtdiRefusal, NamesTheCauseInTheReadmesWords) {
    const RefusalCase &c = GetParam();
    configure("");
    usb_set(0, c.key, c.value);
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    std::unique_ptr<Device> device;
    EXPECT_EQ(bus->open(0, device), c.status);
    EXPECT_EQ(device, nullptr);
    EXPECT_THAT(last_link_error(), HasSubstr(c.words));
    EXPECT_EQ(usb_get(0, "kernel_driver"), "attached");
    EXPECT_EQ(usb_get(0, "open_handles"), "0");
}

INSTANTIATE_TEST_SUITE_P(
    Causes, FtdiRefusal,
    testing::Values(RefusalCase{"permission", "access", "denied", Status::device_not_opened,
                                "Permission denied opening the USB bridge"},
                    RefusalCase{"busy", "busy", "1", Status::device_not_opened,
                                "The USB bridge is held by another program or by the ftdi_sio "
                                "serial driver"}),
    [](const testing::TestParamInfo<RefusalCase> &param_info) {
        return std::string(param_info.param.name);
    });

TEST(FtdiLink, ASecondOpenOfTheSameBridgeIsRefusedAsBusy) {
    configure("");
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    auto first = open_device(*bus);
    ASSERT_NE(first, nullptr);
    std::unique_ptr<Device> second;
    EXPECT_EQ(bus->open(0, second), Status::device_not_opened);
    EXPECT_THAT(last_link_error(), HasSubstr("held by another program"));
    send(*first, "ID?\n");
    EXPECT_EQ(receive(*first, 16), "USB SENSOR V4.7\n") << "the first holder keeps working";
}

} // namespace
} // namespace rfsense::link
