// ScreenWidget: the main window's client area below the menu bar. Paint events only copy the
// persistent backing image; the toolbars lie across its top as child widgets, as in the
// drawing coordinates (the screens start below y 28).
#pragma once

#include <QWidget>

namespace meterdesk::ui {

class ScreenWidget : public QWidget {
  public:
    ScreenWidget(const QImage &image, QWidget *parent);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    const QImage &image_;
};

} // namespace meterdesk::ui
