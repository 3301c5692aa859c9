// `list`: the attached USB-serial bridges and which of them are sensors. Works on the link layer
// directly, so it lists devices the sensor library would skip and never starts a session.
#include "commands.h"

#include "diagnostics.h"

#include "link/link.h"
#include "link/link_error.h"

#include <cstdio>
#include <memory>
#include <string>

namespace rfsense::cli {

namespace {

bool starts_with(const std::string &text, const char *prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The descriptions the sensor library opens: programmed sensors and unprogrammed bridges.
bool is_sensor(const std::string &description) {
    return starts_with(description, "USB Power Sensor") ||
           starts_with(description, "USB <-> Serial");
}

} // namespace

ExitStatus run_list(const CommandLine & /*line*/) {
    // A problem with the link's choice has been reported before any command runs.
    rfsense::link::Bus &bus = rfsense::link::active_bus();

    uint32_t count = 0;
    if (const auto status = bus.list_devices(count); status != rfsense::link::Status::ok) {
        report_error(std::string("cannot list devices: ") + rfsense::link::status_text(status));
        return ExitStatus::no_sensor;
    }

    std::printf("%-5s  %-16s  %-6s  %s\n", "INDEX", "SERIAL", "SENSOR", "DESCRIPTION");
    uint32_t sensors = 0;
    for (uint32_t index = 0; index < count; ++index) {
        std::unique_ptr<rfsense::link::Device> device;
        rfsense::link::DeviceInfo info;
        auto status = bus.open(index, device);
        if (status == rfsense::link::Status::ok) status = device->info(info);
        device.reset(); // release it at once: another program may want it
        if (status != rfsense::link::Status::ok) {
            // The link's own reason names the cause (permission, another program, ...).
            const std::string &reason = rfsense::link::last_link_error();
            std::printf("%-5u  %-16s  %-6s  (cannot open: %s)\n", index, "-", "?",
                        reason.empty() ? rfsense::link::status_text(status) : reason.c_str());
            continue;
        }
        const bool sensor = is_sensor(info.description);
        sensors += sensor ? 1 : 0;
        std::printf("%-5u  %-16s  %-6s  %s\n", index,
                    info.serial.empty() ? "-" : info.serial.c_str(), sensor ? "yes" : "no",
                    info.description.c_str());
    }
    if (std::fflush(stdout) != 0) {
        report_error("cannot write the device list");
        return ExitStatus::output_failed;
    }
    if (sensors == 0) {
        report_error(count == 0 ? "no devices found" : "no sensor among the devices found");
        return ExitStatus::no_sensor;
    }
    return ExitStatus::ok;
}

} // namespace rfsense::cli
