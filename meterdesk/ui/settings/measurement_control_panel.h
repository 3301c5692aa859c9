// MeasurementControlPanel: the Qt face of the measurement control panel (modeless, created
// hidden at start-up and kept). The decisions are ControlPanel's; this class lays the controls
// out in their groups, names them "id<number>" and forwards clicks, list choices and the main
// window's private commands. Enter presses "Apply", Escape is "Close".
#pragma once

#include "meterdesk/settings/control_panel.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class MeasurementControlPanel : public QDialog {
    Q_OBJECT

  public:
    MeasurementControlPanel(AppState &state, Ui &ui, ControlPanelLinks links,
                            QWidget *owner = nullptr);

    // "Show the panel": initialises it from the application state and brings it up.
    void open_panel();

    // A private command of the main window or the frequency box (100..103).
    void command(int command);

    // Escape and the title bar's close button act as "Close".
    void reject() override;

    QtControls &controls() { return controls_; }

  private:
    void clicked(int id);

    ControlPanel logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
