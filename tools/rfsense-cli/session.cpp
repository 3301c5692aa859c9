#include "session.h"

#include "diagnostics.h"

#include "link/link.h"
#include "link/link_error.h"

#include <cstring>
#include <memory>
#include <string>

namespace rfsense::cli {

namespace {

// SensorPath copies into a 100-byte field.
constexpr std::size_t max_data_dir_length = 99;

constexpr std::size_t model_text_size = 28;
constexpr std::size_t serial_size = 20;

// The library says only that no sensor answered. The bridges it could not open are opened once
// more here, so that the reason for each (permission, another program, ...) reaches the user.
void report_bridges_not_opened() {
    rfsense::link::Bus &bus = rfsense::link::active_bus();
    uint32_t count = 0;
    if (const auto status = bus.list_devices(count); status != rfsense::link::Status::ok) {
        report_error(std::string("cannot list the USB devices: ") +
                     rfsense::link::status_text(status));
        return;
    }
    for (uint32_t index = 0; index < count; ++index) {
        std::unique_ptr<rfsense::link::Device> device;
        const rfsense::link::Status status = bus.open(index, device);
        if (status == rfsense::link::Status::ok) continue;
        const std::string &reason = rfsense::link::last_link_error();
        report_error("USB bridge " + std::to_string(index) + ": " +
                     (reason.empty() ? rfsense::link::status_text(status) : reason));
    }
}

void explain_missing_sensor() {
    report_error("no sensor connected");
    if (simulated_bus()) {
        report_hint("The simulated bus holds no sensor; 'rfsense list' shows its devices. A "
                    "[device]\nsection with kind = sensor in the simulator configuration adds "
                    "one.");
        return;
    }
    report_bridges_not_opened();
    report_hint("Is it plugged in? 'rfsense list' shows the USB devices this computer sees.\n"
                "Listed but not opened? Install the udev rule 60-rfsense.rules (see \"Permission "
                "to\nopen the sensor\" in the README), then unplug and replug the sensor.\n"
                "No sensor at hand? 'rfsense --simulate read' measures on a simulated one.");
}

} // namespace

ExitStatus check_link_choice() {
    // The library chooses its bus from the same environment, so it meets the same problem.
    rfsense::link::active_bus();
    const std::string &problem = rfsense::link::active_bus_error();
    if (problem.empty()) return ExitStatus::ok;
    if (simulated_bus()) {
        report_error(problem);
        return ExitStatus::usage;
    }
    report_warning(problem);
    return ExitStatus::ok;
}

bool simulated_bus() {
    return std::strcmp(rfsense::link::active_backend_name(), "sim") == 0;
}

const char *init_result_text(int code) {
    switch (code) {
    case SENSOR_DONE:
        return nullptr;
    case SENSOR_NOT_CONNECTED:
        return "no sensor found";
    case SENSOR_NOT_RESPONDING:
        return "sensor not responding: disconnect and reconnect";
    case SENSOR_CAL_FACTOR_TABLE_ERROR:
        return "cal factor table failed its checksum: all cal factors set to 100 %";
    case SENSOR_EQUATION_DEFAULTS:
        return "equation parameters could not be read (checksum error or missing band parameter "
               "file): default equation in use";
    case SENSOR_TCD_CHECKSUM:
        return "temperature compensation table failed its checksum";
    case SENSOR_TCD_FILE_MISSING:
        return "tcd.dat missing from the data folder: no temperature compensation";
    case SENSOR_TCD_FILE_NO_SECTION:
        return "tcd.dat has no section for this model: no temperature compensation";
    case SENSOR_LINEARITY_CHECKSUM:
        return "linearity table failed its checksum: linearity correction off";
    default:
        return "unexpected start-up result";
    }
}

Session::~Session() {
    close();
}

void Session::close() {
    if (record_ != nullptr) SensorClose(&record_);
}

ExitStatus Session::open(const GlobalOptions &options) {
    if (options.data_dir && options.data_dir->size() > max_data_dir_length) {
        report_error("data folder name too long (at most " + std::to_string(max_data_dir_length) +
                     " characters)");
        return ExitStatus::usage;
    }
    SensorOpen(&record_);
    if (record_ == nullptr) {
        report_error("cannot create a sensor session");
        return ExitStatus::no_sensor;
    }
    if (options.data_dir) SensorPath(record_, options.data_dir->c_str());

    const int32_t code = SensorInit(record_);
    switch (code) {
    case SENSOR_DONE:
        return ExitStatus::ok;
    case SENSOR_NOT_CONNECTED:
        explain_missing_sensor();
        return ExitStatus::no_sensor;
    case SENSOR_NOT_RESPONDING:
        report_error(init_result_text(code));
        return ExitStatus::not_responding;
    default:
        break;
    }
    // Calibration-data problems leave a working session with defaults in place.
    report_warning(std::string(init_result_text(code)) + " (start-up code " + std::to_string(code) +
                   ")");
    unsigned char over_range = 0;
    if (SensorConnected(record_, &over_range) == 0) return report_sensor_lost();
    return ExitStatus::ok;
}

std::string Session::frequency_span() {
    char serial[serial_size] = {};
    char model[model_text_size] = {};
    if (record_ != nullptr && SensorDetails(record_, serial, model) == SENSOR_DONE) {
        const char *open = std::strchr(model, '(');
        const char *close = open != nullptr ? std::strchr(open, ')') : nullptr;
        if (close != nullptr) return std::string(open + 1, close);
    }
    return "10MHz to 40GHz"; // what the library accepts for sensors it does not know
}

ExitStatus report_sensor_lost() {
    report_error("sensor lost: it stopped answering (unplugged?)");
    return ExitStatus::sensor_lost;
}

} // namespace rfsense::cli
