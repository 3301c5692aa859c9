#include "meterdesk/ui/app_options.h"

#include <cstdlib>

namespace meterdesk::ui {

AppOptions parse_app_options(const std::vector<std::string> &arguments) {
    AppOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &arg = arguments[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--factory") {
            options.factory = true;
        } else if (arg == "--simulate") {
            options.simulate = "default";
        } else if (arg.starts_with("--simulate=")) {
            const std::string file = arg.substr(11);
            if (file.empty()) {
                options.error = "--simulate= needs a simulator configuration file";
                return options;
            }
            // The library reads the file later from its own working directory; pin it down.
            std::error_code ignored;
            const auto absolute = std::filesystem::absolute(file, ignored);
            options.simulate = absolute.empty() ? file : absolute.string();
        } else if (arg == "--app-dir" || arg.starts_with("--app-dir=")) {
            std::string dir;
            if (arg == "--app-dir") {
                if (i + 1 >= arguments.size()) {
                    options.error = "--app-dir needs a folder";
                    return options;
                }
                dir = arguments[++i];
            } else {
                dir = arg.substr(10);
            }
            if (dir.empty()) {
                options.error = "--app-dir needs a folder";
                return options;
            }
            options.app_dir = std::filesystem::path(dir);
        } else {
            options.qt_arguments.push_back(arg);
        }
    }
    return options;
}

std::string usage_text() {
    return "Usage: meterdesk [--simulate[=FILE]] [--app-dir DIR] [--factory] [Qt options]\n"
           "\n"
           "The desktop meter for the Zyn Quorix USB power sensors.\n"
           "\n"
           "  --simulate        use one simulated sensor instead of the USB bus\n"
           "  --simulate=FILE   use the simulated sensors described in FILE\n"
           "  --app-dir DIR     keep the settings and setup files in DIR\n"
           "  --factory         show the factory menu (calibration, test and programming\n"
           "                    tools) in place of the standard menu\n"
           "  --help            show this text\n"
           "\n"
           "Without a display, run it under a virtual X server:\n"
           "  xvfb-run meterdesk --simulate\n"
           "or without any window system: QT_QPA_PLATFORM=offscreen meterdesk --simulate\n";
}

EnvironmentLookup process_environment() {
    return [](const char *name) -> std::optional<std::string> {
        const char *value = std::getenv(name);
        if (value == nullptr || *value == '\0') return std::nullopt;
        return std::string(value);
    };
}

bool display_available(const EnvironmentLookup &environment,
                       const std::vector<std::string> &qt_arguments) {
    for (const std::string &arg : qt_arguments) {
        if (arg == "-platform" || arg == "--platform" || arg.starts_with("-platform=")) return true;
    }
    return environment("DISPLAY") || environment("WAYLAND_DISPLAY") ||
           environment("QT_QPA_PLATFORM");
}

std::string no_display_message() {
    return "meterdesk: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
           "set, and QT_QPA_PLATFORM is not set).\n"
           "Run it under a virtual X server:\n"
           "  xvfb-run meterdesk --simulate\n"
           "or without a window system at all:\n"
           "  QT_QPA_PLATFORM=offscreen meterdesk --simulate\n"
           "For readings on a headless machine use the command-line meter: rfsense read\n";
}

} // namespace meterdesk::ui
