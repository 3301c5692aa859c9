// The contents the USB EE programmer writes into a sensor's bridge EEPROM: the model table of
// the description list, the brand rows (manufacturer, manufacturer id, serial prefix and rule),
// the record itself, the serial re-prefixing of a brand change, the viewer's lines, and the
// comparison of what was written with what reads back.
#pragma once

#include "link/link.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk {

// The description list, index 0..10; 6..10 are the second brand's models.
const std::vector<std::string> &usb_ee_model_table();
inline constexpr int kFirstMarrickModel = 6;

enum class BrandRow { kMarrick, kZynQuorix, kQuorixTechnology };

struct BrandRowText {
    const char *manufacturer;
    const char *manufacturer_id;
    const char *serial_prefix;
    const char *invalid_serial; // the refusal of a serial that breaks the row's rule
};

BrandRow brand_row(int model_entry, bool zyn_label);
const BrandRowText &brand_row_text(BrandRow row);

inline constexpr std::size_t kEeSerialChars = 15;

// The serial edit after a change of row: the old prefix (two characters when it begins with
// "X", else three, never more than the text holds) replaced by the row's, cut to 15 characters.
std::string reprefix_serial(std::string_view serial, BrandRow row);

// The row's rule: "206" and at least 4 characters; "XR" and exactly 8; "RXZ" and at least 4;
// letters and digits only, at most 15.
bool serial_fits_row(std::string_view serial, BrandRow row);

// The record of the programmer: the fixed fields, the row's manufacturer and id, the model's
// description and the serial.
rfsense::link::UsbEepromRecord usb_ee_record(BrandRow row, int model_entry,
                                             std::string_view serial);

// Characters the three strings take in the EEPROM.
std::size_t string_characters(const rfsense::link::UsbEepromRecord &record);

// The fields that read back differently, one line each ("Serial number: wrote "...", read
// "...""); empty when the EEPROM holds what was written. Without a manufacturer-id field the id
// reads back as the serial number's first two characters.
std::vector<std::string> eeprom_differences(const rfsense::link::UsbEepromRecord &written,
                                            const rfsense::link::UsbEepromRecord &read,
                                            bool keeps_manufacturer_id);

// The viewer's lines for an EEPROM read back.
std::vector<std::string> usb_ee_viewer_lines(const rfsense::link::UsbEepromRecord &record);

} // namespace meterdesk
