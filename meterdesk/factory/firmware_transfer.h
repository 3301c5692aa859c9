// Sending a firmware copy to the sensor's download mode: "DLOAD\n", then line by line, each
// after the sensor's acknowledgement "0" (and one more byte), and "1" after the last line.
//
// It runs on the raw device behind the session (the library's reader is paused meanwhile), and
// every wait for the sensor is bounded: a sensor that goes quiet costs one wait. No Qt and no
// application state: the CLI compiles this file too.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct SensorRecord;

namespace meterdesk {

struct TransferTiming {
    // Longest wait for one acknowledgement byte.
    std::chrono::milliseconds ack_limit{3000};
};

enum class TransferEnd {
    kComplete,   // every line acknowledged, then "1"
    kNotStarted, // the session was gone before "DLOAD" went out
    kRejected,   // the sensor answered something else than the acknowledgement
    kSilent,     // no acknowledgement within the limit
    kLost,       // the device went away
};

struct TransferResult {
    TransferEnd end = TransferEnd::kNotStarted;
    bool dload_sent = false; // the sensor may have left its normal program
    int acknowledged = 0;    // lines the sensor acknowledged
    int total = 0;
};

// Sends `lines` (without line ends; each goes out with a single line feed). `after_line` runs
// after each line was sent. The reader is paused for the download; once "DLOAD" went out the
// session ends with a forced disconnect (also after success), so that the sensor is identified
// afresh and the reader never resumes on a sensor left in its boot loader.
TransferResult send_firmware(SensorRecord *sensor, const std::vector<std::string> &lines,
                             const TransferTiming &timing,
                             const std::function<void()> &after_line = {});

// What the sensor holds after a download that sent "DLOAD" and did not complete: "The sensor
// acknowledged <k> of <n> lines; its firmware may be incomplete. Run Firmware Download again;
// if the sensor no longer connects, reprogram it with the FLASH programmer."
std::string firmware_state_sentence(const TransferResult &result);

} // namespace meterdesk
