// The emulated USB bus: one FT232R chip per plugged device of the simulated bus, made when a
// device is first seen plugged in and given the next free address, and replaced by a new chip
// when the simulator reports a new stay on the bus (a replug, a new configuration).
#pragma once

#include "ftdi_chip.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace rfsim::usb {

class EmulatedBus {
  public:
    static EmulatedBus &instance();

    // Configures the simulated bus from RFSIM_USB once per process. False when that failed.
    bool start();

    // The chips plugged in now, in position order.
    std::vector<std::shared_ptr<Chip>> scan();

    // The test interface of usb_emulation.h. Results as there; `error` says why on failure.
    int get(int position, const std::string &key, std::string &value, std::string &error);
    int set(int position, const std::string &key, const std::string &value, std::string &error);
    void clear();

    static constexpr int bus_number = 1;

  private:
    EmulatedBus() = default;

    std::mutex mutex_; // chips_ and next_address_
    std::map<int, std::shared_ptr<Chip>> chips_;
    int next_address_ = 2;

    std::mutex states_mutex_; // states_ and everything in it
    std::map<int, PositionState> states_;

    std::once_flag started_;
    bool start_ok_ = true;
    std::string config_error_;
};

} // namespace rfsim::usb
