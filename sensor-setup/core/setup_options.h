// The command line of sensor-setup and the batch run that installs or uninstalls without pages.
#pragma once

#include "sensor-setup/core/file_system.h"
#include "sensor-setup/core/setup_places.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace sensor_setup {

struct SetupOptions {
    enum class Mode { kPages, kBatch, kUninstall, kHelp };
    Mode mode = Mode::kPages;
    std::optional<fs::path> source;        // --source DIR
    std::optional<fs::path> target;        // --target DIR: the install root itself
    bool desktop_launcher = true;          // cleared by --no-desktop
    bool menu_launcher = true;             // cleared by --no-menu
    std::vector<std::string> qt_arguments; // the pages' other options, for Qt
    std::string error;                     // non-empty: the command line is wrong
};

SetupOptions parse_setup_options(const std::vector<std::string> &arguments);
std::string setup_usage();

// The medium: --source, else "Installation" in the start-up folder when it is there, else the
// data folder of an installed program (<bindir>/../share/meterdesk).
fs::path choose_source(const std::optional<fs::path> &option, const fs::path &startup_folder,
                       const fs::path &program_folder);

// The meterdesk beside sensor-setup, for launchers when the medium brings no application.
fs::path application_beside(const fs::path &program_folder);

// The pages can be shown: a display (DISPLAY or WAYLAND_DISPLAY) exists, or Qt is told which
// platform to use (QT_QPA_PLATFORM, or -platform among the Qt arguments).
bool display_available(const Environment &environment,
                       const std::vector<std::string> &qt_arguments);
// What sensor-setup says without a display.
std::string no_display_message();

// Runs --batch or --uninstall; returns the exit status (0 done, 1 rolled back, 2 usage,
// 3 not fully undone). The report goes to `out`, a failure's lines to `err`.
int run_batch(const SetupOptions &options, FileSystem &fs, const Environment &environment,
              const fs::path &startup_folder, const fs::path &program_folder, std::ostream &out,
              std::ostream &err);

} // namespace sensor_setup
