// The Qt faces of the equation dialogs: EquationPramsBox (40057), TestExecSettingsBox (40089)
// and EquationCheckBox (the test control panel's "Check"). Their decisions are in
// meterdesk/factory/equation_dialogs.h; each control is named "id<number>".
#pragma once

#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class EquationPramsBox : public QDialog {
    Q_OBJECT
  public:
    EquationPramsBox(const AppState &state, QWidget *owner = nullptr);
    int run();

  private:
    const AppState &state_;
    QtControls controls_;
};

class TestExecSettingsBox : public QDialog {
    Q_OBJECT
  public:
    TestExecSettingsBox(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();
    void reject() override;

  private:
    void clicked(int id);
    AppState &state_;
    Ui &ui_;
    QtControls controls_;
};

class EquationCheckBox : public QDialog {
    Q_OBJECT
  public:
    EquationCheckBox(const AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    const AppState &state_;
    Ui &ui_;
    QtControls controls_;
};

} // namespace meterdesk::ui
