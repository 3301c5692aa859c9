// The "sim" link backend: link::Bus and link::Device over librfsim's bus interface. A -1 from
// the simulator means the device has gone (or was never there), which the D2XX-shaped callers
// know as an I/O error or "device not found".
#include "link/backends.h"
#include "link/link_error.h"

#include "rfsim/rfsim_bus.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace rfsense::link {

namespace {

// The simulator's word for a device's state, or "" when the device has gone.
std::string device_key(int handle, const char *key) {
    char value[64] = {};
    return rfsim_bus_handle_get(handle, key, value, sizeof value) < 0 ? std::string() : value;
}

uint32_t chip_type(const std::string &chip) {
    if (chip == "ft2232h") return kChipFt2232h;
    if (chip == "ft232h") return kChipFt232h;
    if (chip == "ftx") return kChipFtx;
    return kChipFt232r;
}

Status failed(Status status, std::string sentence) {
    set_link_error(std::move(sentence));
    return status;
}

Status gone() {
    return failed(Status::io_error,
                  "Communication with the USB bridge failed; the device may have been unplugged.");
}

Status succeeded() {
    clear_link_error();
    return Status::ok;
}

template <size_t N>
void copy_field(char (&field)[N], const std::string &text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

template <size_t N>
std::string field_text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

int clamp_count(uint32_t count) {
    return static_cast<int>(std::min<uint32_t>(count, std::numeric_limits<int>::max()));
}

class SimDevice final : public Device {
  public:
    explicit SimDevice(int handle) : handle_(handle) {}
    ~SimDevice() override { rfsim_bus_close(handle_); }

    Status info(DeviceInfo &out) override {
        char serial[64] = {};
        char description[128] = {};
        if (rfsim_bus_handle_info(handle_, serial, sizeof serial, description,
                                  sizeof description) != 0)
            return gone();
        // The ids as the bridge enumerates; an unreadable EEPROM leaves the chip's defaults.
        rfsim_eeprom ee{};
        ee.vendor_id = 0x0403;
        ee.product_id = 0x6001;
        rfsim_eeprom read{};
        if (rfsim_bus_ee_read(handle_, &read) == 0) ee = read;
        out.type = chip_type(device_key(handle_, "chip"));
        out.id = (ee.vendor_id & 0xFFFFu) << 16 | (ee.product_id & 0xFFFFu);
        out.serial = serial;
        out.description = description;
        return succeeded();
    }

    Status purge() override { return rfsim_bus_purge(handle_) == 0 ? succeeded() : gone(); }

    Status write(const void *data, uint32_t count, uint32_t &written) override {
        written = 0;
        const int n = rfsim_bus_write(handle_, data, clamp_count(count));
        if (n < 0) return gone();
        written = static_cast<uint32_t>(n);
        return succeeded();
    }

    Status read(void *buffer, uint32_t count, uint32_t &got) override {
        got = 0;
        const int n = rfsim_bus_read(handle_, buffer, clamp_count(count));
        if (n < 0) return gone();
        got = static_cast<uint32_t>(n);
        return succeeded();
    }

    Status queue_status(uint32_t &waiting) override {
        return wait_queue(std::chrono::milliseconds(0), waiting);
    }

    Status wait_queue(std::chrono::milliseconds timeout, uint32_t &waiting) override {
        waiting = 0;
        const auto ms = std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0,
                                                                   std::numeric_limits<int>::max());
        const int n = rfsim_bus_wait(handle_, static_cast<int>(ms));
        if (n < 0) return gone();
        waiting = static_cast<uint32_t>(n);
        return succeeded();
    }

    Status ee_read(UsbEepromRecord &out) override {
        rfsim_eeprom ee{};
        switch (rfsim_bus_ee_read(handle_, &ee)) {
        case 0:
            break;
        case RFSIM_EE_ABSENT:
            return failed(Status::eeprom_not_present, status_text(Status::eeprom_not_present));
        case RFSIM_EE_BLANK:
            return failed(Status::eeprom_read_failed,
                          "The configuration EEPROM of the USB bridge is blank or damaged (its "
                          "checksum is wrong).");
        default:
            return gone();
        }
        out.vendor_id = static_cast<uint16_t>(ee.vendor_id);
        out.product_id = static_cast<uint16_t>(ee.product_id);
        out.manufacturer = field_text(ee.manufacturer);
        out.manufacturer_id = field_text(ee.manufacturer_id);
        out.description = field_text(ee.description);
        out.serial_number = field_text(ee.serial);
        out.max_power = static_cast<uint16_t>(ee.max_power);
        out.pnp = ee.pnp;
        out.self_powered = ee.self_powered;
        out.remote_wakeup = ee.remote_wakeup;
        out.rev4 = ee.rev4;
        out.iso_in = ee.iso_in;
        out.iso_out = ee.iso_out;
        out.pull_down_enable = ee.pull_down_enable;
        out.ser_num_enable = ee.ser_num_enable;
        out.usb_version_enable = ee.usb_version_enable;
        out.usb_version = static_cast<uint16_t>(ee.usb_version);
        out.rev5 = ee.rev5;
        return succeeded();
    }

    Status ee_program(const UsbEepromRecord &record) override {
        rfsim_eeprom ee{};
        // Text that does not fit the bridge's string descriptors is refused, not cut.
        if (record.manufacturer.size() >= sizeof ee.manufacturer ||
            record.manufacturer_id.size() >= sizeof ee.manufacturer_id ||
            record.description.size() >= sizeof ee.description ||
            record.serial_number.size() >= sizeof ee.serial)
            return failed(Status::invalid_parameter,
                          "Manufacturer (31), description (63) or serial number (15 characters) "
                          "is too long for the bridge's EEPROM.");
        ee.vendor_id = record.vendor_id;
        ee.product_id = record.product_id;
        copy_field(ee.manufacturer, record.manufacturer);
        copy_field(ee.manufacturer_id, record.manufacturer_id);
        copy_field(ee.description, record.description);
        copy_field(ee.serial, record.serial_number);
        ee.max_power = record.max_power;
        ee.pnp = record.pnp;
        ee.self_powered = record.self_powered;
        ee.remote_wakeup = record.remote_wakeup;
        ee.rev4 = record.rev4;
        ee.iso_in = record.iso_in;
        ee.iso_out = record.iso_out;
        ee.pull_down_enable = record.pull_down_enable;
        ee.ser_num_enable = record.ser_num_enable;
        ee.usb_version_enable = record.usb_version_enable;
        ee.usb_version = record.usb_version;
        ee.rev5 = record.rev5;
        switch (rfsim_bus_ee_program(handle_, &ee)) {
        case 0:
            return succeeded();
        case RFSIM_EE_ABSENT:
            return failed(Status::eeprom_not_present, status_text(Status::eeprom_not_present));
        case RFSIM_EE_WRITE_FAILED:
            return failed(Status::eeprom_write_failed, status_text(Status::eeprom_write_failed));
        default:
            return gone();
        }
    }

    EepromSupport eeprom_support() override {
        const std::string chip = device_key(handle_, "chip");
        const std::string eeprom = device_key(handle_, "eeprom");
        if (chip != "ft232r") return {};
        // A `stored` EEPROM keeps every field whole, as the record defines them.
        if (eeprom == "stored" || eeprom == "write_fails") return {true, 31 + 63 + 15, true};
        return {true, 48, false};
    }

    std::string last_error() const override { return last_link_error(); }

  private:
    int handle_;
};

class SimBus final : public Bus {
  public:
    explicit SimBus(bool usable) : usable_(usable) {}

