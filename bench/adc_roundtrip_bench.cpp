// "ADC?" round trips per second through the link layer, on two paths: the simulated bus through
// the sim backend, and the same simulated sensor through the ftdi backend over the emulated USB
// bridge (libftdi1 over librfsim-usb, which this program links ahead of libusb: the chip's
// packets and its 1 ms latency timer included). Each is measured in fast timing (the cost of the
// software path alone) and in realistic timing at the sensor's fastest filter, where the figure
// is bounded by the conversion period and the USB latency; the bridge's figures are printed with
// their ratio to the sim backend's of the same run.
#include "link/backends.h"
#include "link/link.h"

#include <rfsim/rfsim.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using rfsense::link::Status;

constexpr auto run_time = std::chrono::milliseconds(1500);
constexpr double latency_ms = 1.0;
constexpr double fastest_conversions_per_second = 500.0; // filter code 0, "FLT1"

bool send(rfsense::link::Device &device, const char *command, uint32_t length) {
    uint32_t written = 0;
    return device.write(command, length, written) == Status::ok && written == length;
}

// One "ADC?" exchange: the command, then the 4-byte code.
bool round_trip(rfsense::link::Device &device) {
    if (!send(device, "ADC?\n", 5)) return false;
    unsigned char reply[4];
    uint32_t have = 0;
    while (have < sizeof reply) {
        uint32_t waiting = 0;
        if (device.wait_queue(std::chrono::milliseconds(1000), waiting) != Status::ok ||
            waiting == 0)
            return false;
        uint32_t got = 0;
        const uint32_t want = std::min<uint32_t>(waiting, sizeof reply - have);
        if (device.read(reply + have, want, got) != Status::ok) return false;
        have += got;
    }
    return true;
}

// Round trips per second over the run time; negative when the device stopped answering.
double measure(rfsense::link::Device &device) {
    for (int i = 0; i < 20; ++i) // settle the conversion pipeline
        if (!round_trip(device)) return -1.0;
    long count = 0;
    const auto start = Clock::now();
    auto now = start;
    while (now - start < run_time) {
        if (!round_trip(device)) return -1.0;
        ++count;
        now = Clock::now();
    }
    return static_cast<double>(count) / std::chrono::duration<double>(now - start).count();
}

bool set(const char *key, const char *value) {
    if (rfsim_set(0, key, value) == 0) return true;
    std::fprintf(stderr, "adc_roundtrip: cannot set %s=%s: %s\n", key, value, rfsim_error());
    return false;
}

struct Figures {
    double fast = -1.0;
    double realistic = -1.0;
};

// Both figures on the first device of `bus`, a freshly configured default sensor.
bool measure_path(rfsense::link::Bus &bus, const char *path, Figures &figures) {
    if (rfsim_configure("") < 0) return false;
    std::unique_ptr<rfsense::link::Device> device;
    if (bus.open(0, device) != Status::ok) {
        std::fprintf(stderr, "adc_roundtrip: cannot open the sensor (%s)\n", path);
        return false;
    }
    device->purge();
    if (!set("timing", "fast")) return false;
    figures.fast = measure(*device);
    if (figures.fast < 0) {
        std::fprintf(stderr, "adc_roundtrip: the sensor stopped answering (%s, fast timing)\n",
                     path);
        return false;
    }
    char latency_text[32];
    std::snprintf(latency_text, sizeof latency_text, "%g", latency_ms);
    if (!set("timing", "realistic") || !set("latency_ms", latency_text) ||
        !send(*device, "FLT1\n", 5))
        return false;
    figures.realistic = measure(*device);
    if (figures.realistic < 0) {
        std::fprintf(stderr, "adc_roundtrip: the sensor stopped answering (%s, realistic timing)\n",
                     path);
        return false;
    }
    return true;
}

} // namespace

int main() {
    Figures sim;
    Figures bridge;
    std::string error;
    const std::unique_ptr<rfsense::link::Bus> sim_bus = rfsense::link::make_sim_bus("", error);
    if (!measure_path(*sim_bus, "sim backend", sim)) return 1;
    const std::unique_ptr<rfsense::link::Bus> ftdi_bus = rfsense::link::make_ftdi_bus();
    if (!measure_path(*ftdi_bus, "ftdi backend over the emulated bridge", bridge)) return 1;

    std::printf("adc_roundtrip fast: %.1f round trips/s\n", sim.fast);
    std::printf("adc_roundtrip fast over the emulated bridge (ftdi backend, libftdi1): %.1f round "
                "trips/s (ratio %.3f of the sim backend's %.1f)\n",
                bridge.fast, bridge.fast / sim.fast, sim.fast);

    const double conversion_ms = 1000.0 / fastest_conversions_per_second;
    const double limit = 1000.0 / std::max(latency_ms, conversion_ms);
    const double latency_limit = 1000.0 / latency_ms;
    std::printf("adc_roundtrip realistic: %.1f round trips/s (ratio %.3f of the %.0f/s limit "
                "1/max(latency %g ms, conversion %g ms); ratio %.3f of the %.0f/s limit "
                "1/latency)\n",
                sim.realistic, sim.realistic / limit, limit, latency_ms, conversion_ms,
                sim.realistic / latency_limit, latency_limit);
    std::printf("adc_roundtrip realistic over the emulated bridge (ftdi backend, libftdi1): %.1f "
                "round trips/s (ratio %.3f of the sim backend's %.1f; ratio %.3f of the %.0f/s "
                "limit)\n",
                bridge.realistic, bridge.realistic / sim.realistic, sim.realistic,
                bridge.realistic / limit, limit);
    return 0;
}
