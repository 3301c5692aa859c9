#include "sensor-setup/core/setup_options.h"

#include "sensor-setup/core/installer.h"

#include <ostream>
#include <system_error>

namespace sensor_setup {

SetupOptions parse_setup_options(const std::vector<std::string> &arguments) {
    SetupOptions options;
    bool batch = false, uninstall = false, launcher_option = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &arg = arguments[i];
        auto value = [&](std::optional<fs::path> &into) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                options.error = arg + " needs a folder";
                return;
            }
            into = fs::path(arguments[++i]);
        };
        if (arg == "--help" || arg == "-h") {
            options.mode = SetupOptions::Mode::kHelp;
            return options;
        } else if (arg == "--batch") {
            batch = true;
        } else if (arg == "--uninstall") {
            uninstall = true;
        } else if (arg == "--source") {
            value(options.source);
        } else if (arg == "--target") {
            value(options.target);
        } else if (arg == "--no-desktop") {
            options.desktop_launcher = false;
            launcher_option = true;
        } else if (arg == "--no-menu") {
            options.menu_launcher = false;
            launcher_option = true;
        } else {
            options.qt_arguments.push_back(arg);
        }
        if (!options.error.empty()) return options;
    }
    if (batch && uninstall) {
        options.error = "--batch and --uninstall cannot be given together";
    } else if (uninstall) {
        options.mode = SetupOptions::Mode::kUninstall;
        if (options.source || launcher_option) options.error = "--uninstall takes only --target";
    } else if (batch) {
        options.mode = SetupOptions::Mode::kBatch;
    } else if (options.target || launcher_option) {
        options.error = "--target, --no-desktop and --no-menu belong to --batch";
    }
    if (options.mode != SetupOptions::Mode::kPages && !options.qt_arguments.empty())
        options.error = "unknown option " + options.qt_arguments.front();
    return options;
}

std::string setup_usage() {
    return "Usage: sensor-setup [--source DIR] [Qt options]\n"
           "       sensor-setup --batch [--source DIR] [--target DIR] [--no-desktop] "
           "[--no-menu]\n"
           "       sensor-setup --uninstall [--target DIR]\n"
           "\n"
           "Installs the Zyn Quorix USB power sensor application from an installation medium.\n"
           "Without --batch it shows the installation pages.\n"
           "\n"
           "  --source DIR   the installation medium (default: \"Installation\" in the current\n"
           "                 folder, else the medium of the installed package)\n"
           "  --target DIR   the installation folder itself (default: ~/.local/share/Quorix,\n"
           "                 or $QUORIX_HOME)\n"
           "  --no-desktop   make no launcher on the desktop\n"
           "  --no-menu      make no launcher in the applications menu\n"
           "  --uninstall    remove what the installation into the target put there; files\n"
           "                 that were added or changed since are kept and listed\n"
           "\n"
           "Exit status: 0 done, 1 failed and rolled back (nothing was changed), 2 wrong\n"
           "command line, 3 failed and not fully undone.\n";
}

fs::path choose_source(const std::optional<fs::path> &option, const fs::path &startup_folder,
                       const fs::path &program_folder) {
    if (option) return *option;
    std::error_code error;
    const fs::path beside = startup_folder / "Installation";
    if (!startup_folder.empty() && fs::is_directory(beside, error)) return beside;
    return (program_folder / ".." / "share" / "meterdesk").lexically_normal();
}

bool display_available(const Environment &environment,
                       const std::vector<std::string> &qt_arguments) {
    if (environment("DISPLAY") || environment("WAYLAND_DISPLAY") || environment("QT_QPA_PLATFORM"))
        return true;
    for (const std::string &arg : qt_arguments)
        if (arg == "-platform" || arg == "--platform" || arg.rfind("-platform=", 0) == 0)
            return true;
    return false;
}

std::string no_display_message() {
    return "sensor-setup: there is no display to show the installation pages on (neither "
           "DISPLAY nor WAYLAND_DISPLAY is set).\n"
           "Install without pages with:  sensor-setup --batch [--source DIR] [--target DIR] "
           "[--no-desktop] [--no-menu]\n";
}

fs::path application_beside(const fs::path &program_folder) {
    return program_folder / "meterdesk";
}

int run_batch(const SetupOptions &options, FileSystem &fs, const Environment &environment,
              const fs::path &startup_folder, const fs::path &program_folder, std::ostream &out,
              std::ostream &err) {
    std::string error;
    const std::optional<SetupPlaces> places = setup_places(environment, error);
    if (!places) {
        err << "sensor-setup: " << error << "\n";
        return exit_status(Outcome::kRolledBack);
    }
    const fs::path target = options.target ? *options.target : fs::path(default_target_text());
    if (options.mode == SetupOptions::Mode::kUninstall) {
        const UninstallReport report = uninstall(fs, target, *places);
        for (const std::string &line : report.lines()) (report.failure ? err : out) << line << "\n";
        return exit_status(report.outcome);
    }
    InstallRequest request;
    request.source = choose_source(options.source, startup_folder, program_folder);
    request.target = target;
    request.desktop_launcher = options.desktop_launcher;
    request.menu_launcher = options.menu_launcher;
    request.fallback_application = application_beside(program_folder);
    const InstallReport report = install(fs, request, *places);
    for (const std::string &line : report.lines())
        (report.outcome == Outcome::kDone ? out : err) << line << "\n";
    return exit_status(report.outcome);
}

} // namespace sensor_setup
