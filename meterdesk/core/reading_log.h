// ReadingLog: continuous logging of accepted readings to a CSV file, shared by the meter and
// the rfsense command (which compiles this file and durable_file.cpp).
//
// Rows are "timestamp,value,unit,over_range": the ISO 8601 local time with milliseconds and UTC
// offset taken when the reading was accepted, the value ("%.3f" for dBm, dB, %, 'C and 'F;
// "%.6e" for W and V), the unit and 0 or 1. A new or empty file gets the header line first; a
// file that starts with the header is appended to; any other file is refused untouched.
//
// The producer (the measurement loop) hands readings to a fixed ring of `capacity` slots and
// never waits or allocates. A writer thread writes whole lines, forces them to the disk at least
// every `sync_interval` and at stop, so a crash, a kill or an unplug loses at most the last
// second. A failed write or a full ring cuts the file back to its last complete line and stops
// the log; the failure is reported once through the failure callback.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace meterdesk {

enum class LogUnit : std::uint8_t { kDbm, kDb, kWatts, kPercent, kVolts, kCelsius, kFahrenheit };

inline constexpr const char *kLogHeader = "timestamp,value,unit,over_range";

const char *log_unit_text(LogUnit unit);

struct LogFailure {
    std::string path;
    std::string reason; // the system's reason, or why the log stopped
    std::uint64_t saved = 0;
};

struct ReadingLogOptions {
    std::size_t capacity = 65536; // readings; 60 s at 500 readings/s need 30000
    std::chrono::milliseconds sync_interval{500};
    std::chrono::milliseconds writer_pace{50}; // how often the writer drains the ring
};

class ReadingLog {
  public:
    explicit ReadingLog(ReadingLogOptions options = {});
    ~ReadingLog(); // stop()
    ReadingLog(const ReadingLog &) = delete;
    ReadingLog &operator=(const ReadingLog &) = delete;

    // Opens `path` and starts the writer. Nothing when started; else the reason it was not (the
    // system's, or that the file is not a data log), and the file is left as it was.
    std::optional<std::string> start(const std::string &path);

    // Queues one reading taken now. Never waits or allocates; false when the log is not running
    // or the ring is full (the log then stops with a failure).
    bool log(double value, LogUnit unit, bool over_range) noexcept;

    // Writes what is queued, forces it to the disk and closes the file. Safe to call twice.
    void stop();

    bool running() const { return running_.load(std::memory_order_acquire); }
    std::string path() const;
    std::uint64_t accepted() const { return accepted_.load(std::memory_order_relaxed); }
    std::uint64_t saved() const { return saved_.load(std::memory_order_acquire); }
    // Readings queued and not yet written.
    std::uint64_t queued() const {
        return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire);
    }
    std::size_t capacity() const { return ring_.size(); }
    std::optional<LogFailure> failure() const;

    // Called once, on the writer thread, after a failure closed the file. Must not block on the
    // thread that calls stop().
    void set_on_failure(std::function<void(const LogFailure &)> on_failure);

    // The row of one reading, as the file holds it (without the line end).
    static std::string row(std::chrono::system_clock::time_point taken, double value, LogUnit unit,
                           bool over_range);

  private:
    struct Slot {
        std::int64_t taken_ms; // milliseconds since the epoch
        double value;
        LogUnit unit;
        bool over_range;
    };
    void write_loop();
    bool drain(std::string &buffer);
    void fail(std::string reason);

    ReadingLogOptions options_;
    std::vector<Slot> ring_;
    std::size_t mask_ = 0;
    alignas(64) std::atomic<std::uint64_t> head_{0}; // next slot the producer fills
    alignas(64) std::atomic<std::uint64_t> tail_{0}; // next slot the writer reads
    std::atomic<bool> overflow_{false};
    std::atomic<bool> running_{false};
    std::atomic<std::uint64_t> accepted_{0};
    std::atomic<std::uint64_t> saved_{0};

    struct FileState;
    std::unique_ptr<FileState> file_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_requested_ = false;
    std::string path_;
    std::optional<LogFailure> failure_;
    std::function<void(const LogFailure &)> on_failure_;
    std::thread writer_;
};

} // namespace meterdesk
