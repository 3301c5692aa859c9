// The status reporting of IEEE 488.2 as the server keeps it: the error queue (bounded, with
// the standard codes and texts), the standard event status register and its enable mask, and
// the status byte derived from them.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace rfsense::scpi {

// Standard error codes.
inline constexpr int kCommandError = -100;
inline constexpr int kSyntaxError = -102;
inline constexpr int kParameterNotAllowed = -108;
inline constexpr int kMissingParameter = -109;
inline constexpr int kUndefinedHeader = -113;
inline constexpr int kIllegalParameterValue = -224;
inline constexpr int kDataOutOfRange = -222;
inline constexpr int kHardwareError = -240;
inline constexpr int kQueueOverflow = -350;
inline constexpr int kInputBufferOverrun = -363;
// Device-specific (positive codes).
inline constexpr int kZeroRefused = 201;

// The standard text of a code ("Data out of range"); "Error" for an unknown one.
std::string_view error_text(int code);

class Status {
  public:
    static constexpr std::size_t kQueueCapacity = 20;

    // Queues `code` with its standard text, followed by "; " and `detail` when given, and sets
    // the event bit of its class. A full queue replaces its last entry with -350.
    void push_error(int code, std::string_view detail = {});

    // `code,"text"` of the oldest error, removed; `0,"No error"` when none.
    std::string pop_error();
    bool has_errors() const { return !errors_.empty(); }
    std::size_t error_count() const { return errors_.size(); }

    // *ESR?: the standard event status register, cleared by reading.
    int read_event_status();
    void set_operation_complete() { events_ |= kOperationComplete; }
    void set_event_enable(int mask) { event_enable_ = mask & 0xFF; }
    int event_enable() const { return event_enable_; }

    // *STB?: bit 2 error queue not empty, bit 5 an enabled event, bit 6 any of them.
    int status_byte() const;

    // *CLS: empties the queue and the event register (the enable mask stays).
    void clear();

  private:
    static constexpr int kOperationComplete = 1 << 0;
    static constexpr int kQueryError = 1 << 2;
    static constexpr int kDeviceError = 1 << 3;
    static constexpr int kExecutionError = 1 << 4;
    static constexpr int kCommandErrorBit = 1 << 5;

    std::deque<std::string> errors_;
    int events_ = 0;
    int event_enable_ = 0;
};

} // namespace rfsense::scpi
