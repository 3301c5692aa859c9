#include "meterdesk/ui/screen_painter.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/bar_meter.h"
#include "meterdesk/core/readout_format.h"
#include "meterdesk/core/screen_layout.h"
#include "meterdesk/core/status_panel.h"
#include "meterdesk/core/temperature_readout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace meterdesk::ui {
namespace {

QColor colour_of(const Rgb &rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QString qt_text(const std::string &text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ScreenPainter::ScreenPainter(AppState &state, QImage &image, const ScreenResources &resources)
    : state_(state), image_(image), resources_(resources) {}

void ScreenPainter::set_area_painter(RepaintRequest code, AreaPainter painter) {
    area_painters_[code] = std::move(painter);
}

int ScreenPainter::draw_count(RepaintRequest code) const {
    const auto index = static_cast<std::size_t>(code);
    return index < draws_.size() ? draws_[index] : 0;
}

// --- primitives ------------------------------------------------------------------------------

const QFont &ScreenPainter::face_of(int pixels) {
    auto it = fonts_.find(pixels);
    if (it == fonts_.end()) it = fonts_.emplace(pixels, screen_font(pixels)).first;
    return it->second;
}

// The text is drawn with its baseline at the line's y plus the font's ascent (see text()).
TextInk ScreenPainter::measure(const std::string &line, int pixels) {
    const QFontMetrics metrics(face_of(pixels));
    const QString text = qt_text(line);
    TextInk ink;
    ink.advance = metrics.horizontalAdvance(text);
    const QRect box = metrics.tightBoundingRect(text);
    if (box.isEmpty()) return ink;
    ink.advance = std::max(ink.advance, box.right() + 1);
    ink.top = metrics.ascent() + box.top();
    ink.bottom = metrics.ascent() + box.bottom();
    return ink;
}

void ScreenPainter::fill(QPainter &p, const Rect &area, const Rgb &colour) {
    p.fillRect(area.x, area.y, area.width, area.height, colour_of(colour));
}

void ScreenPainter::text(QPainter &p, const TextLine &line) {
    const QFont &face = face_of(line.font_px);
    p.setFont(face);
    p.setPen(colour_of(line.colour));
    p.drawText(QPoint(line.x, line.y + QFontMetrics(face).ascent()), qt_text(line.text));
}

void ScreenPainter::centred(QPainter &p, const CentredText &line) {
    const QFont &font = resources_.fonts.of_size(line.font_px);
    const QFontMetrics metrics(font);
    const QString text = qt_text(line.text);
    p.setFont(font);
    p.setPen(colour_of(line.colour));
    p.drawText(
        QPoint(line.centre_x - metrics.horizontalAdvance(text) / 2, line.y + metrics.ascent()),
        text);
}

// Segments include both end points. Thick horizontal and vertical lines grow right and down
// from their coordinates, as the layout counts them.
void ScreenPainter::segment(QPainter &p, const LineSegment &line) {
    const QColor colour = colour_of(line.colour);
    const auto [x1, y1] = line.from;
    const auto [x2, y2] = line.to;
    if (line.width > 1 && (y1 == y2 || x1 == x2)) {
        const int left = std::min(x1, x2);
        const int top = std::min(y1, y2);
        if (y1 == y2)
            p.fillRect(left, top, std::abs(x2 - x1) + 1, line.width, colour);
        else
            p.fillRect(left, top, line.width, std::abs(y2 - y1) + 1, colour);
        return;
    }
    p.setPen(QPen(colour, line.width));
    p.drawLine(x1, y1, x2, y2);
}

void ScreenPainter::box(QPainter &p, const Box &b) {
    const QColor colour = colour_of(b.colour);
    const int width = b.right - b.left + 1;
    const int height = b.bottom - b.top + 1;
    p.fillRect(b.left, b.top, width, b.pen, colour);
    p.fillRect(b.left, b.bottom - b.pen + 1, width, b.pen, colour);
    p.fillRect(b.left, b.top, b.pen, height, colour);
    p.fillRect(b.right - b.pen + 1, b.top, b.pen, height, colour);
}

void ScreenPainter::glyph(QPainter &p, const QImage &strip, const GlyphDraw &g) {
    if (g.source_x < 0) return;
    if (g.source_x == kPointGlyphSourceX) {
        // The point covers only the right of its cell; the rest of the cell is blanked so no
        // part of an earlier digit stays beside it.
        p.fillRect(g.x - kPointGlyphShift, g.y, kPointGlyphShift, kDigitGlyphHeight, Qt::white);
    }
    p.drawImage(QPoint(g.x, g.y), strip, QRect(g.source_x, 0, g.width, kDigitGlyphHeight));
}

// --- areas -------------------------------------------------------------------------------------

bool ScreenPainter::draw(RepaintRequest code) {
    const auto index = static_cast<std::size_t>(code);
    if (index < draws_.size()) ++draws_[index];
    switch (code) {
    case RepaintRequest::kSplash:
        splash();
        return false;
    case RepaintRequest::kClear:
        clear();
        return false;
    case RepaintRequest::kDisconnected:
        disconnected();
        return false;
    case RepaintRequest::kFrame:
        frame();
        return false;
    case RepaintRequest::kStatusPanel:
        return status_panel();
    case RepaintRequest::kLiveReadout:
        return live_readout();
    case RepaintRequest::kTemperatureLabels:
        temperature_screen();
        return false;
    case RepaintRequest::kTemperatureReadout:
        temperature_readout();
        return false;
    case RepaintRequest::kTracePlot:
    case RepaintRequest::kStatistics:
    case RepaintRequest::kTraceScreen: {
        auto it = area_painters_.find(code);
        if (it != area_painters_.end() && it->second) it->second(image_);
        return false;
    }
    }
    return false;
}

void ScreenPainter::splash() {
    image_.fill(Qt::white);
    QPainter p(&image_);
    const SplashLayout layout = splash_layout();
    p.drawImage(QPoint(layout.logo.x, layout.logo.y), resources_.logo);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const TextLine &line : layout.lines) text(p, line);
    box(p, layout.frame);
}

void ScreenPainter::clear() {
    QPainter p(&image_);
    fill(p,
         clear_area(image_.width(), image_.height(), state_.live_readout_enabled, state_.meas_mode,
                    state_.info_panel_shown),
         kPageColour);
}

void ScreenPainter::disconnected() {
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const TextLine &line : disconnected_lines()) text(p, line);
    state_.measurement_frame_shown = false;
    state_.status_repaint_request = true;
}

void ScreenPainter::separator(QPainter &p) {
    for (const LineSegment &line : separator_lines(image_.width(), image_.height(),
                                                   state_.live_readout_enabled, state_.meas_mode))
        segment(p, line);
}

void ScreenPainter::frame() {
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing);
    separator(p);
    const FrameLayout layout = frame_layout(frame_input(state_));
    if (layout.readout_frame) {
        const Box &b = layout.box;
        const QColor ink = colour_of(b.colour);
        // The top edge leaves the gap for the label open.
        p.fillRect(b.left, b.top, layout.gap.left - b.left + 1, 1, ink);
        p.fillRect(layout.gap.right, b.top, b.right - layout.gap.right + 1, 1, ink);
        p.fillRect(b.left, b.bottom, b.right - b.left + 1, 1, ink);
        p.fillRect(b.left, b.top, 1, b.bottom - b.top + 1, ink);
        p.fillRect(b.right, b.top, 1, b.bottom - b.top + 1, ink);
        // A label of another sensor may have been longer: blank the gap's row first.
        const int label_height =
            QFontMetrics(resources_.fonts.of_size(layout.label.font_px)).height();
        p.fillRect(layout.gap.left + 1, layout.label.y, layout.gap.right - layout.gap.left - 1,
                   label_height, Qt::white);
        centred(p, layout.label);
        frame_label_ = layout.label.text;
    }
    if (layout.meter_frame) meter_frame(p, layout.meter_top);
    state_.measurement_frame_shown = true;
    state_.temperature_screen_shown = false;
}

