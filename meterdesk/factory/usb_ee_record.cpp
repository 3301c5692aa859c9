#include "meterdesk/factory/usb_ee_record.h"

#include <algorithm>
#include <cstdint>

namespace meterdesk {

namespace link = rfsense::link;

const std::vector<std::string> &usb_ee_model_table() {
    static const std::vector<std::string> table = {
        "USB Power Sensor RX1",   "USB Power Sensor RX2LOKAN", "USB Power Sensor RX3LOKAN",
        "USB Power Sensor RX4LO", "USB Power Sensor RX5L",     "USB Power Sensor RX6",
        "USB Power Sensor 71308", "USB Power Sensor 71312",    "USB Power Sensor 71318",
        "USB Power Sensor 71326", "USB Power Sensor 71340"};
    return table;
}

BrandRow brand_row(int model_entry, bool zyn_label) {
    if (model_entry >= kFirstMarrickModel) return BrandRow::kMarrick;
    return zyn_label ? BrandRow::kZynQuorix : BrandRow::kQuorixTechnology;
}

const BrandRowText &brand_row_text(BrandRow row) {
    static const BrandRowText marrick{"Marrick", "QJ", "206",
                                      "Invalid Marrick serial number\nFormat: 206<number>"};
    static const BrandRowText zyn{"Zyn Quorix", "XR", "XR",
                                  "Invalid Zyn Quorix serial number\nFormat: XR< 6 digits >"};
    static const BrandRowText quorix{
        "Quorix Techn'gy", "RX", "RXZ",
        "Invalid Quorix Technology serial number\nFormat: RXZ<number>"};
    switch (row) {
    case BrandRow::kMarrick:
        return marrick;
    case BrandRow::kZynQuorix:
        return zyn;
    case BrandRow::kQuorixTechnology:
        break;
    }
    return quorix;
}

std::string reprefix_serial(std::string_view serial, BrandRow row) {
    const std::size_t old_prefix = serial.starts_with("X") ? 2 : 3;
    std::string result = brand_row_text(row).serial_prefix;
    if (serial.size() > old_prefix) result += serial.substr(old_prefix);
    if (result.size() > kEeSerialChars) result.resize(kEeSerialChars);
    return result;
}

bool serial_fits_row(std::string_view serial, BrandRow row) {
    if (serial.size() < 4 || serial.size() > kEeSerialChars ||
        !std::all_of(serial.begin(), serial.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        }))
        return false;
    if (!serial.starts_with(brand_row_text(row).serial_prefix)) return false;
    return row != BrandRow::kZynQuorix || serial.size() == 8;
}

link::UsbEepromRecord usb_ee_record(BrandRow row, int model_entry, std::string_view serial) {
    link::UsbEepromRecord record;
    record.signature1 = 0x00000000;
    record.signature2 = 0xFFFFFFFF;
    record.version = 0xCCCCCCCC;
    record.vendor_id = 0x0403;
    record.product_id = 0x6001;
    record.manufacturer = brand_row_text(row).manufacturer;
    record.manufacturer_id = brand_row_text(row).manufacturer_id;
    const auto &models = usb_ee_model_table();
    if (model_entry >= 0 && model_entry < static_cast<int>(models.size()))
        record.description = models[static_cast<std::size_t>(model_entry)];
    record.serial_number = serial;
    record.max_power = 24;
    record.pnp = 1;
    record.self_powered = 0;
    record.remote_wakeup = 0;
    record.rev4 = 1;
    record.iso_in = 0;
    record.iso_out = 0;
    record.pull_down_enable = 0;
    record.ser_num_enable = 0;
    record.usb_version_enable = 1;
    record.usb_version = 0x0200;
    record.rev5 = 0;
    return record;
}

std::size_t string_characters(const link::UsbEepromRecord &record) {
    return record.manufacturer.size() + record.description.size() + record.serial_number.size();
}

namespace {

// printf's "%0<width>X" / "%0<width>x".
std::string hex_digits(std::uint32_t value, int width, bool upper) {
    const char *digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text(static_cast<std::size_t>(width), '0');
    for (int i = width - 1; i >= 0 && value != 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = digits[value & 0xF];
    return text;
}

std::string hex4(unsigned value) {
    return "0x" + hex_digits(value & 0xFFFFu, 4, true);
}

void compare_text(std::vector<std::string> &out, const char *field, const std::string &wrote,
                  const std::string &read) {
    if (wrote != read)
        out.push_back(std::string(field) + ": wrote \"" + wrote + "\", read \"" + read + "\"");
}

} // namespace

std::vector<std::string> eeprom_differences(const link::UsbEepromRecord &written,
                                            const link::UsbEepromRecord &read,
                                            bool keeps_manufacturer_id) {
    std::vector<std::string> out;
    compare_text(out, "Manufacturer", written.manufacturer, read.manufacturer);
    const std::string expected_id =
        keeps_manufacturer_id ? written.manufacturer_id : written.serial_number.substr(0, 2);
    compare_text(out, "Manufacturer ID", expected_id, read.manufacturer_id);
    compare_text(out, "Description", written.description, read.description);
    compare_text(out, "Serial number", written.serial_number, read.serial_number);
    if (written.vendor_id != read.vendor_id)
        out.push_back("Vendor ID: wrote " + hex4(written.vendor_id) + ", read " +
                      hex4(read.vendor_id));
    if (written.product_id != read.product_id)
        out.push_back("Product ID: wrote " + hex4(written.product_id) + ", read " +
                      hex4(read.product_id));
    return out;
}

std::vector<std::string> usb_ee_viewer_lines(const link::UsbEepromRecord &r) {
    std::vector<std::string> lines;
    lines.push_back("USB EE Data Read From Serial Number " + r.serial_number);
    lines.push_back(" ");
    lines.push_back("Signature1 = 0x" + hex_digits(r.signature1, 8, true));
    lines.push_back("Signature2 = 0x" + hex_digits(r.signature2, 8, true));
    lines.push_back("Vendor ID = 0x" + hex_digits(r.vendor_id, 4, false));
    lines.push_back("Product ID = 0x" + hex_digits(r.product_id, 4, false));
    lines.push_back("Manufacturer = " + r.manufacturer);
    lines.push_back("Manufacturer ID = " + r.manufacturer_id);
    lines.push_back("Description = " + r.description);
    lines.push_back("Max Power = " + std::to_string(r.max_power) + "mA");
    lines.push_back("PnP = " + std::to_string(r.pnp));
    lines.push_back(r.self_powered != 0 ? "Self powered" : "Not self powered");
    lines.push_back(r.remote_wakeup != 0 ? "Remote wake-up" : "No remote wake-up");
    if (r.rev4 == 1) {
        lines.push_back("Rev4");
        lines.push_back("IsoIn = " + std::to_string(r.iso_in));
        lines.push_back("IsoOut = " + std::to_string(r.iso_out));
        lines.push_back(r.pull_down_enable != 0 ? "Pull down enabled" : "Pull dwon disabled");
        lines.push_back(r.ser_num_enable != 0 ? "Serial number enabled" : "Serial number disabled");
        lines.push_back(r.usb_version_enable != 0 ? "USB Version enabled" : "USB Version disabled");
        lines.push_back(r.usb_version == 0x0200 ? "USB 2" : "USB 1");
        if (r.rev5 == 1) lines.push_back("*** ERROR **** Rev 5 enabled");
    }
    return lines;
}

} // namespace meterdesk
