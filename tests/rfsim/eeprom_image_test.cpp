// The bridge EEPROM as the chip holds it: its layout and checksum, word writes that take effect
// only once the image is whole again, erasing, chip options that survive a record write, strings
// that do not fit, and opening by configuration position across unplug and replug, and what tells
// one stay of a device on the bus from the next.
#include "sim_link.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using rfsim_test::get;
using rfsim_test::SimLink;
using Image = std::array<uint8_t, 128>;

Image image_of(int handle) {
    Image image{};
    EXPECT_EQ(rfsim_bus_ee_image(handle, image.data(), static_cast<int>(image.size())), 128);
    return image;
}

unsigned word_at(const Image &image, size_t at) {
    return image[at] | (image[at + 1] << 8);
}

// The chip's checksum: start at 0xAAAA; for every word but the last, xor it in, then rotate
// left by one bit.
unsigned checksum_of(const Image &image) {
    unsigned sum = 0xAAAA;
    for (size_t at = 0; at < 126; at += 2) {
        sum ^= word_at(image, at);
        sum = ((sum << 1) | (sum >> 15)) & 0xFFFF;
    }
    return sum;
}

// The text of string descriptor `entry` (0 manufacturer, 1 product, 2 serial) as the chip's
// pointer table gives it.
std::string string_at(const Image &image, size_t entry) {
    const size_t at = image[0x0E + 2 * entry] & 0x7F;
    const size_t length = image[0x0F + 2 * entry];
    EXPECT_EQ(image[0x0E + 2 * entry] & 0x80, 0x80) << entry;
    EXPECT_EQ(image[at], length) << entry;
    EXPECT_EQ(image[at + 1], 0x03) << entry; // string descriptor
    std::string text;
    for (size_t i = at + 2; i < at + length; i += 2) text += static_cast<char>(word_at(image, i));
    return text;
}

void write_all(int handle, const Image &image) {
    for (int word = 0; word < 64; ++word)
        ASSERT_EQ(rfsim_bus_ee_write_word(handle, word, word_at(image, 2 * size_t(word))), 0);
}

void fix_checksum(Image &image) {
    const unsigned sum = checksum_of(image);
    image[126] = static_cast<uint8_t>(sum & 0xFF);
    image[127] = static_cast<uint8_t>(sum >> 8);
}

TEST(EepromImage, DefaultImageHoldsTheRecordInTheChipLayout) {
    ASSERT_EQ(rfsim_configure("serial = RX77\n"), 1);
    SimLink link;
    const Image image = image_of(link.handle());
    EXPECT_EQ(word_at(image, 126), checksum_of(image));
    EXPECT_EQ(word_at(image, 0x02), 0x0403u);
    EXPECT_EQ(word_at(image, 0x04), 0x6001u);
    EXPECT_EQ(word_at(image, 0x06), 0x0600u); // FT232R release
    EXPECT_EQ(image[0x08], 0x80);             // bus powered, no remote wake-up
    EXPECT_EQ(image[0x09], 12);               // 24 mA in 2 mA units
    EXPECT_EQ(image[0x0A], 0x08 | 0x10);      // serial number and USB version in use
    EXPECT_EQ(word_at(image, 0x0C), 0x0200u);
    EXPECT_EQ(string_at(image, 0), "Quorix Techn'gy");
    EXPECT_EQ(string_at(image, 1), "USB Power Sensor RX4LO");
    EXPECT_EQ(string_at(image, 2), "RX77");

    // The read-only key gives the same bytes in hex.
    std::string hex;
    for (uint8_t b : image) {
        char h[3];
        std::snprintf(h, sizeof h, "%02X", b);
        hex += h;
    }
    EXPECT_EQ(get(0, "eeprom.image"), hex);

    rfsim_eeprom record{};
    ASSERT_EQ(rfsim_bus_ee_read(link.handle(), &record), 0);
    EXPECT_EQ(record.ser_num_enable, 1);
}

TEST(EepromImage, WordWritesTakeEffectWhenTheChecksumMatches) {
    ASSERT_EQ(rfsim_configure("serial = RX100001\n"), 1);
    SimLink link;
    Image image = image_of(link.handle());
    // Same length, new serial; new max power and self powered.
    const size_t serial_at = image[0x12] & 0x7F;
    const std::string serial = "XR424242";
    for (size_t i = 0; i < serial.size(); ++i) image[serial_at + 2 + 2 * i] = uint8_t(serial[i]);
    image[0x08] = 0x80 | 0x40;
    image[0x09] = 50;
    fix_checksum(image);

    for (int word = 0; word < 63; ++word)
        ASSERT_EQ(rfsim_bus_ee_write_word(link.handle(), word, word_at(image, 2 * size_t(word))),
                  0);
    EXPECT_EQ(get(0, "serial"), "RX100001") << "a half-written image must not take effect";
    ASSERT_EQ(rfsim_bus_ee_write_word(link.handle(), 63, word_at(image, 126)), 0);
    EXPECT_EQ(get(0, "serial"), "XR424242");

    rfsim_eeprom record{};
    ASSERT_EQ(rfsim_bus_ee_read(link.handle(), &record), 0);
    EXPECT_STREQ(record.serial, "XR424242");
    EXPECT_STREQ(record.manufacturer_id, "XR");
    EXPECT_EQ(record.max_power, 100u);
    EXPECT_EQ(record.self_powered, 1);
    EXPECT_EQ(image_of(link.handle()), image);

    EXPECT_EQ(rfsim_bus_ee_write_word(link.handle(), 64, 0), -1);
    EXPECT_EQ(rfsim_bus_ee_write_word(link.handle(), 0, 0x10000), -1);
}