void ScreenPainter::meter_frame(QPainter &p, int top) {
    const MeterFrameLayout layout = meter_frame_layout(top, state_.meas_mode);
    const Box &b = layout.box;
    p.fillRect(b.left, b.top, b.right - b.left + 1, b.bottom - b.top + 1,
               colour_of(kPanelBackgroundColour));
    box(p, b);
    segment(p, layout.scale_line);
    segment(p, layout.channel_line);
    box(p, layout.channel_box);
    for (const LineSegment &tick : layout.ticks) segment(p, tick);
}

bool ScreenPainter::status_panel() {
    StatusPanel panel = take_status_panel(state_, image_.width(), image_.height());
    QPainter p(&image_);
    fill(p, panel.clear, kPageColour);
    if (!panel.shown) return false;
    fit_text_lines(panel.lines, panel.text_right, kStatusPanelMinFontPx,
                   [this](const std::string &line, int pixels) { return measure(line, pixels); });
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const TextLine &line : panel.lines) text(p, line);
    return panel.wake_alarm_beep;
}

bool ScreenPainter::live_readout() {
    if (!state_.live_readout_enabled) return false;
    // A reading taken in the previous mode is not shown in the new mode's format.
    if (state_.reading_mode != state_.meas_mode) return false;

    bool wake = false;
    if (state_.info_panel_shown && state_.status_repaint_request) wake = status_panel();

    const FormattedReading reading = format_current_reading(state_);
    wake = wake || reading.wake_alarm_beep;
    if (reading.text.empty()) return wake;
    readout_text_ = reading.text;

    QPainter p(&image_);
    const int setup = state_.display_setup;
    if (setup != 1) {
        const ReadoutGlyphs glyphs = layout_readout(reading.text, reading.unit_index, setup,
                                                    state_.readout_top, readout_length_);
        readout_length_ = reading.text.size();
        for (const GlyphDraw &g : glyphs.digits) glyph(p, resources_.glyphs.digits, g);
        if (glyphs.unit.source_x >= 0) {
            p.drawImage(QPoint(glyphs.unit.x, glyphs.unit.y), resources_.glyphs.units,
                        QRect(glyphs.unit.source_x, 0, glyphs.unit.width, kUnitGlyphHeight));
        }
    }
    if (setup == 1 || setup == 2) meter(p);
    return wake;
}

