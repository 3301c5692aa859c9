// The bench FLASH programmer: answers the identity packet and records every other packet
// (skip, data, data word, end) framed by its header.
#pragma once

#include "reply_queue.h"
#include "sensor_firmware.h"
#include "settings.h"

#include <string>

namespace rfsim {

class ProgrammerFirmware {
  public:
    ProgrammerFirmware(const DeviceSettings &settings, ReplyQueue &replies)
        : settings_(settings), replies_(replies) {}

    void receive(const uint8_t *data, size_t count, Clock::time_point now);
    void purge() { pending_.clear(); }
    // Plugged in again: nothing pending, no packets counted.
    void power_on() {
        pending_.clear();
        received_ = 0;
    }
    // One packet per line as upper-case hex bytes separated by blanks ("08 87 00 82").
    std::string packets() const { return packets_.joined(); }
    // `fault = unplug@N`: N packets have been received.
    bool unplug_due() const {
        return settings_.unplug_after_packets >= 0 &&
               received_ >= static_cast<unsigned long long>(settings_.unplug_after_packets);
    }

  private:
    void frame(Clock::time_point now);

    const DeviceSettings &settings_;
    ReplyQueue &replies_;
    std::string pending_;
    LineLog packets_{65536};
    unsigned long long received_ = 0; // packets framed since power-up, the identity query too
};

} // namespace rfsim
