// Readings per second that a SensorPowerLog loop receives in realistic timing (1 ms USB latency),
// at the fastest filter and at range 0's default filter, as a share of the sensor's conversion
// rate; the CPU time each reading costs; and how long SensorInit takes, against the least it
// can take: one latency per command sent plus the one conversion it must wait for.
//
// All of it twice: through the sim backend, and through the ftdi backend over the emulated USB
// bridge (libftdi1 over librfsim-usb, linked ahead of libusb; the chip's packets and its 1 ms
// latency timer included), each printed with its ratio to the sim backend's figure. A process
// keeps one link, so the bridge is measured in a child process.
#include "process_cpu.h"
#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto run_time = std::chrono::seconds(2);
constexpr double target_ratio = 0.95;
// Conversion rates of the sensor's filter codes 0..14.
constexpr std::array<double, 15> conversions_per_second{
    500, 250, 125, 62.5, 50, 39.2, 33.3, 19.6, 16.7, 16.7, 12.2, 10, 8.33, 6.25, 4.17};
constexpr int32_t first_filter_index = 3; // range settings: gains 0..2, filters 3..5, lengths 6..8

// What one link gives; negative when not measured.
struct Figures {
    double init_fast_ms = -1;
    double init_realistic_ms = -1;
    double fastest_filter = -1; // readings per second
    double range0_filter = -1;
    double init_ideal_ratio_1ms = -1; // measured / ideal SensorInit time
    double init_ideal_ratio_4ms = -1;
};

// " over the emulated bridge" on the ftdi link, "" on the sim link.
const char *tag = "";

bool set(const char *key, const char *value) {
    if (rfsim_set(0, key, value) == 0) return true;
    std::fprintf(stderr, "reading_rate: cannot set %s=%s: %s\n", key, value, rfsim_error());
    return false;
}

// Opens a session; returns the SensorInit time in milliseconds, or a negative value.
double open_session(SensorRecord *&record) {
    const auto start = Clock::now();
    SensorOpen(&record);
    const int32_t result = SensorInit(record);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (result != SENSOR_DONE) {
        std::fprintf(stderr, "reading_rate: SensorInit returned %d\n", result);
        return -1.0;
    }
    return ms;
}

// SensorInit in realistic timing at `latency_ms` on a freshly configured sensor: the commands it
// sent, the ideal time and the measured time. Range selection at start-up waits for one fresh
// conversion at range 2's default filter (code 12, 8.33 conversions/s).
bool report_init(int latency_ms, double &ratio) {
    char config[96];
    std::snprintf(config, sizeof config, "[device]\ntiming = realistic\nlatency_ms = %d\n",
                  latency_ms);
    if (rfsim_configure(config) < 0) {
        std::fprintf(stderr, "reading_rate: %s\n", rfsim_error());
        return false;
    }
    SensorRecord *record = nullptr;
    const double ms = open_session(record);
    std::vector<char> log(1 << 16);
    const int length = rfsim_get(0, "commands", log.data(), static_cast<int>(log.size()));
    SensorClose(&record);
    if (ms < 0 || length < 0) return false;
    // The log holds what the reader thread sent after start-up too; count up to its first
    // thermistor read or its first conversion after the discarded one.
    const std::string commands(log.data(), static_cast<size_t>(length));
    long sent = 0;
    size_t at = 0;
    int conversions = 0;
    while (at < commands.size()) {
        size_t end = commands.find('\n', at);
        if (end == std::string::npos) end = commands.size();
        const std::string command = commands.substr(at, end - at);
        if (command == "T1?" || (command == "ADC?" && ++conversions > 1)) break;
        ++sent;
        at = end + 1;
    }
    const double ideal =
        static_cast<double>(sent) * latency_ms + 1000.0 / conversions_per_second[12];
    ratio = ms / ideal;
    std::printf("sensor_init realistic%s (%d ms latency): %ld commands, ideal %.1f ms, measured "
                "%.1f ms (ratio %.2f)\n",
                tag, latency_ms, sent, ideal, ms, ratio);
    return true;
}

// Holds `range` with `filter_code`, lets it settle, then counts readings for the run time.
bool measure(SensorRecord *record, int32_t range, int32_t filter_code, const char *label,
             double &rate) {
    if (SensorRangeHold(record, range) != SENSOR_DONE ||
        SensorFilterSettingsUpdate(record, first_filter_index + range, filter_code) != SENSOR_DONE)
        return false;
    double dbm = 0.0;
    for (int i = 0; i < 10; ++i)
        if (SensorPowerLog(record, &dbm) == SENSOR_NOT_CONNECTED) return false;

    long readings = 0;
    const double cpu_start = process_cpu_seconds();
    const auto start = Clock::now();
    auto now = start;
    while (now - start < run_time) {
        if (SensorPowerLog(record, &dbm) == SENSOR_NOT_CONNECTED) return false;
        ++readings;
        now = Clock::now();
    }
    const double cpu = process_cpu_seconds() - cpu_start;
    rate = static_cast<double>(readings) / std::chrono::duration<double>(now - start).count();
    const double conversions = conversions_per_second[static_cast<std::size_t>(filter_code)];
    const double ratio = rate / conversions;
    std::printf("reading_rate %s%s: %.1f readings/s (ratio %.3f of the %g conversions/s of filter "
                "code %d in range %d; target >= %.2f: %s), last %.2f dBm\n",
                label, tag, rate, ratio, conversions, filter_code, range, target_ratio,
                ratio >= target_ratio ? "met" : "NOT met", dbm);
    std::printf("reading_rate %s%s: %.1f us CPU per reading (whole process, simulator "
                "included)\n",
                label, tag, cpu / static_cast<double>(readings) * 1e6);
    return true;
}

