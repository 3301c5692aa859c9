// SimulatedSourceBox: the Qt face of the simulated-source panel ("Simulated Source",
// modeless), which only a process on the simulated bus has. The decisions are
// SimulatedSource's; this class holds the device list, the power bar and edits, and the check
// boxes, named "id<number>". A sensor loss leaves it open.
#pragma once

#include "meterdesk/core/simulated_source.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
}

namespace meterdesk::ui {

class PanelRegistry;
class MainWindow;

class SimulatedSourceBox : public QDialog {
    Q_OBJECT

  public:
    SimulatedSourceBox(const AppState &state, QWidget *owner = nullptr);

    // "Simulated Source..." (41000): reads every value afresh and shows the panel.
    void open_panel();
    void reject() override;

  private:
    void clicked(int id);

    SimulatedSource logic_;
    QtControls controls_;
};

// Registers the panel, and command 41000 last on every menu bar of `window`.
void register_simulated_source(PanelRegistry &panels, MainWindow &window, const AppState &state);

} // namespace meterdesk::ui
