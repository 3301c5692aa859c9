#include "meterdesk/ui/screen_widget.h"

#include <QPaintEvent>
#include <QPainter>

namespace meterdesk::ui {

ScreenWidget::ScreenWidget(const QImage &image, QWidget *parent) : QWidget(parent), image_(image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(image.size());
}

void ScreenWidget::paintEvent(QPaintEvent *event) {
    QPainter p(this);
    p.drawImage(event->rect(), image_, event->rect());
}

} // namespace meterdesk::ui
