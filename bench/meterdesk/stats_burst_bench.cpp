// The statistics burst's cost, on the simulated sensor:
//  1. readings per second of a 1000-reading burst (StatsBurst::run with its progress steps,
//     its checks and its results) against a bare SensorPowerLog loop on the same session, in
//     fast timing and in realistic timing (1 ms USB latency, the sensor's default filters); aim >=
//     0.95 of the bare loop in realistic timing;
//  2. the time to draw the statistics view (request 7) with 10 bins into the window's image.
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/stats_burst.h"
#include "meterdesk/trace/statistics.h"
#include "meterdesk/ui/trace/statistics_painter.h"
#include "quiet_ui.h"

#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <QApplication>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kReadings = 1000;
constexpr double kTargetRatio = 0.95;

// A Ui that shows nothing; progress steps only count.
class SilentUi final : public QuietUi {
  public:
    void progress_step(std::string_view) override { ++steps; }

    long steps = 0;
};

double bare_loop(SensorRecord *record) {
    const auto start = Clock::now();
    double dbm = 0;
    for (int i = 0; i < kReadings; ++i) SensorPowerLog(record, &dbm);
    return kReadings / std::chrono::duration<double>(Clock::now() - start).count();
}

double burst(SensorRecord *record, meterdesk::AppState &state, meterdesk::Ui &ui) {
    meterdesk::StatsBurst run(state, ui, std::filesystem::temp_directory_path() / "unused.txt");
    state.stats_samples = kReadings;
    state.stats_bins = 10;
    state.stats_mode = meterdesk::kStatsModeLog;
    state.stats_save_file = false;
    state.stats_abort = false;
    state.stats_requested = true;
    const auto start = Clock::now();
    run.run(record);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!state.stats_valid) std::fprintf(stderr, "stats_burst: the burst did not complete\n");
    return kReadings / seconds;
}

bool measure(const char *label, const char *config) {
    if (rfsim_configure(config) < 0) {
        std::fprintf(stderr, "stats_burst: %s\n", rfsim_error());
        return false;
    }
    SensorRecord *record = nullptr;
    SensorOpen(&record);
    if (SensorInit(record) != 1) {
        std::fprintf(stderr, "stats_burst: no simulated sensor\n");
        return false;
    }
    meterdesk::AppState state;
    SilentUi ui;
    bare_loop(record); // warm-up
    const double bare = bare_loop(record);
    const double with_burst = burst(record, state, ui);
    std::printf("%-10s bare SensorPowerLog loop %9.0f readings/s, burst %9.0f readings/s, "
                "ratio %.3f%s\n",
                label, bare, with_burst, with_burst / bare,
                std::string(label) == "realistic"
                    ? (with_burst / bare >= kTargetRatio ? " (aim >= 0.95: met)"
                                                         : " (aim >= 0.95: NOT met)")
                    : "");
    SensorClose(&record);
    return true;
}

void draw_time(int argc, char **argv) {
    QApplication app(argc, argv);
    meterdesk::AppState state;
    std::vector<double> values;
    for (int i = 0; i < 10000; ++i) values.push_back(-10.0 + 0.001 * (i % 997));
    state.stats_results.publish(std::make_shared<meterdesk::StatsResults>(meterdesk::compute_stats(
        values, 10, meterdesk::kStatsModeLog, std::chrono::microseconds(500'000))));
    state.stats_valid = true;
    QImage image(594, 281, QImage::Format_RGB32);
    auto painter = meterdesk::ui::make_statistics_painter(state);
    painter(image); // fonts made
    constexpr int kDraws = 200;
    const auto start = Clock::now();
    for (int i = 0; i < kDraws; ++i) painter(image);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("request 7 (10 bins) drawn in %.3f ms on average over %d draws\n", ms / kDraws,
                kDraws);
}

} // namespace

int main(int argc, char **argv) {
    setenv("RFSENSE_LINK", "sim", 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    bool ok = measure("fast", "[device]\npower_dbm = -10\ntiming = fast\n");
    ok = measure("realistic", "[device]\npower_dbm = -10\ntiming = realistic\nlatency_ms = 1\n") &&
         ok;
    draw_time(argc, argv);
    return ok ? 0 : 1;
}
