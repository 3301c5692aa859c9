// meterdesk: the desktop meter for the USB RF power sensors. This is the composition root: it
// reads the command line, chooses the simulated sensor bus when asked (before the library is
// first used), checks that there is a display, and runs the Application until the window
// closes; then it stops the threads in order and ends.
#include "meterdesk/ui/app_options.h"
#include "meterdesk/ui/application.h"
#include "meterdesk/ui/main_window.h"
#include "meterdesk/ui/stop_signals.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    using namespace meterdesk::ui;

    std::vector<std::string> arguments(argv + 1, argv + argc);
    const AppOptions options = parse_app_options(arguments);
    if (!options.error.empty()) {
        std::cerr << "meterdesk: " << options.error << "\n\n" << usage_text();
        return 2;
    }
    if (options.help) {
        std::cout << usage_text();
        return 0;
    }
    if (!display_available(process_environment(), options.qt_arguments)) {
        std::cerr << no_display_message();
        return 1;
    }
    // The library picks its link backend at its first use, from the environment.
    if (options.simulate) setenv("RFSENSE_SIM", options.simulate->c_str(), 1);

    // QApplication keeps pointers into argv: hand it the arguments that are left for Qt.
    std::vector<std::string> qt_storage;
    qt_storage.emplace_back(argc > 0 ? argv[0] : "meterdesk");
    qt_storage.insert(qt_storage.end(), options.qt_arguments.begin(), options.qt_arguments.end());
    std::vector<char *> qt_argv;
    for (std::string &arg : qt_storage) qt_argv.push_back(arg.data());
    qt_argv.push_back(nullptr);
    int qt_argc = static_cast<int>(qt_storage.size());

    QApplication app(qt_argc, qt_argv.data());
    QApplication::setApplicationName("meterdesk");
    QApplication::setOrganizationName("Zyn Quorix");
    QApplication::setQuitOnLastWindowClosed(false); // the main window's close ends the program
    quit_on_stop_signals(app, [] { QCoreApplication::quit(); });

    int code = 0;
    bool clean = true;
    {
        ApplicationConfig config;
        config.app_dir = options.app_dir;
        config.factory_menu = options.factory;
        Application meter(config);
        QObject::connect(&meter.window(), &MainWindow::quit_requested, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        meter.start();
        code = QApplication::exec();
        clean = meter.shutdown();
        if (!clean) {
            std::cerr << "meterdesk: a worker thread did not stop in time; ending anyway\n";
            std::fflush(nullptr);
            // The stuck thread still uses the library: end without running static destructors.
            std::_Exit(code == 0 ? 1 : code);
        }
    }
    return code;
}
