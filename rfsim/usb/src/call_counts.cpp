#include "call_counts.h"

#include <array>
#include <atomic>

namespace rfsim::usb {

namespace {

constexpr const char *names[] = {
#define RFSIM_USB_NAME(name) #name,
    RFSIM_USB_CALLS(RFSIM_USB_NAME)
#undef RFSIM_USB_NAME
};

constexpr std::size_t call_kinds = sizeof names / sizeof names[0];

std::array<std::atomic<long>, call_kinds> &counts() {
    static std::array<std::atomic<long>, call_kinds> instance{};
    return instance;
}

} // namespace

void count(Call call) {
    counts()[static_cast<std::size_t>(call)].fetch_add(1, std::memory_order_relaxed);
}

std::string call_counts_text() {
    std::string text;
    for (std::size_t i = 0; i < call_kinds; ++i) {
        const long n = counts()[i].load(std::memory_order_relaxed);
        if (n > 0) text += std::string(names[i]) + " " + std::to_string(n) + "\n";
    }
    return text;
}

void clear_call_counts() {
    for (auto &n : counts()) n.store(0, std::memory_order_relaxed);
}

} // namespace rfsim::usb
