// Application: the composition of meterdesk. It builds the application state, the Qt faces of
// the two ports, the main window with its dispatcher and panels, and the worker threads
// (measurement, zero, print, alarm beep); start() runs the window's start-up sequence and
// starts measuring; shutdown() stops everything in order, each within a time limit, so that
// the sensor session is closed and the device released.
//
// main() makes one; tests and benchmarks make theirs with shorter timings.
#pragma once

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/core/sampling.h"
#include "meterdesk/core/stats_burst.h"
#include "meterdesk/core/zeroing.h"
#include "meterdesk/ui/main_window.h"

#include <QTimer>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace meterdesk {
class AlarmBeeper;
class FlashProgrammer;
class Worker;
class DataLogControl;
class ReadingLog;
class TraceRun;
class Sound;
} // namespace meterdesk

namespace meterdesk::ui {

class CommandDispatcher;
class PanelRegistry;
class PrintService;
class QtSound;
class QtUi;
class TracePlotPainter;

struct ApplicationConfig {
    std::optional<std::filesystem::path> app_dir; // --app-dir
    MeasurementTiming measurement;
    ZeroTiming zero;
    MainWindowOptions window;
    bool use_audio = true;        // false: silent (tests, benchmarks)
    Sound *sound = nullptr;       // replaces Qt Multimedia when set (tests); not owned
    bool register_dialogs = true; // the standard dialog set (dialog_set.h)
    bool factory_menu = false;    // --factory: the measurement view installs the factory menu
    // The process runs on the simulated bus: the simulated-source panel and its command.
    bool simulated_bus = false;
    // Where the data the program ships (help topics, the welcome tune) is looked for after
    // app_dir. Default: beside the program (paths::shipped_data_folders).
    std::optional<std::vector<std::filesystem::path>> shipped_data;
    // The medium the first start lays the install root out from. Default: the one the package
    // ships (paths::packaged_medium); an empty optional inside: none.
    std::optional<std::optional<std::filesystem::path>> packaged_medium;
};

class Application {
  public:
    explicit Application(ApplicationConfig config = {});
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Registers extra panels and dialogs before start() (tests, later modules).
    PanelRegistry &panels() { return *panels_; }

    // The start-up sequence: window position, app_dir (created with the folders the meter
    // writes into) and "AppSettings.dat", splash, welcome tune, timer 1, show the window,
    // create the panels, start the measurement thread.
    void start();

    // Stops the threads in order within `limit` each. Returns false when one did not stop (it
    // was left running; the objects it uses are then kept alive until the process ends).
    bool shutdown(std::chrono::milliseconds limit = std::chrono::milliseconds(3000));

    AppState &state() { return *state_; }
    QtUi &ui() { return *ui_; }
    QtSound &sound() { return *sound_; }
    MainWindow &window() { return *window_; }
    MeasurementThread &measurement() { return *measurement_; }
    // The trace run and the statistics burst plug in here, before start().
    Sampling &sampling() { return *sampling_; }
    ZeroThread &zero() { return *zero_; }
    PrintService &printing() { return *printing_; }
    // What the window's menus, buttons and keys reach: commands by id, as a menu gives them.
    CommandHandler &commands();
    DataLogControl &data_log() { return *data_log_; }
    ReadingLog &reading_log() { return *reading_log_; }

  private:
    ApplicationConfig config_;
    std::vector<std::filesystem::path> shipped_data_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<QtSound> sound_;
    Sound *active_sound_ = nullptr; // sound_, or the configured replacement
    std::unique_ptr<QtUi> ui_;
    std::unique_ptr<PanelRegistry> panels_;
    std::unique_ptr<Sampling> sampling_;
    std::unique_ptr<StatsBurst> stats_burst_;
    std::unique_ptr<TraceRun> trace_run_;     // outlives the measurement thread that calls it
    std::unique_ptr<ReadingLog> reading_log_; // likewise
    std::unique_ptr<MeasurementThread> measurement_;
    std::unique_ptr<ZeroThread> zero_;
    std::unique_ptr<PrintService> printing_;
    std::unique_ptr<Worker> flash_worker_; // FlashProgrammerThread
    std::unique_ptr<FlashProgrammer> flash_programmer_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<CommandDispatcher> dispatcher_;
    std::unique_ptr<AlarmBeeper> beeper_;
    std::unique_ptr<TracePlotPainter> trace_painter_;
    std::unique_ptr<DataLogControl> data_log_;
    std::unique_ptr<QTimer> data_log_timer_;
    bool started_ = false;
    bool shut_down_ = false;
    bool stopped_cleanly_ = true;
};

} // namespace meterdesk::ui
