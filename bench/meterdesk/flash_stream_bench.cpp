// How long the FLASH programmer takes for a 16 KiB image (1024 records of 16 bytes): checking
// the whole file and building its packets, and streaming them to the simulated bench
// programmer in fast timing (identity, packets, end packet, the identity check after it).
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/worker.h"
#include "meterdesk/factory/flash_image.h"
#include "meterdesk/factory/flash_programmer.h"
#include "quiet_ui.h"

#include "link/link.h"

#include <rfsim/rfsim.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Answers every question with OK and shows nothing.
class SilentUi final : public QuietUi {
  public:
    meterdesk::MessageAnswer message(std::string_view, std::string_view text,
                                     meterdesk::MessageButtons, meterdesk::MessageIcon) override {
        last = text;
        return meterdesk::MessageAnswer::kOk;
    }

    std::string last;
};

std::string image_16k() {
    std::string text = ":020000040000FA\n";
    char line[64];
    for (unsigned row = 0; row < 1024; ++row) {
        const unsigned address = row * 16;
        unsigned sum = 16 + (address >> 8) + (address & 0xFF);
        int n = std::snprintf(line, sizeof line, ":10%04X00", address);
        for (unsigned i = 0; i < 16; ++i) {
            const unsigned byte = (row + i) & 0xFF;
            sum += byte;
            n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "%02X", byte);
        }
        std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "%02X\n",
                      (0x100 - (sum & 0xFF)) & 0xFF);
        text += line;
    }
    return text + ":00000001FF\n";
}

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main() {
    setenv("RFSENSE_LINK", "sim", 0);
    if (rfsim_configure("[device]\nkind = programmer\ntiming = fast\n") < 0) {
        std::fprintf(stderr, "flash_stream_bench: %s\n", rfsim_error());
        return 1;
    }
    const std::string content = image_16k();
    constexpr int kRuns = 20;
    std::vector<double> check_ms;
    std::vector<double> stream_ms;
    meterdesk::AppState state;
    SilentUi ui;
    meterdesk::Worker worker;
    meterdesk::FlashProgrammer programmer(state, ui, rfsense::link::active_bus(), worker);
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        auto built = meterdesk::build_flash_image(content);
        check_ms.push_back(ms_since(start));
        if (!built.image) {
            std::fprintf(stderr, "flash_stream_bench: %s\n", built.error->reason.c_str());
            return 1;
        }
        start = Clock::now();
        if (!programmer.connect() || !programmer.start(std::move(*built.image)) ||
            !worker.wait_idle(std::chrono::seconds(30))) {
            std::fprintf(stderr, "flash_stream_bench: the run did not finish: %s\n",
                         ui.last.c_str());
            return 1;
        }
        stream_ms.push_back(ms_since(start));
        if (ui.last.rfind("FLASH programming complete.", 0) != 0) {
            std::fprintf(stderr, "flash_stream_bench: %s\n", ui.last.c_str());
            return 1;
        }
    }
    std::sort(check_ms.begin(), check_ms.end());
    std::sort(stream_ms.begin(), stream_ms.end());
    const auto median = [](const std::vector<double> &v) { return v[v.size() / 2]; };
    std::printf(
        "16 KiB image, 1024 records, %d runs, fast timing (target: check + stream < 100 ms)\n",
        kRuns);
    std::printf("  check and build packets: median %.2f ms, worst %.2f ms\n", median(check_ms),
                check_ms.back());
    std::printf("  find, identify, stream, end and identity check: median %.2f ms, worst %.2f ms\n",
                median(stream_ms), stream_ms.back());
    std::printf("  total: median %.2f ms\n", median(check_ms) + median(stream_ms));
    return 0;
}