void ScreenPainter::meter(QPainter &p) {
    const MeterView view = layout_meter(meter_input(state_));
    p.setRenderHint(QPainter::TextAntialiasing);

    fill(p, meter_label_row(view.top), kPanelBackgroundColour);
    for (const MeterLabel &label : view.labels)
        centred(p, {label.centre_x, label.y, kMeterTextColour, label.font_px, label.text});

    fill(p, meter_needle_row(view.top), kPanelBackgroundColour);
    QPolygon wedge;
    for (const Point &corner : needle_wedge(view.top, view.needle.x))
        wedge << QPoint(corner.x, corner.y);
    p.setPen(colour_of(kMeterTextColour));
    p.setBrush(colour_of(kMeterTextColour));
    p.drawPolygon(wedge);
    p.setBrush(Qt::NoBrush);

    fill(p, meter_caption_row(view.top), kPanelBackgroundColour);
    text(p, view.caption);
    meter_caption_ = view.caption.text;
}

void ScreenPainter::temperature_screen() {
    clear();
    frame();
    QPainter p(&image_);
    temperature_labels(p);
    state_.temperature_screen_shown = true;
}

void ScreenPainter::temperature_labels(QPainter &p) {
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const TextLine &line : meterdesk::temperature_labels()) text(p, line);
}

void ScreenPainter::temperature_readout() {
    if (!state_.live_readout_enabled || state_.meas_mode != kModeTemperature ||
        state_.reading_mode != kModeTemperature)
        return;
    const TemperatureReadout readout = layout_temperature_readout(
        state_.sensor_temperature, state_.temperature_celsius, temperature_cells_);
    temperature_cells_ = readout.digits.size();
    temperature_text_ = readout.text;
    QPainter p(&image_);
    for (const GlyphDraw &g : readout.digits) glyph(p, resources_.glyphs.digits, g);
    p.drawImage(QPoint(readout.unit.x, readout.unit.y), resources_.glyphs.units,
                QRect(readout.unit.source_x, 0, readout.unit.width, kUnitGlyphHeight));
}

void ScreenPainter::replay() {
    image_.fill(Qt::white);
    if (state_.splash_shown) splash();
    if (state_.disconnected_screen_shown) {
        clear();
        disconnected();
    }
    if (state_.measurement_frame_shown) {
        clear();
        frame();
    }
    if (state_.measurement_panel_drawn && state_.live_readout_enabled)
        state_.status_repaint_request = true;
    if (state_.stats_screen_shown) draw(RepaintRequest::kStatistics);
    if (state_.trace_screen_shown) draw(RepaintRequest::kTraceScreen);
    if (state_.temperature_screen_shown && state_.live_readout_enabled) {
        temperature_screen();
        temperature_readout();
    }
}

} // namespace meterdesk::ui
