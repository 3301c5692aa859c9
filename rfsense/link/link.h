// The link to FTDI USB-serial bridges, shaped like the vendor's D2XX driver interface so that the
// library and the factory tools keep its operations and results. Two backends sit behind it:
// real bridges through libftdi1, and the simulated bus of librfsim. The environment chooses one
// per process (see active_bus()).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace rfsense::link {

// D2XX status values (0 = success), so callers and messages speak the driver's language.
enum class Status : int {
    ok = 0,
    invalid_handle = 1,
    device_not_found = 2,
    device_not_opened = 3,
    io_error = 4,
    insufficient_resources = 5,
    invalid_parameter = 6,
    eeprom_read_failed = 11,
    eeprom_write_failed = 12,
    eeprom_not_present = 15,
    device_list_not_ready = 17,
    other_error = 18,
};

// A clear sentence for a status, never a bare number.
const char *status_text(Status status);

struct DeviceInfo {
    uint32_t type = 0; // bridge chip type (FT232R and kin)
    uint32_t id = 0;   // vendor id << 16 | product id
    std::string serial;
    std::string description;
};

// The bridge's configuration EEPROM, field for field as the factory tool fills it.
struct UsbEepromRecord {
    uint32_t signature1 = 0x00000000;
    uint32_t signature2 = 0xFFFFFFFF;
    uint32_t version = 0;
    uint16_t vendor_id = 0x0403;
    uint16_t product_id = 0x6001;
    std::string manufacturer;    // at most 31 characters
    std::string manufacturer_id; // at most 15 characters
    std::string description;     // at most 63 characters
    std::string serial_number;   // at most 15 characters
    uint16_t max_power = 0;      // mA
    uint8_t pnp = 0;
    uint8_t self_powered = 0;
    uint8_t remote_wakeup = 0;
    uint8_t rev4 = 0;
    uint8_t iso_in = 0;
    uint8_t iso_out = 0;
    uint8_t pull_down_enable = 0;
    uint8_t ser_num_enable = 0;
    uint8_t usb_version_enable = 0;
    uint16_t usb_version = 0;
    uint8_t rev5 = 0;
};

// D2XX device type numbers of the bridge chips.
inline constexpr uint32_t kChipFt232r = 5;
inline constexpr uint32_t kChipFt2232h = 6;
inline constexpr uint32_t kChipFt232h = 8;
inline constexpr uint32_t kChipFtx = 9;

// What this link layer can do with a bridge's configuration EEPROM.
struct EepromSupport {
    // The layer programs this bridge's EEPROM and reads it back for verification (the chips
    // whose layout it knows: the FT232R of the sensors).
    bool programmable = false;
    // Characters the manufacturer, description and serial strings may hold together.
    std::size_t string_characters = 0;
    // The EEPROM keeps the manufacturer id as a field of its own; otherwise it reads back as
    // the serial number's first two characters.
    bool keeps_manufacturer_id = false;
};

// One opened bridge. Destroying it closes the device (FT_Close). Every operation is safe to call
// from several threads; a failure of queue_status or wait_queue means the device has gone.
class Device {
  public:
    virtual ~Device() = default;

    virtual Status info(DeviceInfo &out) = 0;
    // Empties both the receive and the transmit queue.
    virtual Status purge() = 0;
    // Sends the bytes in order.
    virtual Status write(const void *data, uint32_t count, uint32_t &written) = 0;
    // Copies up to `count` bytes that have already arrived; never waits.
    virtual Status read(void *buffer, uint32_t count, uint32_t &got) = 0;
    // Number of received bytes waiting.
    virtual Status queue_status(uint32_t &waiting) = 0;
    // Like queue_status, but first waits up to `timeout` for at least one byte to arrive, so a
    // reader never has to sleep a fixed time per poll. waiting == 0 on return means time-out.
    virtual Status wait_queue(std::chrono::milliseconds timeout, uint32_t &waiting) = 0;
    virtual Status ee_read(UsbEepromRecord &out) = 0;
    virtual Status ee_program(const UsbEepromRecord &record) = 0;
    virtual EepromSupport eeprom_support() = 0;

    // The sentence of the calling thread's last failed operation of this device's backend
    // (last_link_error() as that backend's copy of the layer holds it). A device lent by the
    // sensor library lives in the library's copy of the layer; asking the device, not the
    // caller's own last_link_error(), brings its sentence across.
    virtual std::string last_error() const = 0;

    Device() = default;
    Device(const Device &) = delete;
    Device &operator=(const Device &) = delete;
};

// The attached bridges, numbered from 0 in a stable order.
class Bus {
  public:
    virtual ~Bus() = default;
    // FT_ListDevices with the "number only" flag.
    virtual Status list_devices(uint32_t &count) = 0;
    // FT_Open by index.
    virtual Status open(uint32_t index, std::unique_ptr<Device> &out) = 0;

    Bus() = default;
    Bus(const Bus &) = delete;
    Bus &operator=(const Bus &) = delete;
};

// The bus this process uses, chosen once from the environment:
//   RFSENSE_SIM=<config file> or RFSENSE_SIM=default  -> the simulated bus (configured from it)
//   RFSENSE_LINK=sim                                   -> the simulated bus, default config
//   RFSENSE_LINK=ftdi or unset                         -> real bridges through libftdi1
Bus &active_bus();

// Name of the chosen backend ("ftdi" or "sim"), and a message if the simulator's configuration
// file could not be used (empty when all is well).
const char *active_backend_name();
const std::string &active_bus_error();

} // namespace rfsense::link