TEST(EepromImage, ErasedImageKeepsTheRecordUntilWrittenAgain) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    const Image before = image_of(link.handle());
    ASSERT_EQ(rfsim_bus_ee_erase(link.handle()), 0);
    Image blank;
    blank.fill(0xFF);
    EXPECT_EQ(image_of(link.handle()), blank);
    EXPECT_EQ(get(0, "serial"), "RX100001");

    // Writing the old image back word by word restores it.
    write_all(link.handle(), before);
    EXPECT_EQ(image_of(link.handle()), before);

    // Programming a record over an erased image gives a whole image with the factory options.
    ASSERT_EQ(rfsim_bus_ee_erase(link.handle()), 0);
    rfsim_eeprom record{};
    ASSERT_EQ(rfsim_bus_ee_read(link.handle(), &record), 0);
    ASSERT_EQ(rfsim_bus_ee_program(link.handle(), &record), 0);
    EXPECT_EQ(image_of(link.handle()), before);
}

TEST(EepromImage, ProgrammingTheRecordKeepsTheChipOptions) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    Image image = image_of(link.handle());
    image[0x00] = 0x04; // high drive
    image[0x0B] = 0x01; // TXD inverted
    image[0x14] = 0x9A; // CBUS0 I/O mode, CBUS1 6 MHz clock
    fix_checksum(image);
    write_all(link.handle(), image);

    rfsim_eeprom record{};
    ASSERT_EQ(rfsim_bus_ee_read(link.handle(), &record), 0);
    std::strcpy(record.serial, "RX555");
    ASSERT_EQ(rfsim_bus_ee_program(link.handle(), &record), 0);
    const Image after = image_of(link.handle());
    EXPECT_EQ(after[0x00], 0x04);
    EXPECT_EQ(after[0x0B], 0x01);
    EXPECT_EQ(after[0x14], 0x9A);
    EXPECT_EQ(string_at(after, 2), "RX555");
    EXPECT_EQ(word_at(after, 126), checksum_of(after));
}

TEST(EepromImage, StringsThatDoNotFitAreCutInTheImageOnly) {
    const std::string description = "USB Power Sensor RX4LO with a description far too long";
    ASSERT_EQ(rfsim_configure(("description = " + description + "\nserial = RX123456\n").c_str()),
              1);
    SimLink link;
    const Image image = image_of(link.handle());
    EXPECT_EQ(word_at(image, 126), checksum_of(image));
    const std::string manufacturer = string_at(image, 0);
    const std::string in_image = string_at(image, 1);
    EXPECT_EQ(string_at(image, 2), "RX123456");
    EXPECT_EQ(manufacturer.size() + in_image.size() + 8, 48u);
    EXPECT_TRUE(manufacturer.empty()) << "the manufacturer gives way first";
    EXPECT_EQ(in_image, description.substr(0, in_image.size()));
    EXPECT_EQ(get(0, "description"), description);
}

TEST(Bus, OpenByPositionFollowsTheDeviceAcrossUnplugAndReplug) {
    ASSERT_EQ(rfsim_configure("[device]\n[device]\nserial = RX000002\n"), 2);
    const std::string first_stay = get(0, "plug_id");
    EXPECT_NE(first_stay, get(1, "plug_id"));
    ASSERT_EQ(rfsim_set(0, "plugged", "0"), 0);
    const std::string second_stay = get(0, "plug_id");
    EXPECT_NE(second_stay, first_stay);
    EXPECT_EQ(rfsim_bus_open_position(0), -1);
    EXPECT_EQ(rfsim_bus_open_position(2), -1);

    const int second = rfsim_bus_open_position(1);
    ASSERT_GT(second, 0);
    char serial[32];
    ASSERT_EQ(rfsim_bus_handle_info(second, serial, sizeof serial, nullptr, 0), 0);
    EXPECT_STREQ(serial, "RX000002");
    EXPECT_EQ(rfsim_bus_open_position(1), -1); // one holder at a time, whichever way opened
    rfsim_bus_close(second);

    ASSERT_EQ(rfsim_set(0, "plugged", "1"), 0);
    EXPECT_EQ(get(0, "plug_id"), second_stay);
    const int first = rfsim_bus_open_position(0);
    ASSERT_GT(first, 0);
    ASSERT_EQ(rfsim_bus_handle_info(first, serial, sizeof serial, nullptr, 0), 0);
    EXPECT_STREQ(serial, "RX100001");
    rfsim_bus_close(first);

    // A new configuration is a new bus: no device keeps its id.
    ASSERT_EQ(rfsim_configure("[device]\n[device]\nserial = RX000002\n"), 2);
    EXPECT_NE(get(0, "plug_id"), second_stay);
}

} // namespace
