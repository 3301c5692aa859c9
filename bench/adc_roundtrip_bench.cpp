// "ADC?" round trips per second through the link layer on the simulated bus: in fast timing (the
// cost of the software path alone) and in realistic timing at the sensor's fastest filter, where
// the figure is bounded by the conversion period and the USB latency.
#include "link/link.h"

#include <rfsim/rfsim.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

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

} // namespace

int main() {
    // The simulated bus with its default sensor, chosen before the link is first used.
    setenv("RFSENSE_LINK", "sim", 1);
    unsetenv("RFSENSE_SIM");

    rfsense::link::Bus &bus = rfsense::link::active_bus();
    std::unique_ptr<rfsense::link::Device> device;
    if (bus.open(0, device) != Status::ok) {
        std::fprintf(stderr, "adc_roundtrip: cannot open the simulated sensor\n");
        return 1;
    }
    device->purge();

    if (!set("timing", "fast")) return 1;
    const double fast = measure(*device);
    if (fast < 0) {
        std::fprintf(stderr, "adc_roundtrip: the sensor stopped answering (fast timing)\n");
        return 1;
    }
    std::printf("adc_roundtrip fast: %.1f round trips/s\n", fast);

    char latency_text[32];
    std::snprintf(latency_text, sizeof latency_text, "%g", latency_ms);
    if (!set("timing", "realistic") || !set("latency_ms", latency_text) ||
        !send(*device, "FLT1\n", 5))
        return 1;
    const double realistic = measure(*device);
    if (realistic < 0) {
        std::fprintf(stderr, "adc_roundtrip: the sensor stopped answering (realistic timing)\n");
        return 1;
    }
    const double conversion_ms = 1000.0 / fastest_conversions_per_second;
    const double limit = 1000.0 / std::max(latency_ms, conversion_ms);
    const double latency_limit = 1000.0 / latency_ms;
    std::printf("adc_roundtrip realistic: %.1f round trips/s (ratio %.3f of the %.0f/s limit "
                "1/max(latency %g ms, conversion %g ms); ratio %.3f of the %.0f/s limit "
                "1/latency)\n",
                realistic, realistic / limit, limit, latency_ms, conversion_ms,
                realistic / latency_limit, latency_limit);
    return 0;
}
