// sensor-setup: the installer of the Zyn Quorix USB power sensor software. This is the
// composition root: it reads the command line, runs --batch and --uninstall without Qt, and
// otherwise shows the installation pages when there is a display.
#include "sensor-setup/core/setup_options.h"
#include "sensor-setup/ui/setup_window.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <system_error>
#include <vector>

int main(int argc, char **argv) {
    using namespace sensor_setup;

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const SetupOptions options = parse_setup_options(arguments);
    if (!options.error.empty()) {
        std::cerr << "sensor-setup: " << options.error << "\n\n" << setup_usage();
        return kUsageExitStatus;
    }
    if (options.mode == SetupOptions::Mode::kHelp) {
        std::cout << setup_usage();
        return 0;
    }
    std::error_code error;
    const fs::path startup = fs::current_path(error);
    const fs::path program = fs::canonical("/proc/self/exe", error).parent_path();
    if (options.mode != SetupOptions::Mode::kPages) {
        auto file_system = make_posix_file_system();
        return run_batch(options, *file_system, process_environment(), startup, program, std::cout,
                         std::cerr);
    }
    if (!display_available(process_environment(), options.qt_arguments)) {
        std::cerr << no_display_message();
        return 1;
    }

    std::vector<std::string> qt_storage{argc > 0 ? argv[0] : "sensor-setup"};
    qt_storage.insert(qt_storage.end(), options.qt_arguments.begin(), options.qt_arguments.end());
    std::vector<char *> qt_argv;
    for (std::string &arg : qt_storage) qt_argv.push_back(arg.data());
    qt_argv.push_back(nullptr);
    int qt_argc = static_cast<int>(qt_storage.size());
    QApplication app(qt_argc, qt_argv.data());
    QApplication::setApplicationName("sensor-setup");
    QApplication::setOrganizationName("Zyn Quorix");
    QApplication::setQuitOnLastWindowClosed(false);

    ui::SetupWindowConfig config;
    config.source = choose_source(options.source, startup, program);
    config.program_folder = program;
    ui::SetupWindow window(config);
    QObject::connect(&window, &ui::SetupWindow::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    window.start();
    return QApplication::exec();
}
