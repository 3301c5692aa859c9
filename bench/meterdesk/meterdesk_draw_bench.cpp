// The meter application's drawing cost and its load while measuring:
//  1. the time to draw one readout repaint (numeric readout with the bar meter) and one full
//     window repaint (clear, frame, status panel, readout, then the widgets painted on screen),
//     on the offscreen platform;
//  2. the CPU use and resident memory of the whole application while it measures continuously
//     for a while (30 s by default, or the seconds given as the first argument) on a simulated
//     sensor in realistic timing. The simulator runs inside the process, so its share is
//     counted too.
#include "meterdesk/core/app_state.h"
#include "meterdesk/ui/application.h"
#include "meterdesk/ui/main_window.h"
#include "meterdesk/ui/screen_painter.h"
#include "meterdesk/ui/screen_resources.h"
#include "process_cpu.h"

#include <rfsim/rfsim.h>

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWindow>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Resident memory now, in MiB (VmRSS); the peak from getrusage where /proc is missing.
double resident_mib() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kib = 0;
            status >> kib;
            return kib / 1024.0;
        }
        std::getline(status, key);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Timing {
    double median_us;
    double mean_us;
    double worst_us;
};

template <typename F>
Timing time_runs(int runs, F &&run) {
    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run(i);
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us) sum += v;
    return {us[us.size() / 2], sum / static_cast<double>(us.size()), us.back()};
}

void print(const char *what, const Timing &t) {
    std::printf("  %-44s median %8.1f us   mean %8.1f us   worst %8.1f us\n", what, t.median_us,
                t.mean_us, t.worst_us);
}

void drawing() {
    using meterdesk::RepaintRequest;
    meterdesk::AppState state;
    state.live_readout_enabled = true;
    state.meas_mode = meterdesk::kModeLog;
    state.reading_mode = meterdesk::kModeLog;
    state.info_panel_shown = true;
    state.model_index = meterdesk::kModelRx4;
    state.sensor_serial = "RX100001";
    state.display_setup = 2; // numeric and meter: the most a readout repaint draws
    state.readout_top = -25;

    const meterdesk::ui::ScreenResources resources = meterdesk::ui::make_screen_resources();
    QImage image(meterdesk::ui::kClientWidth, meterdesk::ui::kClientHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    meterdesk::ui::ScreenPainter painter(state, image, resources);
    painter.draw(RepaintRequest::kClear);
    painter.draw(RepaintRequest::kFrame);

    constexpr int kRuns = 2000;
    std::printf("Drawing into the backing image (%d x %d), %d runs each:\n", image.width(),
                image.height(), kRuns);
    print("readout repaint (digits, unit, meter)", time_runs(kRuns, [&](int i) {
              state.reading_power = -35.0 + 0.01 * (i % 2000); // moves needle and digits
              painter.draw(RepaintRequest::kLiveReadout);
          }));
    state.display_setup = 0;
    state.readout_top = 20;
    print("readout repaint (numeric only)", time_runs(kRuns, [&](int i) {
              state.reading_power = -35.0 + 0.01 * (i % 2000);
              painter.draw(RepaintRequest::kLiveReadout);
          }));
    state.display_setup = 2;
    state.readout_top = -25;
    print("full repaint (clear, frame, panel, readout)", time_runs(kRuns, [&](int i) {
              state.reading_power = -35.0 + 0.01 * (i % 2000);
              painter.draw(RepaintRequest::kClear);
              painter.draw(RepaintRequest::kFrame);
              painter.draw(RepaintRequest::kStatusPanel);
              painter.draw(RepaintRequest::kLiveReadout);
          }));
}

void window_repaint() {
    meterdesk::ui::ApplicationConfig config;
    config.use_audio = false;
    config.register_dialogs = false;
    config.window.splash_period_ms = 0;
    meterdesk::ui::Application meter(config);
    meter.start();
    const auto give_up = Clock::now() + std::chrono::seconds(10);
    while (
        (meter.window().windowHandle() == nullptr || !meter.window().windowHandle()->isExposed()) &&
        Clock::now() < give_up)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    constexpr int kRuns = 300;
    print("window on screen (image blit, menu, toolbar)", time_runs(kRuns, [&](int) {
              meter.window().repaint(); // paints synchronously
          }));
    print("window grabbed into an image (all widgets)", time_runs(kRuns, [&](int) {
              const QPixmap shot = meter.window().grab();
              (void)shot;
          }));
    meter.shutdown();
}

void measuring(int seconds) {
    rfsim_configure("[device]\ntiming = realistic\nlatency_ms = 1\npower_dbm = -20\n"
                    "noise_uv = 2\n");
    meterdesk::ui::ApplicationConfig config;
    config.use_audio = false;
    config.register_dialogs = false;
    config.window.splash_period_ms = 0;
    meterdesk::ui::Application meter(config);
    QObject::connect(&meter.window(), &meterdesk::ui::MainWindow::quit_requested,
                     QCoreApplication::instance(), &QCoreApplication::quit);
    meter.start();

    // Wait for the readout, then measure a steady stretch.
    const auto give_up = Clock::now() + std::chrono::seconds(20);
    while (meter.window().painter().draw_count(meterdesk::RepaintRequest::kLiveReadout) == 0 &&
           Clock::now() < give_up)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const int readouts_before =
        meter.window().painter().draw_count(meterdesk::RepaintRequest::kLiveReadout);
    const double rss_before = resident_mib();
    const double cpu_before = process_cpu_seconds();
    const auto wall_before = Clock::now();
    QTimer::singleShot(seconds * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
    QApplication::exec();
    const double wall = std::chrono::duration<double>(Clock::now() - wall_before).count();
    const double cpu = process_cpu_seconds() - cpu_before;
    const int readouts =
        meter.window().painter().draw_count(meterdesk::RepaintRequest::kLiveReadout) -
        readouts_before;
    const double rss_after = resident_mib();
    meter.shutdown();

    std::printf("\nMeasuring continuously for %.1f s (simulated sensor, realistic timing):\n",
                wall);
    std::printf("  readout repaints drawn    %d (%.1f per second)\n", readouts, readouts / wall);
    std::printf("  CPU use                   %.1f %% of one core (%.2f s)\n", 100.0 * cpu / wall,
                cpu);
    std::printf("  resident memory           %.1f MiB at the start, %.1f MiB at the end\n",
                rss_before, rss_after);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    setenv("RFSENSE_LINK", "sim", 0);
    // Keep the run's files out of the user's own settings.
    const auto scratch = std::filesystem::temp_directory_path() / "meterdesk-draw-bench";
    std::filesystem::create_directories(scratch);
    setenv("QUORIX_HOME", scratch.c_str(), 1);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    drawing();
    window_repaint();
    measuring(seconds);
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
