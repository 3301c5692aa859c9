// The libftdi1 backend without hardware: enumeration, refusing positions that hold no bridge,
// and the translation of libftdi/libusb error numbers into statuses and sentences.
#include "link/backends.h"
#include "link/ftdi_backend.h"
#include "link/link_error.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <regex>
#include <string>

namespace rfsense::link {
namespace {

TEST(FtdiBus, ListsAndRefusesPositionsPastTheEnd) {
    std::unique_ptr<Bus> bus = make_ftdi_bus();
    uint32_t count = 99;
    const Status listed = bus->list_devices(count);
    if (listed == Status::device_list_not_ready)
        GTEST_SKIP() << "no USB access here: " << last_link_error();
    ASSERT_EQ(listed, Status::ok) << last_link_error();
    EXPECT_TRUE(last_link_error().empty());

    // With no bridge attached this is index 0; with some, the first index past them.
    std::unique_ptr<Device> device;
    EXPECT_EQ(bus->open(count, device), Status::device_not_found);
    EXPECT_EQ(device, nullptr);
    EXPECT_NE(last_link_error().find("no USB bridge number " + std::to_string(count)),
              std::string::npos)
        << last_link_error();
    EXPECT_EQ(bus->open(UINT32_MAX, device), Status::device_not_found);

    // Listing again gives the same answer: the bus keeps working after a refused open.
    uint32_t again = 99;
    ASSERT_EQ(bus->list_devices(again), Status::ok);
    EXPECT_EQ(again, count);
}

TEST(FtdiBus, RecognisesTheBridgeFamily) {
    EXPECT_TRUE(is_supported_bridge(0x0403, 0x6001));
    EXPECT_TRUE(is_supported_bridge(0x0403, 0x6015));
    EXPECT_FALSE(is_supported_bridge(0x0403, 0x1234));
    EXPECT_FALSE(is_supported_bridge(0x1234, 0x6001));
}

struct ErrorCase {
    FtdiCall call;
    int code;
    Status status;
    const char *words; // must appear in the message
};

void PrintTo(const ErrorCase &c, std::ostream *out) {
    *out << "code " << c.code;
}

class FtdiErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(FtdiErrors, TranslateToStatusAndSentence) {
    const ErrorCase &c = GetParam();
    const LinkFailure failure = translate_ftdi_error(c.call, c.code);
    EXPECT_EQ(failure.status, c.status);
    EXPECT_NE(failure.message.find(c.words), std::string::npos) << failure.message;
}

// libusb: -1 I/O, -3 access, -4 no device, -6 busy, -7 timeout, -11 no memory, -99 other.
INSTANTIATE_TEST_SUITE_P(
    Table, FtdiErrors,
    testing::Values(
        ErrorCase{FtdiCall::usb_init, -99, Status::device_list_not_ready, "USB access"},
        ErrorCase{FtdiCall::enumerate, -11, Status::device_list_not_ready, "could not be listed"},
        ErrorCase{FtdiCall::usb_open, -3, Status::device_not_opened, "60-rfsense.rules"},
        ErrorCase{FtdiCall::usb_open, -4, Status::device_not_found, "unplugged"},
        ErrorCase{FtdiCall::usb_open, -6, Status::device_not_opened, "another program"},
        ErrorCase{FtdiCall::usb_open, -11, Status::insufficient_resources, "memory"},
        ErrorCase{FtdiCall::open_dev, -5, Status::device_not_opened, "ftdi_sio"},
        ErrorCase{FtdiCall::open_dev, -8, Status::device_not_opened, "Permission denied"},
        ErrorCase{FtdiCall::open_dev, -6, Status::io_error, "reset"},
        ErrorCase{FtdiCall::read, -4, Status::io_error, "unplugged"},
        ErrorCase{FtdiCall::read, -7, Status::io_error, "stopped answering"},
        ErrorCase{FtdiCall::read, -1, Status::io_error, "Input/Output Error"},
        ErrorCase{FtdiCall::read, -666, Status::invalid_handle, "not open"},
        ErrorCase{FtdiCall::write, -1, Status::io_error, "Sending"},
        ErrorCase{FtdiCall::eeprom_read, -1, Status::eeprom_read_failed, "EEPROM"},
        ErrorCase{FtdiCall::eeprom_decode, -1, Status::eeprom_read_failed, "checksum"},
        ErrorCase{FtdiCall::eeprom_build, -1, Status::invalid_parameter, "too long"},
        ErrorCase{FtdiCall::eeprom_build, -6, Status::eeprom_not_present, "no configuration"},
        ErrorCase{FtdiCall::eeprom_write, -1, Status::eeprom_write_failed, "Writing"}),
    [](const testing::TestParamInfo<ErrorCase> &param_info) {
        return "case" + std::to_string(param_info.index) + "_code" +
               std::to_string(-param_info.param.code);
    });

TEST(FtdiErrorsEverywhere, NeverShowABareNumber) {
    const FtdiCall calls[] = {
        FtdiCall::usb_init,      FtdiCall::enumerate,    FtdiCall::usb_open,
        FtdiCall::open_dev,      FtdiCall::configure,    FtdiCall::read,
        FtdiCall::write,         FtdiCall::purge,        FtdiCall::eeprom_read,
        FtdiCall::eeprom_decode, FtdiCall::eeprom_build, FtdiCall::eeprom_write};
    const int codes[] = {-1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -99, -666, -1234};
    const std::regex number("-?[0-9]+");
    for (const FtdiCall call : calls)
        for (const int code : codes) {
            const LinkFailure failure = translate_ftdi_error(call, code);
            SCOPED_TRACE(std::to_string(static_cast<int>(call)) + "/" + std::to_string(code));
            EXPECT_NE(failure.status, Status::ok);
            EXPECT_GT(failure.message.size(), 15u);
            // "within 100 ms" and "60-rfsense.rules" are words, not codes.
            std::string text = std::regex_replace(failure.message, std::regex("60-rfsense"), "");
            text = std::regex_replace(text, std::regex("[0-9]+ ms"), "");
            text = std::regex_replace(text, std::regex("[0-9]+ characters"), "");
            EXPECT_FALSE(std::regex_search(text, number)) << failure.message;
        }
}

} // namespace
} // namespace rfsense::link
