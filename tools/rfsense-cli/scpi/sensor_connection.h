// The sensor behind the server: one library session, opened on demand and opened again after
// the sensor was lost, at most twice a second, so that an unplugged sensor is found again when
// it returns. With a serial number given, only that sensor is used.
#pragma once

#include <rfsense/rfsense.h>

#include <chrono>
#include <optional>
#include <string>

namespace rfsense::scpi {

class SensorConnection {
  public:
    explicit SensorConnection(std::optional<std::string> serial = std::nullopt);
    ~SensorConnection();
    SensorConnection(const SensorConnection &) = delete;
    SensorConnection &operator=(const SensorConnection &) = delete;

    // The open session, after trying to open one when none is open and the last try is long
    // enough ago; nullptr while no (matching) sensor answers.
    SensorRecord *get();

    // A call on the session found the sensor gone: the session is closed.
    void lost();

    // True once after each new session: the caller applies its settings to it.
    bool take_new_session();

    void close();

  private:
    SensorRecord *open_matching();

    std::optional<std::string> serial_;
    SensorRecord *record_ = nullptr;
    bool new_session_ = false;
    std::chrono::steady_clock::time_point last_try_{};
};

} // namespace rfsense::scpi
