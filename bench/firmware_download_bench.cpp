// Firmware download lines per second: the meter's download protocol (each line sent after the
// sensor's two acknowledgement bytes) against the simulated sensor in realistic timing at 1 ms
// USB latency. Each line costs one round trip, so the bound is 1 / latency = 1000 lines/s; the
// target is at least 0.9 of that. Fast timing gives the cost of the software path alone.
#include "meterdesk/factory/firmware_hex.h"
#include "meterdesk/factory/firmware_transfer.h"

#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double latency_ms = 1.0;

// 1024 data records from 0x5000 and the end record: no fillers, 1025 lines.
std::vector<std::string> copy_lines() {
    std::string source;
    for (unsigned i = 0; i < 1024; ++i) {
        const unsigned address = 0x5000 + 16 * (i % 0xA00);
        char record[64];
        unsigned sum = 0x10 + (address >> 8) + (address & 0xFF);
        std::snprintf(record, sizeof record, ":10%04X00", address);
        source += record;
        for (int b = 0; b < 16; ++b) {
            source += "5A";
            sum += 0x5A;
        }
        std::snprintf(record, sizeof record, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
        source += record;
    }
    source += ":00000001FF\n";
    const meterdesk::FirmwareCopy copy = meterdesk::normalise_firmware(source);
    if (copy.refusal) {
        std::fprintf(stderr, "copy refused: line %d: %s\n", copy.refusal->line,
                     copy.refusal->reason.c_str());
        std::exit(1);
    }
    return copy.lines;
}

// Lines per second of one download, or a negative number when it did not complete.
double download(const char *timing, const std::vector<std::string> &lines) {
    const std::string config =
        std::string("timing = ") + timing + "\nlatency_ms = " + std::to_string(latency_ms) + "\n";
    if (rfsim_configure(config.c_str()) < 0) return -1.0;
    SensorRecord *sensor = nullptr;
    SensorOpen(&sensor);
    if (SensorInit(sensor) != 1) {
        SensorClose(&sensor);
        return -1.0;
    }
    const auto start = Clock::now();
    const meterdesk::TransferResult sent = meterdesk::send_firmware(sensor, lines, {});
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    SensorClose(&sensor);
    if (sent.end != meterdesk::TransferEnd::kComplete) return -1.0;
    return static_cast<double>(lines.size()) / seconds;
}

} // namespace

int main() {
    setenv("RFSENSE_LINK", "sim", 1);
    const auto lines = copy_lines();
    const double fast = download("fast", lines);
    const double realistic = download("realistic", lines);
    const double bound = 1000.0 / latency_ms;
    std::printf("firmware download, %zu lines\n", lines.size());
    std::printf("  fast timing:              %10.0f lines/s\n", fast);
    std::printf("  realistic, %.0f ms latency: %10.0f lines/s  (%.2f of the 1/latency bound "
                "%.0f lines/s; target 0.90)\n",
                latency_ms, realistic, realistic / bound, bound);
    return fast > 0 && realistic > 0 ? 0 : 1;
}