    Status list_devices(uint32_t &count) override {
        count = 0;
        if (!usable_) return Status::ok;
        const int n = rfsim_bus_count();
        if (n < 0) return Status::io_error;
        count = static_cast<uint32_t>(n);
        return Status::ok;
    }

    Status open(uint32_t index, std::unique_ptr<Device> &out) override {
        out.reset();
        if (!usable_ || index > static_cast<uint32_t>(std::numeric_limits<int>::max()))
            return Status::device_not_found;
        const int handle = rfsim_bus_open(static_cast<int>(index));
        if (handle < 0) return Status::device_not_found;
        out = std::make_unique<SimDevice>(handle);
        return Status::ok;
    }

  private:
    bool usable_; // false when the configuration could not be used: the bus is then empty
};

} // namespace

std::unique_ptr<Bus> make_sim_bus(const std::string &config, std::string &error) {
    error.clear();
    if (config.empty()) return std::make_unique<SimBus>(true);
    std::string text;
    if (config != "default") {
        std::ifstream file(config, std::ios::binary);
        if (!file) {
            error = "cannot read the simulator configuration \"" + config + "\"";
            return std::make_unique<SimBus>(false);
        }
        std::ostringstream content;
        content << file.rdbuf();
        text = content.str();
    }
    // The sensor library and the program each hold a copy of this backend; the first to ask
    // builds the bus, and the other shares it rather than replacing it under an open session.
    if (rfsim_configure_once(text.c_str()) < 0) {
        error = "simulator configuration \"" + config + "\": " + rfsim_error();
        return std::make_unique<SimBus>(false);
    }
    return std::make_unique<SimBus>(true);
}

} // namespace rfsense::link
