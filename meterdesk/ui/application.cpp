#include "meterdesk/ui/application.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/alarm_beep.h"
#include "meterdesk/core/data_log_control.h"
#include "meterdesk/core/first_start.h"
#include "meterdesk/core/reading_log.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/factory/test_exec_settings.h"
#include "meterdesk/core/worker.h"
#include "meterdesk/factory/flash_programmer.h"
#include "meterdesk/core/trace_run.h"
#include "meterdesk/ui/command_dispatcher.h"
#include "meterdesk/ui/dialog_set.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/print_service.h"
#include "meterdesk/ui/qt_sound.h"
#include "meterdesk/ui/qt_ui.h"
#include "meterdesk/ui/settings/simulated_source_box.h"
#include "meterdesk/ui/trace/statistics_painter.h"

#include "link/link.h"
#include "meterdesk/ui/trace/trace_dialog_set.h"
#include "meterdesk/ui/trace/trace_plot_painter.h"

#include <QCoreApplication>

#include <system_error>

namespace meterdesk::ui {
namespace {

constexpr int kWindowSplashPeriodMs = 4000; // the thread's start makes it 5000

std::filesystem::path program_folder() {
    return QCoreApplication::applicationDirPath().toStdString();
}

std::filesystem::path startup_folder() {
    std::error_code error;
    auto folder = std::filesystem::current_path(error);
    return error ? std::filesystem::path() : folder;
}

} // namespace

Application::Application(ApplicationConfig config)
    : config_(std::move(config)),
      shipped_data_(config_.shipped_data ? *config_.shipped_data
                                         : paths::shipped_data_folders(program_folder())),
      state_(std::make_unique<AppState>()),
      sound_(std::make_unique<QtSound>(config_.use_audio && config_.sound == nullptr)),
      active_sound_(config_.sound != nullptr ? config_.sound : sound_.get()),
      ui_(std::make_unique<QtUi>()), panels_(std::make_unique<PanelRegistry>()),
      sampling_(std::make_unique<Sampling>(*state_, *ui_)),
      stats_burst_(std::make_unique<StatsBurst>(*state_, *ui_, paths::statistics_file())),
      trace_run_(std::make_unique<TraceRun>(*state_, *ui_)),
      reading_log_(std::make_unique<ReadingLog>()),
      measurement_(
          std::make_unique<MeasurementThread>(*state_, *ui_, config_.measurement, sampling_.get())),
      zero_(std::make_unique<ZeroThread>(*state_, *ui_, config_.zero)) {
    state_->factory_menu = config_.factory_menu;
    sampling_->set_stats_burst([burst = stats_burst_.get()](SensorRecord *s) { burst->run(s); },
                               [burst = stats_burst_.get()] { burst->connection_lost(); });
    window_ = std::make_unique<MainWindow>(*state_, *ui_, config_.window);
    printing_ = std::make_unique<PrintService>([this] { return window_->backing_image().copy(); });
    ui_->attach(*window_, *panels_);
    dispatcher_ = std::make_unique<CommandDispatcher>(
        DispatcherServices{*state_, *ui_, *window_, *panels_, *measurement_, *zero_, *printing_});
    window_->set_command_handler(dispatcher_.get());
    // A panel or dialog registered now or later un-greys its command.
    panels_->set_on_change([window = window_.get()] { window->refresh_commands(); });
    // The trace: its run on the measurement thread, which re-initialises an open control panel
    // when it ends; the plot for requests 6 and 10, which hands the markers dialog its list.
    trace_run_->set_on_run_end([window = window_.get(), panels = panels_.get()] {
        QMetaObject::invokeMethod(
            window, [panels] { panels->send_command(kTraceBox, kTracePanelRefresh); },
            Qt::QueuedConnection);
    });
    sampling_->set_trace_run([run = trace_run_.get()](SensorRecord *sensor) { run->run(sensor); });
    trace_painter_ = std::make_unique<TracePlotPainter>(*state_, window_->resources());
    trace_painter_->set_marker_list_sink(
        [panels = panels_.get()](const std::vector<std::string> &lines) {
            show_marker_readings(*panels, lines);
        });
    for (RepaintRequest code : {RepaintRequest::kTracePlot, RepaintRequest::kTraceScreen}) {
        window_->painter().set_area_painter(
            code,
            [painter = trace_painter_.get(), code](QImage &image) { painter->paint(image, code); });
    }
    // The data log: every accepted reading, started and stopped from the File menu; its state
    // follows the title once a second.
    measurement_->set_reading_log(reading_log_.get());
    data_log_ = std::make_unique<DataLogControl>(*state_, *ui_, *reading_log_);
    panels_->add_dialog(kCmdStartDataLog,
                        [log = data_log_.get()](QWidget *) { log->start_command(); });
    panels_->add_dialog(kCmdStopDataLog,
                        [log = data_log_.get()](QWidget *) { log->stop_command(); });
    data_log_timer_ = std::make_unique<QTimer>();
    data_log_timer_->setInterval(1000);
    QObject::connect(data_log_timer_.get(), &QTimer::timeout,
                     [log = data_log_.get()] { log->refresh(); });
    beeper_ = std::make_unique<AlarmBeeper>(*active_sound_, *state_);
    window_->set_alarm_wake([beeper = beeper_.get()] { beeper->wake(); });
    window_->painter().set_area_painter(RepaintRequest::kStatistics,
                                        make_statistics_painter(*state_));
    flash_worker_ = std::make_unique<Worker>();
    flash_programmer_ = std::make_unique<FlashProgrammer>(
        *state_, *ui_, rfsense::link::active_bus(), *flash_worker_);
    if (config_.register_dialogs) {
        register_dialog_set(*panels_, DialogContext{*state_, *ui_, *measurement_, shipped_data_,
                                                    active_sound_, flash_programmer_.get()});
        if (config_.simulated_bus) register_simulated_source(*panels_, *window_, *state_);
    }
}

Application::~Application() {
    shutdown();
    if (!stopped_cleanly_) {
        // A thread is still running with these objects; the process ends right after.
        (void)beeper_.release();
        (void)trace_painter_.release();
        (void)dispatcher_.release();
        (void)window_.release();
        (void)printing_.release();
        (void)flash_programmer_.release();
        (void)flash_worker_.release();
        (void)zero_.release();
        (void)measurement_.release();
        (void)stats_burst_.release();
        (void)sampling_.release();
        (void)trace_run_.release();
        (void)reading_log_.release();
        (void)data_log_.release();
        (void)data_log_timer_.release();
        (void)panels_.release();
        (void)ui_.release();
        (void)sound_.release();
        (void)state_.release();
    }
}

CommandHandler &Application::commands() {
    return *dispatcher_;
}

void Application::start() {
    if (started_) return;
    started_ = true;
    AppState &state = *state_;

    window_->restore_position();

    const auto app_dir = paths::select_app_dir(config_.app_dir, startup_folder());
    // First start from the package: the install root is laid out from the packaged medium
    // before the settings are read. A failure is told once; the meter runs on.
    std::optional<std::string> layout_failure;
    if (!config_.app_dir && app_dir == paths::quorix_root())
        layout_failure = lay_out_from_package(
            app_dir, config_.packaged_medium ? *config_.packaged_medium
                                             : paths::packaged_medium(program_folder()));
    // A machine without an installation has none of the folders yet; failures stay silent
    // like every write of the state files.
    paths::create_app_folders(app_dir);
    state.app_dir = app_dir.string();
    state.settings_path = paths::settings_file(app_dir).string();
    apply_app_settings(state, load_app_settings(paths::settings_file(app_dir)));
    set_test_exec_settings(state, load_test_exec_settings(test_exec_settings_file()));

    state.splash_shown = true;
    window_->request_repaint(RepaintRequest::kSplash);
    window_->flush_repaints();

    state.brand_label = "Zyn Quorix";
    state.firmware_dir = paths::startup_firmware_folder().string();
    if (state.play_welcome_tune)
        active_sound_->play_wav(paths::find_welcome_tune(app_dir, shipped_data_).string());
    ui_->start_timer(kSplashTimer, kWindowSplashPeriodMs);

    window_->show();
    if (layout_failure)
        ui_->message("Zyn Quorix USB Power Sensor", *layout_failure, MessageButtons::kOk,
                     MessageIcon::kExclamation);
    panels_->create_panels(window_.get());
    state.help_topic = 8; // no topic
    window_->activateWindow();
    window_->raise();

    measurement_->start();
    data_log_->refresh();
    data_log_timer_->start();
}

bool Application::shutdown(std::chrono::milliseconds limit) {
    if (shut_down_) return stopped_cleanly_;
    shut_down_ = true;
    // No dialog will be answered any more: release the threads waiting for one.
    ui_->shut_down();
    sound_->shut_down();
    window_->set_alarm_wake({});
    beeper_.reset(); // ends within one tone
    if (data_log_timer_) data_log_timer_->stop();
    bool clean = measurement_->stop(limit);
    // The readings taken up to the end are written and forced to the disk.
    if (clean) reading_log_->stop();
    clean = zero_->shutdown(limit) && clean;
    clean = printing_->shutdown(limit) && clean;
    // The FLASH job ends with its programmer; the handle is released either way.
    clean = flash_worker_->shutdown(limit) && clean;
    flash_programmer_->release();
    stopped_cleanly_ = clean;
    return clean;
}

} // namespace meterdesk::ui
