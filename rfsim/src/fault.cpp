#include "fault.h"

#include <charconv>

namespace rfsim {

namespace {

struct Name {
    std::string_view text;
    FaultKind kind;
};

constexpr Name names[] = {
    {"unplug", FaultKind::unplug}, {"silent", FaultKind::silent}, {"corrupt", FaultKind::corrupt}};

} // namespace

std::optional<FaultPlan> parse_fault(std::string_view text) {
    if (text == "none") return FaultPlan{};
    const size_t at = text.find('@');
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view kind = text.substr(0, at);
    const std::string_view count = text.substr(at + 1);
    uint64_t n = 0;
    const char *end = count.data() + count.size();
    auto [ptr, ec] = std::from_chars(count.data(), end, n);
    if (count.empty() || ec != std::errc() || ptr != end || n == 0) return std::nullopt;
    for (const Name &name : names)
        if (name.text == kind) return FaultPlan{name.kind, n};
    return std::nullopt;
}

std::string format_fault(const FaultPlan &plan) {
    for (const Name &name : names)
        if (name.kind == plan.kind) return std::string(name.text) + "@" + std::to_string(plan.at);
    return "none";
}

} // namespace rfsim
