// One simulated FTDI device on the bus: its configuration, bridge EEPROM, receive queue and the
// firmware behind the bridge (sensor, programmer, or nothing that answers).
#pragma once

#include "bridge_eeprom.h"
#include "programmer_firmware.h"
#include "reply_queue.h"
#include "rfsim/rfsim_bus.h"
#include "sensor_firmware.h"
#include "settings.h"
#include "stored_data.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rfsim {

class SimDevice {
  public:
    SimDevice(DeviceSettings settings, int position, Clock::time_point now);
    SimDevice(const SimDevice &) = delete;
    SimDevice &operator=(const SimDevice &) = delete;

    const DeviceSettings &settings() const { return settings_; }
    bool plugged() const { return settings_.plugged; }
    // Unique in the process to one stay on the bus: renewed on every unplug (and new with every
    // configuration), so that handles opened before it fail.
    uint64_t plug_generation() const { return generation_; }

    bool opened = false;
    ReplyQueue replies;

    void write(const uint8_t *data, size_t count, Clock::time_point now);
    void purge();

    // rfsim_set / rfsim_get. `error` names the key on failure.
    bool set(std::string_view key, std::string_view value, Clock::time_point now,
             std::string &error);
    std::optional<std::string> get(std::string_view key) const;
    // The date stamp a "stamp.*" key names, or nullptr.
    std::string *stamp_field(std::string_view key);

    const rfsim_eeprom &eeprom() const { return eeprom_; }
    void program_eeprom(const rfsim_eeprom &in);

    // The EEPROM as a driver reads and programs it, in the configured `eeprom` mode: 0, or
    // RFSIM_EE_ABSENT, RFSIM_EE_BLANK (read), RFSIM_EE_WRITE_FAILED (program).
    int read_eeprom(rfsim_eeprom &out) const;
    int program_eeprom_as_chip(const rfsim_eeprom &in);

    // The packet limit of `fault = unplug@N` was reached: the bus pulls the device.
    bool unplug_due() const { return programmer_.unplug_due(); }
    void unplug();

    // The same EEPROM in the chip's layout, written word by word as the chip is. The record
    // follows the image whenever a write leaves it with a valid checksum.
    const EepromImage &eeprom_image() const { return ee_image_; }
    void write_eeprom_word(std::size_t word, uint16_t value);
    void erase_eeprom();

  private:
    void rebuild(unsigned effects);
    // The device has been unplugged: handles opened before fail, queued replies are dropped.
    void leave_bus();
    void fill_eeprom();
    void take_record(const rfsim_eeprom &in);

    DeviceSettings settings_;
    int position_;
    uint64_t generation_;
    StoredData store_;
    SensorFirmware sensor_;
    ProgrammerFirmware programmer_;
    rfsim_eeprom eeprom_{};
    EepromImage ee_image_{};
};

} // namespace rfsim