// Every figure on one link ("sim" or "ftdi"), printed as it is measured.
bool measure_link(const char *link, Figures &f) {
    // The link is chosen before the library first uses it.
    setenv("RFSENSE_LINK", link, 1);
    unsetenv("RFSENSE_SIM");
    tag = std::string(link) == "ftdi" ? " over the emulated bridge" : "";
    if (rfsim_configure("") < 0) return false;

    SensorRecord *record = nullptr;
    f.init_fast_ms = open_session(record);
    SensorClose(&record);
    if (f.init_fast_ms < 0) return false;

    if (!set("timing", "realistic") || !set("latency_ms", "1")) return false;
    f.init_realistic_ms = open_session(record);
    if (f.init_realistic_ms < 0) {
        SensorClose(&record);
        return false;
    }

    // The range a -10 dBm signal settles in, given by its display update rate (10, 6, 2).
    double dbm = 0.0;
    for (int i = 0; i < 30; ++i) SensorPowerLog(record, &dbm);
    const int32_t update_rate = DisplayUpdateRate(record);
    const int32_t settled_range = update_rate == 10 ? 0 : update_rate == 6 ? 1 : 2;

    bool ok = measure(record, settled_range, 0, "fastest filter", f.fastest_filter);
    if (ok) {
        // Range 0 with its default filter, on a signal that belongs there.
        ok = set("power_dbm", "5") &&
             measure(record, 0, 4, "range 0 default filter", f.range0_filter);
    }
    SensorClose(&record);
    if (!ok) {
        std::fprintf(stderr, "reading_rate: the sensor stopped answering\n");
        return false;
    }
    std::printf("sensor_init fast%s: %.1f ms\n", tag, f.init_fast_ms);
    std::printf("sensor_init realistic%s (1 ms latency): %.1f ms\n", tag, f.init_realistic_ms);
    return report_init(1, f.init_ideal_ratio_1ms) && report_init(4, f.init_ideal_ratio_4ms);
}

// Runs measure_link("ftdi") in a child process and takes its figures back through a pipe.
bool measure_bridge_in_child(Figures &f) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(fds[0]);
        Figures mine;
        const bool ok = measure_link("ftdi", mine);
        std::fflush(stdout);
        if (ok) {
            char text[512];
            const int n =
                std::snprintf(text, sizeof text, "%a %a %a %a %a %a", mine.init_fast_ms,
                              mine.init_realistic_ms, mine.fastest_filter, mine.range0_filter,
                              mine.init_ideal_ratio_1ms, mine.init_ideal_ratio_4ms);
            if (write(fds[1], text, static_cast<size_t>(n)) != n) _exit(1);
        }
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    return std::sscanf(text.c_str(), "%la %la %la %la %la %la", &f.init_fast_ms,
                       &f.init_realistic_ms, &f.fastest_filter, &f.range0_filter,
                       &f.init_ideal_ratio_1ms, &f.init_ideal_ratio_4ms) == 6;
}

void print_ratio(const char *what, double bridge, double sim, bool rate) {
    const double ratio = bridge / sim;
    if (rate)
        std::printf("%s over the emulated bridge / sim backend: %.3f (%.1f / %.1f; within 5 %%: "
                    "%s)\n",
                    what, ratio, bridge, sim, ratio >= 0.95 && ratio <= 1.05 ? "yes" : "NO");
    else
        std::printf("%s over the emulated bridge / sim backend: %.2f (%.1f ms / %.1f ms)\n", what,
                    ratio, bridge, sim);
}

} // namespace

int main() {
    Figures bridge;
    if (!measure_bridge_in_child(bridge)) {
        std::fprintf(stderr, "reading_rate: the run over the emulated bridge failed\n");
        return 1;
    }
    Figures sim;
    if (!measure_link("sim", sim)) return 1;
    print_ratio("reading_rate fastest filter", bridge.fastest_filter, sim.fastest_filter, true);
    print_ratio("reading_rate range 0 default filter", bridge.range0_filter, sim.range0_filter,
                true);
    print_ratio("sensor_init fast", bridge.init_fast_ms, sim.init_fast_ms, false);
    print_ratio("sensor_init realistic (1 ms latency)", bridge.init_realistic_ms,
                sim.init_realistic_ms, false);
    return 0;
}
