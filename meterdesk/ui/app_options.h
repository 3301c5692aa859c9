// The command line of meterdesk and the check for a display to show the window on.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace meterdesk::ui {

struct AppOptions {
    bool help = false;
    // --simulate ("default") or --simulate=FILE: the value for RFSENSE_SIM.
    std::optional<std::string> simulate;
    std::optional<std::filesystem::path> app_dir; // --app-dir DIR
    bool factory = false;                         // --factory: the factory menu
    std::vector<std::string> qt_arguments;        // everything else, for QApplication
    std::string error;                            // non-empty: the command line is wrong
};

// Reads the options; unknown options starting with "-" are left to Qt (for example
// -platform offscreen).
AppOptions parse_app_options(const std::vector<std::string> &arguments);

std::string usage_text();

// Looks up an environment variable; nullopt when unset or empty.
using EnvironmentLookup = std::function<std::optional<std::string>(const char *name)>;
EnvironmentLookup process_environment();

// A window can be shown: a display (DISPLAY or WAYLAND_DISPLAY) exists, or Qt is told which
// platform to use (QT_QPA_PLATFORM, or -platform among the Qt arguments).
bool display_available(const EnvironmentLookup &environment,
                       const std::vector<std::string> &qt_arguments = {});

// What meterdesk says when it has no display, with the ways to run it anyway.
std::string no_display_message();

} // namespace meterdesk::ui
