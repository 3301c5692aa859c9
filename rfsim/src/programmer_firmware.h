// The bench FLASH programmer: answers the identity packet and records every other packet
// (skip, data, data word, end) framed by its header.
#pragma once

#include "fault.h"
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
    // `fault = unplug@N`, counted from the moment the key is set.
    void arm_fault(const FaultPlan &plan) {
        fault_.arm(plan);
        unplug_due_ = false;
    }
    // Plugged in again: nothing pending, and a fault already spent stays so.
    void power_on() {
        pending_.clear();
        fault_.disarm();
        unplug_due_ = false;
    }
    // One packet per line as upper-case hex bytes separated by blanks ("08 87 00 82").
    std::string packets() const { return packets_.joined(); }
    // `fault = unplug@N`: the N-th packet (the identity query counts too) has been taken; the
    // bridge is pulled after it.
    bool unplug_due() const { return unplug_due_; }

  private:
    void frame(Clock::time_point now);

    const DeviceSettings &settings_;
    ReplyQueue &replies_;
    std::string pending_;
    LineLog packets_{65536};
    FaultCounter fault_;
    bool unplug_due_ = false;
};

} // namespace rfsim
