#include "meterdesk/ui/toolbar_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>

namespace meterdesk::ui {
namespace {

constexpr int kSize = 16;
const QColor kInk(30, 40, 90);
const QColor kAccent(220, 80, 30); // the meter's needle colour
const QColor kPaper(250, 250, 250);
const QColor kGreen(40, 140, 60);

void text_icon(QPainter &p, const QString &text, int pixel_size, const QColor &colour = kInk) {
    QFont font("Liberation Sans");
    font.setPixelSize(pixel_size);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void control_panel(QPainter &p) { // three sliders
    p.setPen(QPen(kInk, 1));
    for (int i = 0; i < 3; ++i) p.drawLine(3 + 5 * i, 2, 3 + 5 * i, 13);
    p.setBrush(kAccent);
    p.setPen(Qt::NoPen);
    p.drawRect(1, 8, 5, 3);
    p.drawRect(6, 3, 5, 3);
    p.drawRect(11, 10, 5, 3);
}

void zero(QPainter &p) { // "0" over a base line
    text_icon(p, "0", 14);
    p.setPen(QPen(kAccent, 2));
    p.drawLine(2, 14, 13, 14);
}

void meter_face(QPainter &p) { // the display setup: a dial with its needle
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(1, 3, 13, 10);
    p.drawArc(QRect(3, 6, 10, 10), 30 * 16, 120 * 16);
    p.setPen(QPen(kAccent, 1));
    p.drawLine(8, 11, 11, 6);
}

void trace(QPainter &p) { // a time trace
    p.setPen(QPen(kInk, 1));
    p.drawLine(1, 14, 14, 14);
    p.drawLine(1, 1, 1, 14);
    p.setPen(QPen(kGreen, 1));
    QPolygon line;
    for (int x = 2; x < 15; ++x)
        line << QPoint(x, 8 + static_cast<int>(std::lround(4.0 * std::sin(x * 0.8))));
    p.drawPolyline(line);
}

void disk(QPainter &p) { // save
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(70, 90, 170));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5);
    p.drawRect(3, 9, 9, 5);
}

void folder(QPainter &p) { // recall
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(235, 200, 90));
    p.drawPolygon(QPolygon(
        {QPoint(1, 4), QPoint(6, 4), QPoint(7, 6), QPoint(14, 6), QPoint(14, 13), QPoint(1, 13)}));
}

void printer(QPainter &p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(1, 6, 13, 6);
    p.setBrush(kPaper);
    p.drawRect(4, 10, 7, 5);
}

void stop(QPainter &p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    p.drawRect(3, 3, 10, 10);
}

void start(QPainter &p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
}

void leave(QPainter &p) { // back to the measurement view
    p.setPen(QPen(kInk, 2));
    p.drawLine(3, 8, 13, 8);
    p.drawLine(3, 8, 7, 4);
    p.drawLine(3, 8, 7, 12);
}

void markers(QPainter &p) {
    trace(p);
    p.setPen(QPen(kAccent, 1, Qt::DashLine));
    p.drawLine(6, 1, 6, 14);
    p.drawLine(11, 1, 11, 14);
}

void settings(QPainter &p) { // a gear-like wheel
    p.setPen(QPen(kInk, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(8, 8), 4, 4);
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4.0;
        p.drawPoint(8 + static_cast<int>(std::lround(6.5 * std::cos(a))),
                    8 + static_cast<int>(std::lround(6.5 * std::sin(a))));
    }
}

void statistics(QPainter &p) { // a histogram
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 90, 170));
    const int heights[] = {3, 7, 11, 8, 4};
    for (int i = 0; i < 5; ++i) p.drawRect(1 + 3 * i, 14 - heights[i], 2, heights[i]);
}

using Painter = std::function<void(QPainter &)>;

const std::map<int, Painter> &painters() {
    static const std::map<int, Painter> table = {
        {9000, control_panel},
        {9001, zero},
        {9002, [](QPainter &p) { text_icon(p, "f", 15); }},
        {9003, [](QPainter &p) { text_icon(p, "dB", 9); }},
        {9004, meter_face},
        {9005, [](QPainter &p) { text_icon(p, ".00", 9); }},
        {9006, trace},
        {9008, disk},
        {9009, folder},
        {9010, printer},
        {9011, [](QPainter &p) { text_icon(p, "?", 15, QColor(40, 90, 200)); }},
        {9020, settings},
        {9021, stop},
        {9025, trace},
        {9026, markers},
        {9027, start},
        {9028, printer},
        {9029, leave},
        {9030, trace},
        {9031, leave},
        {9035, statistics},
        {9036, printer},
        {9037, leave},
    };
    return table;
}

} // namespace

QIcon toolbar_icon(int command_id) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto it = painters().find(command_id);
    if (it != painters().end()) {
        it->second(p);
    } else {
        p.setPen(kInk);
        p.drawRect(2, 2, 11, 11);
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace meterdesk::ui
