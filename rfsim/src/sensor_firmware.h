// The sensor's microcontroller as the host sees it over the link: it parses complete commands
// from the byte stream and queues each reply with the time it becomes visible. Passive: it runs
// only inside the bus calls (under the bus lock), and its clock is the caller's.
#pragma once

#include "fault.h"
#include "reply_queue.h"
#include "settings.h"
#include "stored_data.h"

#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <string_view>
#include <utility>

namespace rfsim {

// Keeps the most recent `limit` lines.
class LineLog {
  public:
    explicit LineLog(size_t limit) : limit_(limit) {}
    void add(std::string line);
    std::string joined() const; // one per line, each ending in "\n"
    void clear() { lines_.clear(); }

  private:
    size_t limit_;
    std::deque<std::string> lines_;
};

// Printable ASCII as is, every other byte (and the backslash) as \xHH.
std::string escape_bytes(std::string_view bytes);

class SensorFirmware {
  public:
    SensorFirmware(const DeviceSettings &settings, StoredData &store, ReplyQueue &replies);

    // Bytes written by the host at `now`.
    void receive(const uint8_t *data, size_t count, Clock::time_point now);
    // Power-up (plug-in): conversion settings, pointers and modes back to their reset state.
    void power_on(Clock::time_point now);
    // The host purged the queues: any half-received command is dropped.
    void purge();
    // The store or a setting the measurement depends on has changed.
    void invalidate_calibration() { calibration_valid_ = false; }
    void reseed(uint64_t seed) { rng_.seed(seed); }
    // Starts counting commands for a planned fault (key `fault`).
    void arm_fault(const FaultPlan &plan) { fault_.arm(plan); }
    // Whether an `unplug` fault has struck since the last call: the device must leave the bus.
    bool take_unplug_request() { return std::exchange(unplug_requested_, false); }

    int range() const;
    const std::string &last_command() const { return last_command_; }
    std::string commands() const { return commands_.joined(); }
    std::string firmware_lines() const { return firmware_lines_.joined(); }

  private:
    void handle_line(std::string_view line, Clock::time_point now);
    void handle_binary(std::string_view bytes, Clock::time_point now);
    void handle_download_line(std::string_view line, Clock::time_point now);
    bool handle_stamp(std::string_view line, Clock::time_point now);
    void record(std::string_view command);
    // Counts one complete command against the fault plan; false when the device is to be
    // unplugged instead of handling it.
    bool count_command();
    // Whether this command is the write that a `corrupt` fault changes; the fault is spent.
    bool corrupt_this_write();
    void reply(std::string bytes, Clock::time_point now);
    void reply_conversion(Clock::time_point now);
    void restart_conversions(Clock::time_point now);
    uint32_t convert_once();
    const Calibration &calibration();
    FlashArea *selected_area();
    // Whether the calibration store takes the writes it receives (key store_writes).
    bool takes_writes() const { return settings_.store_writes != StoreWrites::ignored; }

    const DeviceSettings &settings_;
    StoredData &store_;
    ReplyQueue &replies_;
    std::mt19937_64 rng_;

    // Command stream state.
    std::string line_;
    bool line_overflow_ = false;
    std::string binary_;
    size_t binary_expected_ = 0;
    bool downloading_ = false;

    // Planned fault (key `fault`) and what it means for the command being handled.
    FaultCounter fault_;
    FaultKind current_fault_ = FaultKind::none;
    bool unplug_requested_ = false;

    // Conversion state.
    bool reset_seen_ = false;
    int gain_ = 2;
    int filter_command_ = 13;
    bool high_reference_ = false;
    int selected_area_ = 0; // 2, 3, 4 or 0 for none
    bool triggered_ = false;
    Clock::time_point busy_until_{};
    Clock::time_point conversions_start_{};
    int64_t last_conversion_ = -1;

    bool calibration_valid_ = false;
    Calibration calibration_;

    std::string last_command_;
    LineLog commands_{256};
    LineLog firmware_lines_{8192};
};

} // namespace rfsim
