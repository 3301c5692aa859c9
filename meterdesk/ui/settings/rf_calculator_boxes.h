// The Qt faces of the three RF calculators (modeless, created hidden at start-up, kept for the
// run). The logic objects in meterdesk/settings/rf_calculators.h hold the values and decide
// every text; these dialogs hold the widgets, named "id<number>", and forward clicks and
// scroll events. "Close", Escape and the window's close button hide them.
#pragma once

#include "meterdesk/settings/rf_calculators.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

#include <functional>

namespace meterdesk {
class Ui;
}

namespace meterdesk::ui {

class MismatchCalculatorBox : public QDialog {
    Q_OBJECT

  public:
    MismatchCalculatorBox(std::function<void(int topic)> show_help, QWidget *owner = nullptr);
    void open_panel();
    void reject() override;

  private:
    MismatchCalculator logic_;
    QtControls controls_;
};

class MicrowaveCalculatorBox : public QDialog {
    Q_OBJECT

  public:
    MicrowaveCalculatorBox(Ui &ui, std::function<void(int topic)> show_help,
                           QWidget *owner = nullptr);
    void open_panel();
    void reject() override;

  private:
    void clicked(int id);

    MicrowaveCalculator logic_;
    QtControls controls_;
};

class PowerUnitsConverterBox : public QDialog {
    Q_OBJECT

  public:
    explicit PowerUnitsConverterBox(QWidget *owner = nullptr);
    void open_panel();
    void reject() override;

  private:
    PowerUnitsConverter logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
