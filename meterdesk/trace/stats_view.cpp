#include "meterdesk/trace/stats_view.h"

#include "meterdesk/settings/number_text.h"

#include <string>

namespace meterdesk {

namespace {

// "%d.%d.%02d at %d:%02d:%02d": day, month, year - 2000, hour, minute, second.
std::string date_text(const std::tm &t) {
    const auto two = [](int v) {
        std::string s = printf_int(v);
        return s.size() < 2 ? "0" + s : s;
    };
    return printf_int(t.tm_mday) + "." + printf_int(t.tm_mon + 1) + "." +
           two(t.tm_year + 1900 - 2000) + " at " + printf_int(t.tm_hour) + ":" + two(t.tm_min) +
           ":" + two(t.tm_sec);
}

TextLine line(int x, int y, std::string text) {
    return TextLine{x, y, kBlack, kStatsTextPx, std::move(text), 0};
}

} // namespace

StatsView stats_view_layout(const StatsResults &r, bool temperature_celsius, const std::tm &now) {
    StatsView view;
    const int divisor = r.bar_divisor > 0 ? r.bar_divisor : 1;
    for (int k = 0; k < r.bins && k < kStatsMaxBins; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const int x = 20 + 50 * k;
        const int top = 165 - r.bin_count[i] / divisor;
        view.bars.push_back(Rect{x, top, 30, 190 - top});
        view.texts.push_back(line(x, 175, printf_int(r.bin_count[i])));
        view.texts.push_back(line(x, 195, stats_edge_text(r.bin_top[i] - r.bin_width, r.mode)));
        view.texts.push_back(line(x + 15, 205, "to"));
        view.texts.push_back(line(x, 215, stats_edge_text(r.bin_top[i], r.mode)));
    }

    view.texts.push_back(line(20, 240, stats_item_text(StatsItem::kMin, r.min, r.mode)));
    view.texts.push_back(line(110, 240, stats_item_text(StatsItem::kSpan, r.max - r.min, r.mode)));
    view.texts.push_back(line(210, 240, stats_item_text(StatsItem::kAverage, r.mean, r.mode)));
    view.texts.push_back(line(320, 240, stats_std_dev_text(r.std_dev)));
    view.texts.push_back(line(405, 240, "Rds/sec = " + printf_int(r.rate)));
    view.texts.push_back(line(20, 250, stats_item_text(StatsItem::kMax, r.max, r.mode)));
    view.texts.push_back(line(110, 250, stats_item_text(StatsItem::kBinSize, r.bin_width, r.mode)));
    view.texts.push_back(line(210, 250, "Samples = " + printf_int(r.samples)));
    view.texts.push_back(
        line(320, 250, stats_temperature_text(r.temperature, temperature_celsius)));
    view.texts.push_back(line(500, 250, date_text(now)));

    // The frame, 2 pixels wide, with its top and right sides drawn again further out.
    const int right = 20 + 50 * r.bins;
    const auto seg = [](int x1, int y1, int x2, int y2) {
        return LineSegment{Point{x1, y1}, Point{x2, y2}, 2, kBlack};
    };
    view.frame = {seg(10, 45, right, 45),     seg(right, 45, right, 230),
                  seg(right, 230, 10, 230),   seg(10, 230, 10, 45),
                  seg(10, 44, right + 1, 44), seg(right + 1, 44, right + 1, 230),
                  seg(10, 43, right + 2, 43), seg(right + 2, 43, right + 2, 230)};
    return view;
}

} // namespace meterdesk
