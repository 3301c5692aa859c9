// The application's own commands to the sensor: the library's reader is parked for the
// exchange (SensorComms 0) and resumed on every path out of it (SensorComms 1).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct SensorRecord;

namespace meterdesk {

// What a factory dialog shows when the library answers that no sensor is connected.
inline constexpr const char *kNoSensorConnected = "No sensor connected.";

class ReaderPause {
  public:
    explicit ReaderPause(SensorRecord *sensor);
    ~ReaderPause();
    ReaderPause(const ReaderPause &) = delete;
    ReaderPause &operator=(const ReaderPause &) = delete;

  private:
    SensorRecord *sensor_;
};

// Sends the bytes as one write; false when the sensor is gone.
bool send_bytes(SensorRecord *sensor, std::string_view bytes);

// Sends `command` and reads the reply line (without its line end); nothing when the sensor is
// gone.
std::optional<std::string> query_line(SensorRecord *sensor, std::string_view command);

// Sends `command` and reads a big-endian value of `width` bytes followed by one more byte (the
// line end the sensor puts after it); nothing when the sensor is gone.
std::optional<std::uint32_t> query_value(SensorRecord *sensor, std::string_view command, int width);

} // namespace meterdesk
