#include "bridge_eeprom.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace rfsim {

namespace {

// Byte addresses of the FT232R layout.
constexpr std::size_t chip_options = 0x00;   // driver, drive strength, oscillator
constexpr std::size_t endpoint_size = 0x01;  // in units of bytes
constexpr std::size_t vendor_id = 0x02;      // word
constexpr std::size_t product_id = 0x04;     // word
constexpr std::size_t release = 0x06;        // word, bcdDevice
constexpr std::size_t attributes = 0x08;     // configuration descriptor bmAttributes
constexpr std::size_t max_power = 0x09;      // in 2 mA units
constexpr std::size_t chip_config = 0x0A;    // isochronous, pull-downs, serial, USB version
constexpr std::size_t invert = 0x0B;         // signal inversion
constexpr std::size_t usb_version = 0x0C;    // word, bcdUSB
constexpr std::size_t string_table = 0x0E;   // (pointer, length) for manufacturer, product, serial
constexpr std::size_t cbus_functions = 0x14; // 0x14..0x16, one nibble per pin
constexpr std::size_t first_string = 0x18;
constexpr std::size_t checksum_at = bridge_eeprom_bytes - 2;

constexpr uint8_t self_powered_bit = 0x40;
constexpr uint8_t remote_wakeup_bit = 0x20;
constexpr uint8_t iso_in_bit = 0x01;
constexpr uint8_t iso_out_bit = 0x02;
constexpr uint8_t pull_down_bit = 0x04;
constexpr uint8_t use_serial_bit = 0x08;
constexpr uint8_t use_usb_version_bit = 0x10;
// String pointers carry this bit; the address is the rest.
constexpr uint8_t pointer_bit = 0x80;
constexpr uint8_t string_descriptor_type = 0x03;

uint16_t word_at(const EepromImage &image, std::size_t at) {
    return static_cast<uint16_t>(image[at] | (image[at + 1] << 8));
}

void put_word(EepromImage &image, std::size_t at, unsigned value) {
    image[at] = static_cast<uint8_t>(value & 0xFF);
    image[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

template <std::size_t N>
std::string field_text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

template <std::size_t N>
void copy_text(char (&field)[N], const std::string &text) {
    const std::size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// Writes one string descriptor at `at`; returns the address after it.
std::size_t put_string(EepromImage &image, std::size_t table_entry, std::size_t at,
                       const std::string &text) {
    const std::size_t length = 2 + 2 * text.size();
    image[string_table + 2 * table_entry] = static_cast<uint8_t>(at | pointer_bit);
    image[string_table + 2 * table_entry + 1] = static_cast<uint8_t>(length);
    image[at] = static_cast<uint8_t>(length);
    image[at + 1] = string_descriptor_type;
    for (std::size_t i = 0; i < text.size(); ++i) put_word(image, at + 2 + 2 * i, uint8_t(text[i]));
    return at + length;
}

// The string of table entry `entry`, or nothing when its pointer or header is not sound.
std::optional<std::string> get_string(const EepromImage &image, std::size_t entry) {
    const std::size_t at = image[string_table + 2 * entry] & 0x7Fu;
    const std::size_t length = image[string_table + 2 * entry + 1];
    if (length == 0) return std::string();
    if (length < 2 || length % 2 != 0 || at < first_string || at + length > checksum_at)
        return std::nullopt;
    if (image[at] != length || image[at + 1] != string_descriptor_type) return std::nullopt;
    std::string text;
    for (std::size_t i = at + 2; i < at + length; i += 2) {
        const uint16_t unit = word_at(image, i);
        text += unit >= 0x20 && unit < 0x7F ? static_cast<char>(unit) : '?';
    }
    return text;
}

EepromImage factory_options() {
    EepromImage image{};
    image[chip_options] = 0x00;
    image[endpoint_size] = 0x40;
    image[invert] = 0x00;
    // TXLED, RXLED, TXDEN, PWREN, SLEEP on CBUS0..4.
    image[cbus_functions] = 0x23;
    image[cbus_functions + 1] = 0x10;
    image[cbus_functions + 2] = 0x05;
    return image;
}

} // namespace

uint16_t eeprom_checksum(const EepromImage &image) {
    uint16_t checksum = 0xAAAA;
    for (std::size_t at = 0; at < checksum_at; at += 2) {
        checksum = static_cast<uint16_t>(checksum ^ word_at(image, at));
        checksum = static_cast<uint16_t>((checksum << 1) | (checksum >> 15));
    }
    return checksum;
}

bool eeprom_checksum_ok(const EepromImage &image) {
    return word_at(image, checksum_at) == eeprom_checksum(image);
}

EepromImage encode_eeprom(const rfsim_eeprom &record, const EepromImage *options) {
    const EepromImage kept = options != nullptr ? *options : factory_options();
    EepromImage image{};
    image[chip_options] = kept[chip_options];
    image[endpoint_size] = kept[endpoint_size];
    image[invert] = kept[invert];
    for (std::size_t i = 0; i < 4; ++i) image[cbus_functions + i] = kept[cbus_functions + i];

    put_word(image, vendor_id, record.vendor_id);
    put_word(image, product_id, record.product_id);
    put_word(image, release, 0x0600);
    image[attributes] = static_cast<uint8_t>(0x80 | (record.self_powered ? self_powered_bit : 0) |
                                             (record.remote_wakeup ? remote_wakeup_bit : 0));
    image[max_power] = static_cast<uint8_t>(std::min(record.max_power / 2, 255u));
    image[chip_config] =
        static_cast<uint8_t>((record.iso_in ? iso_in_bit : 0) | (record.iso_out ? iso_out_bit : 0) |
                             (record.pull_down_enable ? pull_down_bit : 0) |
                             (record.ser_num_enable ? use_serial_bit : 0) |
                             (record.usb_version_enable ? use_usb_version_bit : 0));
    put_word(image, usb_version, record.usb_version);

    std::string manufacturer = field_text(record.manufacturer);
    std::string description = field_text(record.description);
    const std::string serial = field_text(record.serial);
    auto total = [&] { return manufacturer.size() + description.size() + serial.size(); };
    if (total() > eeprom_string_characters)
        manufacturer.resize(manufacturer.size() -
                            std::min(manufacturer.size(), total() - eeprom_string_characters));
    if (total() > eeprom_string_characters)
        description.resize(description.size() -
                           std::min(description.size(), total() - eeprom_string_characters));
    std::size_t at = first_string;
    at = put_string(image, 0, at, manufacturer);
    at = put_string(image, 1, at, description);
    put_string(image, 2, at, serial.substr(0, eeprom_string_characters));

    put_word(image, checksum_at, eeprom_checksum(image));
    return image;
}

std::optional<rfsim_eeprom> decode_eeprom(const EepromImage &image, const rfsim_eeprom &previous) {
    if (!eeprom_checksum_ok(image)) return std::nullopt;
    const auto manufacturer = get_string(image, 0);
    const auto description = get_string(image, 1);
    const auto serial = get_string(image, 2);
    if (!manufacturer || !description || !serial) return std::nullopt;

    rfsim_eeprom record = previous;
    record.vendor_id = word_at(image, vendor_id);
    record.product_id = word_at(image, product_id);
    record.self_powered = (image[attributes] & self_powered_bit) != 0;
    record.remote_wakeup = (image[attributes] & remote_wakeup_bit) != 0;
    record.max_power = image[max_power] * 2u;
    record.iso_in = (image[chip_config] & iso_in_bit) != 0;
    record.iso_out = (image[chip_config] & iso_out_bit) != 0;
    record.pull_down_enable = (image[chip_config] & pull_down_bit) != 0;
    record.ser_num_enable = (image[chip_config] & use_serial_bit) != 0;
    record.usb_version_enable = (image[chip_config] & use_usb_version_bit) != 0;
    record.usb_version = word_at(image, usb_version);
    copy_text(record.manufacturer, *manufacturer);
    copy_text(record.description, *description);
    copy_text(record.serial, *serial);
    copy_text(record.manufacturer_id, serial->substr(0, 2));
    return record;
}

} // namespace rfsim
