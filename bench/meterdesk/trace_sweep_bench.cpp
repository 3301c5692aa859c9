// trace_sweep_bench: trace runs on the simulated sensor in realistic timing (1 ms latency),
// paced by a precise ticker thread standing in for the sample timer. Prints per case the sweep
// time against nominal, points per second against 1 / period, the lag from a tick to its point
// (median, p99, max), lost ticks (a tick that found the previous one not yet taken) and the
// process CPU while sweeping.
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sampling.h"
#include "meterdesk/core/trace_run.h"
#include "meterdesk/trace/trace_control.h"
#include "process_cpu.h"
#include "quiet_ui.h"

#include <rfsim/rfsim.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Records when each trace repaint (one per point from the second on) was asked for.
class SweepUi : public QuietUi {
  public:
    void repaint(meterdesk::RepaintRequest code) override {
        if (code != meterdesk::RepaintRequest::kTracePlot) return;
        std::lock_guard lock(mutex_);
        points_.push_back(Clock::now());
    }

    void clear() {
        std::lock_guard lock(mutex_);
        points_.clear();
    }
    std::vector<Clock::time_point> points() {
        std::lock_guard lock(mutex_);
        return points_;
    }

  private:
    std::mutex mutex_;
    std::vector<Clock::time_point> points_;
};

struct Case {
    const char *name;
    const char *power_dbm;
    int samples;
    double period_s;
};

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

} // namespace

int main() {
    setenv("RFSENSE_LINK", "sim", 1);
    const auto home = std::filesystem::temp_directory_path() / "trace_sweep_bench";
    std::filesystem::create_directories(home);
    setenv("QUORIX_HOME", home.c_str(), 1);
    setenv("MARRICK_HOME", home.c_str(), 1);

    const Case cases[] = {
        {"50 x 0.2 s, range 0 (50 conv/s)", "0", 50, 0.2},
        {"50 x 0.2 s, range 2 (8.33 conv/s)", "-45", 50, 0.2},
        {"10 x 1 s, range 0", "0", 10, 1.0},
    };
    std::printf("%-36s %9s %9s %8s %8s %8s %8s %5s %6s\n", "case", "sweep s", "nominal", "pts/s",
                "1/period", "lag med", "lag p99", "lost", "CPU %");
    for (const Case &c : cases) {
        const std::string config = std::string("[device]\ntiming = realistic\nlatency_ms = 1\n"
                                               "power_dbm = ") +
                                   c.power_dbm + "\n";
        if (rfsim_configure(config.c_str()) < 0) {
            std::fprintf(stderr, "simulator: %s\n", rfsim_error());
            return 1;
        }
        meterdesk::AppState state;
        SweepUi ui;
        state.app_dir = home.string();
        state.startup_phase = meterdesk::kStartupSplashDone;
        meterdesk::TraceRun run(state, ui);
        meterdesk::Sampling sampling(state, ui);
        sampling.set_trace_run([&run](SensorRecord *sensor) { run.run(sensor); });
        meterdesk::MeasurementThread thread(state, ui, {}, &sampling);
        thread.start();
        const auto connect_limit = Clock::now() + std::chrono::seconds(30);
        while (state.connection_state != meterdesk::kConnectionMeasuring &&
               Clock::now() < connect_limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::seconds(3)); // auto-ranging settles

        state.trace_samples = c.samples;
        state.trace_period_s = c.period_s;
        ui.clear();
        const double cpu_before = process_cpu_seconds();
        const auto begin = Clock::now();
        meterdesk::start_trace(state, ui);
        std::vector<Clock::time_point> ticks;
        int lost = 0;
        const auto period =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(c.period_s));
        for (int k = 0; state.trace_running; ++k) {
            std::this_thread::sleep_until(begin + period * (k + 1));
            if (!state.trace_running) break;
            ticks.push_back(Clock::now());
            if (state.sample_due.exchange(true)) ++lost;
            state.trace_wake.notify();
        }
        const double cpu = process_cpu_seconds() - cpu_before;
        const double cpu_span = std::chrono::duration<double>(Clock::now() - begin).count();
        thread.stop();

        // Point i (from 1) follows tick i; the sweep runs from Start to the last point.
        const auto points = ui.points();
        const double sweep =
            points.empty() ? 0.0 : std::chrono::duration<double>(points.back() - begin).count();
        std::vector<double> lags_ms;
        for (std::size_t i = 0; i < points.size() && i + 1 < ticks.size(); ++i)
            lags_ms.push_back(
                std::chrono::duration<double, std::milli>(points[i] - ticks[i + 1]).count());
        const double nominal = c.samples * c.period_s;
        std::printf("%-36s %9.3f %9.3f %8.3f %8.3f %7.2fms %7.2fms %5d %6.2f   (max lag %.2f ms)\n",
                    c.name, sweep, nominal, state.trace_count / sweep, 1.0 / c.period_s,
                    percentile(lags_ms, 0.5), percentile(lags_ms, 0.99), lost,
                    100.0 * cpu / cpu_span, lags_ms.empty() ? 0.0 : percentile(lags_ms, 1.0));
    }
    std::filesystem::remove_all(home);
    return 0;
}
