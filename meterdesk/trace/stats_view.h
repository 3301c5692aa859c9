// Layout of the statistics view (repaint request 7): the histogram, the two rows of results
// and the frame, at client-area pixel positions. A pure function of one run's results; the Qt
// layer draws what it returns.
#pragma once

#include "meterdesk/core/display_colours.h"
#include "meterdesk/core/screen_layout.h"
#include "meterdesk/trace/statistics.h"

#include <ctime>
#include <vector>

namespace meterdesk {

inline constexpr Rgb kStatsBarColour{100, 150, 200};
inline constexpr int kStatsTextPx = 10; // rows are 10 pixels apart

struct StatsView {
    std::vector<Rect> bars;         // filled with kStatsBarColour
    std::vector<TextLine> texts;    // black, kStatsTextPx, top-left at (x, y)
    std::vector<LineSegment> frame; // black
};

// The view of `results`, with the temperature in the unit shown and `now` as the date.
StatsView stats_view_layout(const StatsResults &results, bool temperature_celsius,
                            const std::tm &now);

} // namespace meterdesk
