#include "meterdesk/factory/firmware_transfer.h"

#include "rfsense/link/link.h"

#include <rfsense/rfsense.h>

namespace meterdesk {

namespace {

using rfsense::link::Device;
using rfsense::link::Status;

enum class Wait { kByte, kSilent, kLost };

// One byte from the sensor, waiting at most `limit` (woken by its arrival, no polling).
Wait read_byte(Device &device, std::chrono::milliseconds limit, char &byte) {
    std::uint32_t waiting = 0;
    if (device.wait_queue(limit, waiting) != Status::ok) return Wait::kLost;
    if (waiting == 0) return Wait::kSilent;
    std::uint32_t got = 0;
    if (device.read(&byte, 1, got) != Status::ok || got != 1) return Wait::kLost;
    return Wait::kByte;
}

TransferEnd end_of(Wait wait) {
    return wait == Wait::kLost ? TransferEnd::kLost : TransferEnd::kSilent;
}

// An acknowledgement: `expected`, then one more byte that is not examined.
TransferEnd acknowledgement(Device &device, std::chrono::milliseconds limit, char expected) {
    char byte = 0;
    if (const Wait w = read_byte(device, limit, byte); w != Wait::kByte) return end_of(w);
    const bool taken = byte == expected;
    if (const Wait w = read_byte(device, limit, byte); w != Wait::kByte) return end_of(w);
    return taken ? TransferEnd::kComplete : TransferEnd::kRejected;
}

// The library's reader is parked for the download. Once "DLOAD" has gone out the sensor may be
// in its boot loader (or running new firmware): the session is forced to disconnect, so that
// the reader ends instead of resuming, and the sensor is identified afresh.
class ReaderPause {
  public:
    ReaderPause(SensorRecord *sensor, const TransferResult &result)
        : sensor_(sensor), result_(result) {
        SensorComms(sensor_, 0);
    }
    ~ReaderPause() {
        if (result_.dload_sent) SensorForceDisconnect(sensor_);
        SensorComms(sensor_, 1);
    }
    ReaderPause(const ReaderPause &) = delete;
    ReaderPause &operator=(const ReaderPause &) = delete;

  private:
    SensorRecord *sensor_;
    const TransferResult &result_;
};

} // namespace

TransferResult send_firmware(SensorRecord *sensor, const std::vector<std::string> &lines,
                             const TransferTiming &timing,
                             const std::function<void()> &after_line) {
    TransferResult result;
    result.total = static_cast<int>(lines.size());
    ReaderPause pause(sensor, result);
    FT_HANDLE handle = nullptr;
    if (SensorUsbHandle(sensor, &handle) == 0 || handle == nullptr) return result;
    if (SensorMessage(sensor, "DLOAD\n", 6) == 0) return result;
    result.dload_sent = true;
    Device &device = *static_cast<Device *>(handle);

    // The acknowledgement before line i is the sensor's answer to line i - 1 (to "DLOAD" for
    // the first), so i lines have been acknowledged once it has come.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        result.end = acknowledgement(device, timing.ack_limit, '0');
        if (result.end != TransferEnd::kComplete) return result;
        result.acknowledged = static_cast<int>(i);
        const std::string line = lines[i] + "\n";
        std::uint32_t written = 0;
        if (device.write(line.data(), static_cast<std::uint32_t>(line.size()), written) !=
                Status::ok ||
            written != line.size()) {
            result.end = TransferEnd::kLost;
            return result;
        }
        if (after_line) after_line();
    }
    result.end = acknowledgement(device, timing.ack_limit, '1');
    if (result.end == TransferEnd::kComplete) result.acknowledged = result.total;
    return result;
}

std::string firmware_state_sentence(const TransferResult &result) {
    return "The sensor acknowledged " + std::to_string(result.acknowledged) + " of " +
           std::to_string(result.total) +
           " lines; its firmware may be incomplete. Run Firmware Download again; if the sensor "
           "no longer connects, reprogram it with the FLASH programmer.";
}

} // namespace meterdesk
