// How much the meter application's measurement loop adds on top of the sensor library, with the
// simulated sensor in realistic timing:
//   - latency from the library handing over a new average (SensorPowerLog / SensorPowerLin
//     returning) to the readout repaint request, for the readings that trigger a repaint;
//   - CPU time used by the measurement thread per second of measuring (the library's own
//     reader thread is reported separately as the rest of the process).
//
// The two reading exports are interposed in this executable: the measurement loop (linked
// statically) calls these definitions, which call the library's and note when it returned.
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/core/ports.h"
#include "process_cpu.h"
#include "quiet_ui.h"

#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::atomic<std::int64_t> last_library_return_ns{0};
std::atomic<bool> measurement_clock_known{false};
clockid_t measurement_clock{};

std::int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

void note_return() {
    last_library_return_ns = now_ns();
    if (!measurement_clock_known) {
        pthread_getcpuclockid(pthread_self(), &measurement_clock);
        measurement_clock_known = true;
    }
}

template <typename Function>
Function next_definition(const char *name) {
    void *symbol = dlsym(RTLD_NEXT, name);
    if (symbol == nullptr) {
        std::fprintf(stderr, "measurement_latency_bench: %s not found in the library\n", name);
        std::exit(1);
    }
    return reinterpret_cast<Function>(symbol);
}

using ReadingFunction = int32_t (*)(SensorRecord *, double *);

} // namespace

extern "C" int32_t SensorPowerLog(SensorRecord *record, double *dbm) {
    static const auto library = next_definition<ReadingFunction>("SensorPowerLog");
    const int32_t rc = library(record, dbm);
    note_return();
    return rc;
}

extern "C" int32_t SensorPowerLin(SensorRecord *record, double *watts) {
    static const auto library = next_definition<ReadingFunction>("SensorPowerLin");
    const int32_t rc = library(record, watts);
    note_return();
    return rc;
}

namespace {

// A Ui that only times the readout repaints; everything else is a no-op.
class TimingUi : public QuietUi {
  public:
    void repaint(meterdesk::RepaintRequest code) override {
        if (code != meterdesk::RepaintRequest::kLiveReadout) return;
        const std::int64_t latency = now_ns() - last_library_return_ns.load();
        std::lock_guard lock(mutex_);
        if (recording_) latencies_ns_.push_back(latency);
    }

    void record(bool on) {
        std::lock_guard lock(mutex_);
        recording_ = on;
        if (on) latencies_ns_.clear();
    }
    std::vector<std::int64_t> latencies() {
        std::lock_guard lock(mutex_);
        return latencies_ns_;
    }

  private:
    std::mutex mutex_;
    bool recording_ = false;
    std::vector<std::int64_t> latencies_ns_;
};

double thread_cpu_seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double percentile_us(std::vector<std::int64_t> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return static_cast<double>(values[index]) * 1e-3;
}

void measure(meterdesk::AppState &state, TimingUi &ui, int mode, const char *name,
             std::chrono::seconds period) {
    state.meas_mode = mode;
    std::this_thread::sleep_for(300ms); // settle in the new mode
    ui.record(true);
    const double thread_before = thread_cpu_seconds(measurement_clock);
    const double process_before = process_cpu_seconds();
    const auto begin = Clock::now();
    std::this_thread::sleep_for(period);
    const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
    const double thread_cpu = thread_cpu_seconds(measurement_clock) - thread_before;
    const double process_cpu = process_cpu_seconds() - process_before;
    ui.record(false);
    const auto latencies = ui.latencies();

    std::printf("%s mode, realistic timing, %.1f s of measuring:\n", name, wall);
    std::printf("  readout repaints: %zu (%.1f per second)\n", latencies.size(),
                static_cast<double>(latencies.size()) / wall);
    std::printf("  added latency, library average -> repaint request: median %.1f us, "
                "p99 %.1f us, max %.1f us\n",
                percentile_us(latencies, 0.5), percentile_us(latencies, 0.99),
                percentile_us(latencies, 1.0));
    std::printf("  measurement thread CPU: %.2f ms per second of measuring (%.3f %%)\n",
                thread_cpu / wall * 1e3, thread_cpu / wall * 100.0);
    std::printf("  whole process CPU (library reader, simulator, bench): %.2f ms per second\n",
                process_cpu / wall * 1e3);
}

} // namespace

int main() {
    setenv("RFSENSE_LINK", "sim", 0);
    const auto data = std::filesystem::temp_directory_path() / "meterdesk-latency-bench";
    std::filesystem::create_directories(data);
    setenv("QUORIX_HOME", data.c_str(), 1);
    setenv("MARRICK_HOME", data.c_str(), 1);

    if (rfsim_configure("[device]\npower_dbm = -20\ntiming = realistic\n") < 0) {
        std::fprintf(stderr, "measurement_latency_bench: %s\n", rfsim_error());
        return 1;
    }

    meterdesk::AppState state;
    state.app_dir = data.string();
    state.startup_phase = meterdesk::kStartupSplashDone;
    TimingUi ui;
    meterdesk::MeasurementThread thread(state, ui);
    thread.start();

    const auto give_up = Clock::now() + 30s;
    while (
        (state.connection_state != meterdesk::kConnectionMeasuring || !measurement_clock_known) &&
        Clock::now() < give_up) {
        std::this_thread::sleep_for(10ms);
    }
    if (!measurement_clock_known) {
        std::fprintf(stderr, "measurement_latency_bench: the simulated sensor did not connect\n");
        return 1;
    }

    measure(state, ui, meterdesk::kModeLog, "dBm", 5s);
    measure(state, ui, meterdesk::kModeLinear, "Linear (mW)", 5s);

    if (!thread.stop()) {
        std::fprintf(stderr, "measurement_latency_bench: the measurement thread did not stop\n");
        return 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(data, ignored);
    return 0;
}
