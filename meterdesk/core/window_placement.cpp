#include "meterdesk/core/window_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace meterdesk {
namespace {

// Length of the overlap of [a, a + a_len) and [b, b + b_len).
std::int64_t overlap(std::int64_t a, std::int64_t a_len, std::int64_t b, std::int64_t b_len) {
    return std::max<std::int64_t>(0, std::min(a + a_len, b + b_len) - std::max(a, b));
}

// Gap between [a, a + a_len) and [b, b + b_len); 0 when they overlap.
std::int64_t gap(std::int64_t a, std::int64_t a_len, std::int64_t b, std::int64_t b_len) {
    if (a + a_len <= b) return b - (a + a_len);
    if (b + b_len <= a) return a - (b + b_len);
    return 0;
}

int clamp_start(int start, int length, int area_start, int area_length) {
    if (length >= area_length) return area_start;
    return std::clamp(start, area_start, area_start + area_length - length);
}

} // namespace

WindowPlace place_window(int left, int top, int width, int height,
                         const std::vector<Rect> &available) {
    if (available.empty()) return {left, top};
    // The screen the window overlaps most; off every screen, the nearest one.
    const Rect *best = nullptr;
    std::int64_t best_overlap = 0;
    std::int64_t best_distance = std::numeric_limits<std::int64_t>::max();
    for (const Rect &area : available) {
        const std::int64_t shared =
            overlap(left, width, area.x, area.width) * overlap(top, height, area.y, area.height);
        const std::int64_t dx = gap(left, width, area.x, area.width);
        const std::int64_t dy = gap(top, height, area.y, area.height);
        const std::int64_t distance = dx * dx + dy * dy;
        if (shared > best_overlap ||
            (best_overlap == 0 && shared == 0 && distance < best_distance)) {
            best = &area;
            best_overlap = shared;
            best_distance = distance;
        }
    }
    return {clamp_start(left, width, best->x, best->width),
            clamp_start(top, height, best->y, best->height)};
}

} // namespace meterdesk
