#include "meterdesk/ui/trace/trace_plot_painter.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/screen_layout.h"
#include "meterdesk/ui/screen_resources.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

namespace meterdesk::ui {
namespace {

// The plot's texts use the drawing's 12-pixel face; the unit captions left of the level
// labels have 31 pixels, which the 10-pixel face fits.
constexpr int kLabelPixels = 12;
constexpr int kCaptionPixels = 10;

QColor colour_of(PlotColour colour) {
    switch (colour) {
    case PlotColour::kInk:
        return Qt::black;
    case PlotColour::kLevelBlue:
        return QColor(0, 0, 255);
    case PlotColour::kTemperatureRed:
        return QColor(255, 0, 0);
    case PlotColour::kMarkerGrey:
        return QColor(125, 125, 125);
    }
    return Qt::black;
}

QPen pen_of(PlotPen pen) {
    switch (pen) {
    case PlotPen::kFrame:
        return QPen(Qt::black, 2);
    case PlotPen::kGrid:
        return QPen(QColor(0, 128, 0), 1);
    case PlotPen::kGridDotted:
        return QPen(QColor(0, 128, 0), 1, Qt::DotLine);
    case PlotPen::kCurve:
        return QPen(QColor(0, 0, 255), 1);
    case PlotPen::kTemperatureCurve:
        return QPen(QColor(255, 0, 0), 1);
    case PlotPen::kMarker:
        return QPen(QColor(125, 125, 125), 1);
    }
    return QPen(Qt::black, 1);
}

void draw_label(QPainter &p, const QFontMetrics &metrics, const PlotLabel &label) {
    const QString text = QString::fromStdString(label.text);
    const int width = metrics.horizontalAdvance(text);
    int x = label.x;
    if (label.align == PlotAlign::kCentre) x -= width / 2;
    if (label.align == PlotAlign::kRight) x -= width;
    p.setPen(colour_of(label.colour));
    p.drawText(QPoint(x, label.y + metrics.ascent()), text);
}

void draw_line(QPainter &p, const PlotLine &line) {
    p.setPen(pen_of(line.pen));
    p.drawLine(line.x1, line.y1, line.x2, line.y2);
}

} // namespace

TracePlotPainter::TracePlotPainter(AppState &state, const ScreenResources &resources)
    : state_(state), resources_(resources) {}

void TracePlotPainter::paint(QImage &image, RepaintRequest code) {
    if (code == RepaintRequest::kTraceScreen && state_.trace_count >= 2) {
        state_.show_initialising = false;
        state_.plot_done = false;
        state_.redraw_frame = true;
        state_.redraw_time_axis = true;
        state_.redraw_level_axis = true;
        state_.redraw_temp_axis = true;
        code = RepaintRequest::kTracePlot;
    }
    last_ = code == RepaintRequest::kTraceScreen ? plan_trace_screen(state_, memory_)
                                                 : plan_trace_repaint(state_, memory_);
    carry_out(image, last_);
    if (last_.marker_list_written && marker_list_sink_) marker_list_sink_(last_.marker_list);
}

void TracePlotPainter::carry_out(QImage &image, const PlotPass &pass) {
    QPainter p(&image);
    if (pass.clear_client)
        p.fillRect(0, kToolbarBottom, image.width(), image.height() - kToolbarBottom, Qt::white);
    else if (pass.clear_plot)
        p.fillRect(50, 40, 501, 211, Qt::white);
    if (pass.draw_separator) {
        for (const LineSegment &line :
             separator_lines(image.width(), image.height(), false, state_.meas_mode)) {
            p.setPen(
                QPen(QColor(line.colour.red, line.colour.green, line.colour.blue), line.width));
            p.drawLine(line.from.x, line.from.y, line.to.x, line.to.y);
        }
    }
    for (const PlotLine &line : pass.lines) draw_line(p, line);

    p.setRenderHint(QPainter::TextAntialiasing);
    const QFont &font = resources_.fonts.of_size(kLabelPixels);
    const QFont caption_font = screen_font(kCaptionPixels);
    const QFontMetrics metrics(font);
    const QFontMetrics caption_metrics(caption_font);
    for (const PlotLabel &label : pass.labels) {
        // The unit captions are the texts right-aligned left of x 35.
        const bool caption = label.align == PlotAlign::kRight && label.x < 35;
        p.setFont(caption ? caption_font : font);
        draw_label(p, caption ? caption_metrics : metrics, label);
    }
    p.setFont(font);

    for (const PlotCurve &curve : pass.curves) {
        if (curve.points.empty()) continue;
        p.setPen(pen_of(curve.pen));
        QPolygon polygon;
        for (const PlotPoint &point : curve.points) polygon << QPoint(point.x, point.y);
        if (polygon.size() == 1)
            p.drawPoint(polygon.front());
        else
            p.drawPolyline(polygon);
    }
    for (const PlotLine &line : pass.marker_lines) draw_line(p, line);
    for (const PlotLabel &tag : pass.marker_tags) draw_label(p, metrics, tag);
}

} // namespace meterdesk::ui
