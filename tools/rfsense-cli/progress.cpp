#include "progress.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace rfsense::cli {

namespace {
constexpr int bar_width = 40;
}

Progress::Progress(std::string label, int total_steps, bool terminal)
    : label_(std::move(label)), total_(std::max(total_steps, 1)), terminal_(terminal) {
    draw(0);
}

Progress::~Progress() {
    finish();
}

void Progress::advance_to(int steps_done) {
    draw(std::clamp(steps_done * 100 / total_, 0, 100));
}

void Progress::finish() {
    if (finished_) return;
    finished_ = true;
    if (terminal_) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
}

void Progress::draw(int percent) {
    if (finished_) return;
    if (terminal_) {
        if (percent == shown_percent_) return;
        const int filled = percent * bar_width / 100;
        std::fprintf(stderr, "\r%s [%s%s] %3d%%", label_.c_str(),
                     std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     std::string(static_cast<std::size_t>(bar_width - filled), ' ').c_str(),
                     percent);
        std::fflush(stderr);
    } else {
        const int decile = percent / 10 * 10;
        if (decile <= shown_percent_) return;
        percent = decile;
        std::fprintf(stderr, "%s: %d%%\n", label_.c_str(), percent);
        std::fflush(stderr);
    }
    shown_percent_ = percent;
}

} // namespace rfsense::cli
