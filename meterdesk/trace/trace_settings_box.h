// TraceSettingsBox: the logic of the modal "Trace Settings" dialog that "Settings..." opens
// while a trace runs: the level and temperature scaling. Apply checks and stores the scales,
// flags a full redraw and asks for a trace repaint; Close stores no entry. The toggles act
// at once, as on the control panel.
#pragma once

#include "meterdesk/base/controls.h"

#include <vector>

namespace meterdesk {

struct AppState;
class Ui;

class TraceSettingsBox {
  public:
    TraceSettingsBox(AppState &state, Ui &ui, Controls &controls);

    static const std::vector<int> &control_ids();

    void initialise();
    DialogAction command(int id);

  private:
    AppState &state_;
    Ui &ui_;
    Controls &controls_;
};

} // namespace meterdesk
