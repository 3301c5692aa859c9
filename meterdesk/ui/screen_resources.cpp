#include "meterdesk/ui/screen_resources.h"

#include "meterdesk/core/readout_glyphs.h"
#include "meterdesk/core/screen_layout.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <cmath>
#include <numbers>

namespace meterdesk::ui {
namespace {

constexpr const char *kFace = "Liberation Sans";
constexpr int kStripHeight = kDigitGlyphHeight;
constexpr int kDigitStripWidth = kPointGlyphSourceX + kPointGlyphWidth; // 423
constexpr int kUnitStripWidth = 1803 + kUnitGlyphWidth;                 // the last unit ends here
constexpr int kGlyphBaseline = 38;                                      // 4 pixels below it

QFont face(int pixels, bool bold = false) {
    QFont font(kFace);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Draws `text` in the cell [x, x + width) of a strip: centred, or from the cell's left edge
// with a small indent, on the common baseline; nothing spills into the next cell.
void glyph_text(QPainter &p, int x, int width, const QString &text, bool centred) {
    p.save();
    p.setClipRect(x, 0, width, kStripHeight);
    const QFontMetrics metrics(p.font());
    const int advance = metrics.horizontalAdvance(text);
    const int left = centred ? x + (width - advance) / 2 : x + 4;
    p.drawText(left, kGlyphBaseline, text);
    p.restore();
}

QImage white_strip(int width) {
    QImage strip(width, kStripHeight, QImage::Format_RGB32);
    strip.fill(Qt::white);
    return strip;
}

} // namespace

const QFont &ScreenFonts::of_size(int pixels) const {
    switch (pixels) {
    case 60:
        return px60;
    case 24:
        return px24;
    case 18:
        return px18;
    case 16:
        return px16;
    case 14:
        return px14;
    default:
        return px12;
    }
}

// The drawing's font heights are cell heights (ascent plus descent), as the "arial" fonts were
// made; Arial's and Liberation Sans's cell is 2288/2048 of the em, so a 12-pixel font has an
// 11-pixel em.
int em_for_cell_height(int cell_pixels) {
    return static_cast<int>(std::lround(cell_pixels * 2048.0 / 2288.0));
}

QFont screen_font(int cell_pixels) {
    return face(em_for_cell_height(cell_pixels));
}

ScreenFonts make_screen_fonts() {
    return {screen_font(60), screen_font(24), screen_font(18),
            screen_font(16), screen_font(14), screen_font(12)};
}

GlyphStrips render_glyph_strips() {
    GlyphStrips strips{white_strip(kDigitStripWidth), white_strip(kUnitStripWidth)};

    QPainter digits(&strips.digits);
    digits.setRenderHint(QPainter::TextAntialiasing);
    digits.setPen(Qt::black);
    digits.setFont(face(46, true));
    for (int d = 0; d < 10; ++d)
        glyph_text(digits, kDigitGlyphWidth * d, kDigitGlyphWidth, QString::number(d), true);
    // A bar as wide as a digit reads better than the font's short hyphen.
    digits.fillRect(kMinusGlyphSourceX + 6, 20, kDigitGlyphWidth - 12, 5, Qt::black);
    // The dot sits in the middle of the point's cell (the glyph is drawn 11 pixels into it).
    digits.fillRect(kPointGlyphSourceX + 2, kGlyphBaseline - 7, 7, 7, Qt::black);
    digits.end();

    QPainter units(&strips.units);
    units.setRenderHint(QPainter::TextAntialiasing);
    units.setPen(Qt::black);
    units.setFont(face(32, true));
    static const std::array<const char *, 16> kUnitTexts = {
        "dBm", "dB", "mW", "\u00b5W", "nW", "V",  "mV", "\u00b5V",
        "%",   "W",  "kW", "MW",      "k%", "M%", "G%", "T%"};
    for (int unit = 0; unit < static_cast<int>(kUnitTexts.size()); ++unit) {
        glyph_text(units, unit_glyph_source_x(unit), kUnitGlyphWidth,
                   QString::fromUtf8(kUnitTexts[static_cast<std::size_t>(unit)]), false);
    }
    glyph_text(units, kCelsiusGlyphSourceX, kTemperatureUnitGlyphWidth,
               QString::fromUtf8("\u00b0C"), false);
    glyph_text(units, kFahrenheitGlyphSourceX, kTemperatureUnitGlyphWidth,
               QString::fromUtf8("\u00b0F"), false);
    units.end();
    return strips;
}

QImage render_splash_logo() {
    QImage logo(kSplashLogoWidth, kSplashLogoHeight, QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);

    // A detector head: a rounded body with a connector, and a wave entering it.
    const QColor navy(0, 0, 170);
    QLinearGradient body(0, 10, 0, 70);
    body.setColorAt(0.0, QColor(120, 140, 220));
    body.setColorAt(1.0, QColor(20, 40, 140));
    p.setPen(QPen(navy, 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(14, 18, 46, 44), 8, 8);
    p.setBrush(QColor(200, 170, 60));
    p.drawRect(QRectF(60, 32, 12, 16));

    QPainterPath wave;
    wave.moveTo(76, 40);
    for (int x = 76; x <= 112; ++x)
        wave.lineTo(x, 40 - 9.0 * std::sin((x - 76) * 2.0 * std::numbers::pi / 12.0));
    p.setPen(QPen(QColor(220, 80, 30), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);

    QFont brand(kFace);
    brand.setPixelSize(30);
    brand.setBold(true);
    brand.setItalic(true);
    p.setFont(brand);
    p.setPen(navy);
    p.drawText(QRect(118, 6, 134, 40), Qt::AlignLeft | Qt::AlignVCenter, "Zyn");
    p.setPen(QColor(130, 143, 159));
    p.drawText(QRect(118, 38, 134, 40), Qt::AlignLeft | Qt::AlignVCenter, "Quorix");
    p.end();
    return logo;
}

QIcon program_icon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 170), 2));
    p.setBrush(QColor(240, 240, 240));
    p.drawRoundedRect(QRectF(2, 5, 28, 22), 4, 4);
    p.setPen(QPen(QColor(220, 80, 30), 2.5));
    p.drawLine(QPointF(16, 24), QPointF(23, 11));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawArc(QRectF(6, 10, 20, 20), 20 * 16, 140 * 16);
    p.end();
    return QIcon(pixmap);
}

ScreenResources make_screen_resources() {
    return {make_screen_fonts(), render_glyph_strips(), render_splash_logo()};
}

} // namespace meterdesk::ui
