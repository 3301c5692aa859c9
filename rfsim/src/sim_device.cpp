#include "sim_device.h"

#include "model_table.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace rfsim {

namespace {

template <size_t N>
void copy_text(char (&field)[N], std::string_view text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

template <size_t N>
std::string field_text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

std::string hex(const uint8_t *bytes, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        char h[4];
        std::snprintf(h, sizeof h, "%02X", bytes[i]);
        out += h;
    }
    return out;
}

std::string area_hex(const FlashArea &area) {
    return hex(area.bytes.data(), area.used);
}

uint64_t new_plug_id() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1);
}

} // namespace

SimDevice::SimDevice(DeviceSettings settings, int position, Clock::time_point now)
    : settings_(std::move(settings)), position_(position), generation_(new_plug_id()),
      sensor_(settings_, store_, replies), programmer_(settings_, replies) {
    rebuild(effect_names | effect_cal_factors | effect_temperature | effect_linearity |
            effect_equation | effect_diode | effect_eeprom);
    // Each device draws its own noise sequence from the common seed.
    sensor_.reseed(settings_.seed + static_cast<uint64_t>(position_));
    sensor_.power_on(now);
    sensor_.arm_fault(settings_.fault);
    programmer_.arm_fault(settings_.fault);
}

void SimDevice::leave_bus() {
    generation_ = new_plug_id();
    opened = false;
    replies.clear();
}

void SimDevice::fill_eeprom() {
    eeprom_ = rfsim_eeprom{};
    eeprom_.vendor_id = 0x0403;
    eeprom_.product_id = 0x6001;
    const std::string &serial = settings_.serial;
    if (settings_.kind == Kind::sensor) {
        if (serial.starts_with("206")) {
            copy_text(eeprom_.manufacturer, "Marrick");
            copy_text(eeprom_.manufacturer_id, "QJ");
        } else if (serial.starts_with("XR")) {
            copy_text(eeprom_.manufacturer, "Zyn Quorix");
            copy_text(eeprom_.manufacturer_id, "XR");
        } else {
            copy_text(eeprom_.manufacturer, "Quorix Techn'gy");
            copy_text(eeprom_.manufacturer_id, "RX");
        }
    } else {
        copy_text(eeprom_.manufacturer, "FTDI");
        copy_text(eeprom_.manufacturer_id, "FT");
    }
    copy_text(eeprom_.description, settings_.description);
    copy_text(eeprom_.serial, settings_.serial);
    eeprom_.max_power = 24;
    eeprom_.pnp = 1;
    eeprom_.rev4 = 1;
    eeprom_.ser_num_enable = 1; // the bridge presents its serial number
    eeprom_.usb_version_enable = 1;
    eeprom_.usb_version = 0x0200;
    ee_image_ = encode_eeprom(eeprom_);
}

void SimDevice::rebuild(unsigned effects) {
    const int model = model_from_description(settings_.description);
    if ((effects & effect_names) != 0) fill_eeprom();
    if ((effects & (effect_names | effect_eeprom)) != 0 && settings_.eeprom == EepromMode::blank)
        erase_eeprom();
    if ((effects & effect_cal_factors) != 0)
        store_cal_factors(store_, effective_cal_factors(settings_, model), settings_.cft);
    if ((effects & effect_temperature) != 0) store_temperature_table(store_, settings_.tcd);
    if ((effects & effect_linearity) != 0) store_linearity_table(store_, settings_.lin);
    if ((effects & effect_equation) != 0)
        store_equation(store_, settings_.equation, settings_.equation_checksum_ok);
    if ((effects & effect_diode) != 0) {
        store_.diode_serial = settings_.diode_serial;
        store_.k_factor = settings_.k_factor;
    }
    sensor_.invalidate_calibration();
}

void SimDevice::write(const uint8_t *data, size_t count, Clock::time_point now) {
    switch (settings_.kind) {
    case Kind::sensor:
        sensor_.receive(data, count, now);
        if (sensor_.take_unplug_request()) {
            settings_.plugged = false;
            leave_bus();
        }
        break;
    case Kind::programmer:
        programmer_.receive(data, count, now);
        if (programmer_.unplug_due()) unplug();
        break;
    case Kind::other:
        break;
    }
}

void SimDevice::purge() {
    replies.clear();
    sensor_.purge();
    programmer_.purge();
}

bool SimDevice::set(std::string_view key, std::string_view value, Clock::time_point now,
                    std::string &error) {
    if (std::string *stamp = stamp_field(key)) {
        // A stamp as the sensor would hold it: six characters, or none when unset.
        if (!(value.empty() || value.size() == 6) ||
            !std::all_of(value.begin(), value.end(),
                         [](char c) { return c >= 0x20 && c < 0x7F; })) {
            error = "bad value '" + std::string(value) + "' for key '" + std::string(key) + "'";
            return false;
        }
        *stamp = value;
        return true;
    }
    const bool was_plugged = settings_.plugged;
    auto effects = set_key(settings_, key, value, error);
    if (!effects) return false;
    resolve_defaults(settings_, position_);
    rebuild(*effects);
    if ((*effects & effect_seed) != 0)
        sensor_.reseed(settings_.seed + static_cast<uint64_t>(position_));
    if ((*effects & effect_fault) != 0) {
        sensor_.arm_fault(settings_.fault);
        programmer_.arm_fault(settings_.fault);
    }
    if (was_plugged && !settings_.plugged) {
        leave_bus();
    } else if (!was_plugged && settings_.plugged) {
        replies.clear();
        sensor_.power_on(now);
        programmer_.power_on();
    }
    return true;
}

