#include "meterdesk/ui/trace/statistics_painter.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/screen_layout.h"
#include "meterdesk/trace/stats_view.h"
#include "meterdesk/ui/screen_resources.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <map>

namespace meterdesk::ui {

namespace {

QColor colour_of(const Rgb &rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void draw_segment(QPainter &p, const LineSegment &line) {
    const auto [x1, y1] = line.from;
    const auto [x2, y2] = line.to;
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    // Only straight lines here; a pen of width w covers w pixels from the line inwards.
    if (y1 == y2)
        p.fillRect(left, top, std::abs(x2 - x1) + 1, line.width, colour_of(line.colour));
    else
        p.fillRect(left, top, line.width, std::abs(y2 - y1) + 1, colour_of(line.colour));
}

} // namespace

void paint_statistics(QImage &image, const AppState &state, const std::tm &now) {
    QPainter p(&image);
    p.fillRect(0, kToolbarBottom, image.width(), image.height() - kToolbarBottom, Qt::white);
    for (const LineSegment &line :
         separator_lines(image.width(), image.height(), false, state.meas_mode))
        draw_segment(p, line);

    const auto results = state.stats_results.get();
    if (!results) return;
    const StatsView view = stats_view_layout(*results, state.temperature_celsius, now);

    for (const Rect &bar : view.bars)
        p.fillRect(bar.x, bar.y, bar.width, bar.height, colour_of(kStatsBarColour));
    p.setRenderHint(QPainter::TextAntialiasing);
    static const QFont face = screen_font(kStatsTextPx);
    p.setFont(face);
    const int ascent = QFontMetrics(face).ascent();
    for (const TextLine &line : view.texts) {
        p.setPen(colour_of(line.colour));
        p.drawText(QPoint(line.x, line.y + ascent), QString::fromUtf8(line.text.c_str()));
    }
    for (const LineSegment &line : view.frame) draw_segment(p, line);
}

ScreenPainter::AreaPainter make_statistics_painter(const AppState &state) {
    return [&state](QImage &image) {
        const std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        paint_statistics(image, state, local);
    };
}

} // namespace meterdesk::ui
