// The moving filter size dialog (resource "FILO_SizeBox", command 40153): the averaging length
// of each range.
#pragma once

#include "meterdesk/base/controls.h"

#include <array>

namespace meterdesk {

struct AppState;
class Ui;

namespace filo_size_box {

inline constexpr const char *kResourceName = "FILO_SizeBox";
inline constexpr const char *kCaption = "Moving Filter Size (FILO)";
inline constexpr int kRange0Length = 1751;
inline constexpr int kRange1Length = 1752;
inline constexpr int kRange2Length = 1753;
inline constexpr int kEnter = 1754; // "Enter "
inline constexpr int kClose = 1755;
inline constexpr std::array<int, 3> kLengthEdits = {kRange0Length, kRange1Length, kRange2Length};

} // namespace filo_size_box

class FiloSizeDialog {
  public:
    FiloSizeDialog(AppState &state, Ui &ui);

    void open(Controls &controls);
    DialogAction clicked(Controls &controls, int id);

  private:
    AppState &state_;
    Ui &ui_;
};

} // namespace meterdesk
