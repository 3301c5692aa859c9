// The linearity correction dialog (resource "LinCorPramsBox", command 40139): the correction of
// the 12 GHz to 18.5 GHz band on or off, and its working values.
#pragma once

#include "meterdesk/base/controls.h"

namespace meterdesk {

struct AppState;
class Ui;

namespace lin_cor_box {

inline constexpr const char *kResourceName = "LinCorPramsBox";
inline constexpr const char *kCaption = "Linearity Correction (12GHz to 18.5GHz)";
inline constexpr int kEnable = 1741;
inline constexpr int kGetPrams = 1742;
inline constexpr int kCancel = 1743;
inline constexpr int kPramsList = 1744;

} // namespace lin_cor_box

class LinCorDialog {
  public:
    LinCorDialog(AppState &state, Ui &ui);

    void open(Controls &controls);

    // A click on "Enable" arrives with the box already showing its new state.
    DialogAction clicked(Controls &controls, int id);

  private:
    void enable(Controls &controls);
    void get_prams(Controls &controls);

    AppState &state_;
    Ui &ui_;
};

} // namespace meterdesk
