// The temperature compensation dialog (resource "TempCompBox", command 40034): compensation on
// or off (only after a zero), the beep at each compensation, its period, and the working values
// of the correction last applied.
#pragma once

#include "meterdesk/base/controls.h"

namespace meterdesk {

struct AppState;
class Ui;

namespace temp_comp_box {

inline constexpr const char *kResourceName = "TempCompBox";
inline constexpr const char *kCaption = "Temperature Compensation";
inline constexpr int kEnable = 1731;
inline constexpr int kBeep = 1732;
inline constexpr int kPeriodEdit = 1733; // "Time (in seconds)"
inline constexpr int kEnter = 1734;
inline constexpr int kClose = 1735;
inline constexpr int kGetPrams = 1736;
inline constexpr int kPramsList = 1737;

} // namespace temp_comp_box

class TempCompDialog {
  public:
    TempCompDialog(AppState &state, Ui &ui);

    void open(Controls &controls);

    // Clicks on the check boxes arrive with the box already showing its new state.
    DialogAction clicked(Controls &controls, int id);

  private:
    void enable(Controls &controls);
    void beep(Controls &controls);
    DialogAction enter(Controls &controls);
    void get_prams(Controls &controls);

    AppState &state_;
    Ui &ui_;
};

} // namespace meterdesk