std::string *SimDevice::stamp_field(std::string_view key) {
    if (key == "stamp.eq") return &store_.stamp_equation;
    if (key == "stamp.cf") return &store_.stamp_cal_factors;
    if (key == "stamp.lc") return &store_.stamp_linearity;
    return nullptr;
}

std::optional<std::string> SimDevice::get(std::string_view key) const {
    if (key == "diode_serial") return std::to_string(store_.diode_serial);
    if (key == "k_factor") return std::to_string(store_.k_factor);
    if (auto value = get_key(settings_, key)) return value;
    if (key == "area.cft") return area_hex(store_.cal_factors);
    if (key == "area.tcd") return area_hex(store_.temperature);
    if (key == "area.lin") return area_hex(store_.linearity);
    if (key == "area.eq")
        return hex(store_.equation.data(), store_.equation.size()) +
               hex(store_.equation_checksum.data(), store_.equation_checksum.size());
    if (key == "last_command") return sensor_.last_command();
    if (key == "commands") return sensor_.commands();
    if (key == "firmware_lines") return sensor_.firmware_lines();
    if (key == "packets") return programmer_.packets();
    if (key == "stamp.eq") return store_.stamp_equation;
    if (key == "stamp.cf") return store_.stamp_cal_factors;
    if (key == "stamp.lc") return store_.stamp_linearity;
    if (key == "trigger_level") return std::to_string(store_.trigger_level);
    if (key == "range") return std::to_string(sensor_.range());
    if (key == "model") return std::to_string(model_from_description(settings_.description));
    if (key == "plug_id") return std::to_string(generation_);
    if (key == "eeprom.image") return hex(ee_image_.data(), ee_image_.size());
    return std::nullopt;
}

void SimDevice::program_eeprom(const rfsim_eeprom &in) {
    take_record(in);
    // Chip options that the record does not hold stay as they were (unless erased).
    ee_image_ = encode_eeprom(eeprom_, eeprom_checksum_ok(ee_image_) ? &ee_image_ : nullptr);
}

void SimDevice::unplug() {
    if (!settings_.plugged) return;
    settings_.plugged = false;
    leave_bus();
}

int SimDevice::read_eeprom(rfsim_eeprom &out) const {
    switch (settings_.eeprom) {
    case EepromMode::absent:
        return RFSIM_EE_ABSENT;
    case EepromMode::stored:
    case EepromMode::write_fails:
        out = eeprom_;
        return 0;
    case EepromMode::ft232r:
    case EepromMode::blank:
    case EepromMode::corrupts:
        break;
    }
    // What the chip holds, as a driver decodes it (an erased image has no valid checksum).
    auto record = decode_eeprom(ee_image_, eeprom_);
    if (!record) return RFSIM_EE_BLANK;
    out = *record;
    return 0;
}

int SimDevice::program_eeprom_as_chip(const rfsim_eeprom &in) {
    switch (settings_.eeprom) {
    case EepromMode::absent:
        return RFSIM_EE_ABSENT;
    case EepromMode::write_fails:
        return RFSIM_EE_WRITE_FAILED;
    case EepromMode::stored:
        program_eeprom(in);
        return 0;
    case EepromMode::ft232r:
    case EepromMode::blank:
    case EepromMode::corrupts:
        break;
    }
    rfsim_eeprom record = in;
    // The driver presents a serial number whenever one is given.
    if (record.serial[0] != '\0') record.ser_num_enable = 1;
    if (settings_.eeprom == EepromMode::corrupts && record.serial[0] != '\0') {
        char &last = record.serial[strnlen(record.serial, sizeof record.serial) - 1];
        last = static_cast<char>(last ^ 0x01); // one bit that did not take
    }
    program_eeprom(record);
    // The bus reports what the chip now holds (strings cut to its space).
    if (auto held = decode_eeprom(ee_image_, eeprom_)) take_record(*held);
    return 0;
}

void SimDevice::write_eeprom_word(std::size_t word, uint16_t value) {
    if (word >= ee_image_.size() / 2) return;
    ee_image_[2 * word] = static_cast<uint8_t>(value & 0xFF);
    ee_image_[2 * word + 1] = static_cast<uint8_t>(value >> 8);
    if (auto record = decode_eeprom(ee_image_, eeprom_)) take_record(*record);
}

void SimDevice::erase_eeprom() {
    ee_image_.fill(0xFF);
}

void SimDevice::take_record(const rfsim_eeprom &in) {
    eeprom_ = in;
    // Text fields always end inside their buffers.
    copy_text(eeprom_.manufacturer, field_text(in.manufacturer));
    copy_text(eeprom_.manufacturer_id, field_text(in.manufacturer_id));
    copy_text(eeprom_.description, field_text(in.description));
    copy_text(eeprom_.serial, field_text(in.serial));
    // The bridge reports the new strings from now on; the sensor's own store is untouched.
    settings_.description = eeprom_.description;
    settings_.description_given = true;
    settings_.serial = eeprom_.serial;
    settings_.serial_given = true;
    sensor_.invalidate_calibration();
}

} // namespace rfsim
