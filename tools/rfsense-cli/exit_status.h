// The exit statuses of the rfsense command, one per kind of failure so scripts can tell them apart.
#pragma once

namespace rfsense::cli {

enum class ExitStatus : int {
    ok = 0,
    usage = 1,               // bad command line, or an unusable simulator configuration
    no_sensor = 2,           // no sensor attached
    value_refused = 3,       // a setting outside what the sensor accepts
    sensor_lost = 4,         // the sensor stopped answering while in use
    not_responding = 5,      // the sensor was found but never reported ready
    zero_rejected = 6,       // zero offset too large: power was applied while zeroing
    output_failed = 7,       // standard output could not be written
    file_refused = 8,        // the firmware file could not be read
    line_refused = 9,        // a line of the firmware file was refused; nothing was sent
    firmware_not_taken = 10, // the sensor did not take every line of the firmware
    interrupted_base = 128,  // 128 + signal number when stopped before the work was done
};

inline int exit_code(ExitStatus status) {
    return static_cast<int>(status);
}

} // namespace rfsense::cli
