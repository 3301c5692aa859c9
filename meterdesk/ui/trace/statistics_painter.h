// The statistics view's area painter (repaint request 7): clears the client area below the
// toolbar and draws the last run's results as stats_view_layout places them.
#pragma once

#include "meterdesk/ui/screen_painter.h"

#include <ctime>

class QImage;

namespace meterdesk {
struct AppState;
}

namespace meterdesk::ui {

// Draws the view of the published results (only the cleared area when there are none), with
// `now` as the date.
void paint_statistics(QImage &image, const AppState &state, const std::tm &now);

// The painter to register for request 7: the date is the local time of the drawing.
ScreenPainter::AreaPainter make_statistics_painter(const AppState &state);

} // namespace meterdesk::ui
