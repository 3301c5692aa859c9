#include "meterdesk/core/first_start.h"

#include "meterdesk/base/paths.h"
#include "sensor-setup/core/installer.h"

namespace meterdesk {

std::optional<std::string>
lay_out_from_package(const std::filesystem::path &app_dir,
                     const std::optional<std::filesystem::path> &medium) {
    if (!medium || paths::holds_installation(app_dir)) return std::nullopt;
    std::string error;
    const auto places = sensor_setup::setup_places(sensor_setup::process_environment(), error);
    if (!places) return "The folders of the meter could not be laid out: " + error + ".";
    sensor_setup::InstallRequest request;
    request.source = *medium;
    request.target = app_dir;
    request.desktop_launcher = false;
    request.menu_launcher = false;
    auto fs = sensor_setup::make_posix_file_system();
    const sensor_setup::InstallReport report = sensor_setup::install(*fs, request, *places);
    if (report.outcome == sensor_setup::Outcome::kDone) return std::nullopt;
    std::string text =
        "The folders of the meter could not be laid out in " + app_dir.string() + ".";
    if (report.failure)
        text += "\n" + report.failure->path.string() + ": " + report.failure->reason;
    text += "\n" + report.aftermath();
    return text;
}

} // namespace meterdesk
