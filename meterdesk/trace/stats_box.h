// StatsBox: the logic of the statistics control panel ("Stats Control", modeless). Its Qt face
// (meterdesk/ui/trace/stats_control_box.h) forwards clicks here.
#pragma once

#include "meterdesk/base/controls.h"

#include <array>

namespace meterdesk {

struct AppState;
class Ui;

namespace stats_box {
inline constexpr const char *kResourceName = "StatsBox";
inline constexpr const char *kCaption = "Stats Control";
inline constexpr std::array<int, 5> kSampleRadios = {1006, 1007, 1008, 1009, 1010};
inline constexpr std::array<int, 5> kSampleCounts = {100, 500, 1000, 5000, 10000};
inline constexpr std::array<int, 3> kBinRadios = {1013, 1014, 1015};
inline constexpr std::array<int, 3> kBinCounts = {6, 8, 10};
inline constexpr int kLogPower = 1605;
inline constexpr int kLinearPower = 1606;
inline constexpr int kVolts = 1607;
inline constexpr int kSubtractZero = 1026;
inline constexpr int kSaveToFile = 1027;
inline constexpr int kStart = 1011;
inline constexpr int kRedraw = 1345;
inline constexpr int kClose = 1012;
inline constexpr std::array<int, 15> kAllControls = {1006, 1007, 1008, 1009, 1010, 1013, 1014, 1015,
                                                     1605, 1606, 1607, 1026, 1027, 1011, 1345};
} // namespace stats_box

class StatsBox {
  public:
    StatsBox(AppState &state, Ui &ui);

    // Shown by "Stats..." (40017) or "Control..." of the statistics menu: the radios show
    // the committed choices and the mode, the check box the save flag.
    void open(Controls &controls);

    // A click on a control; kClose hides the panel.
    DialogAction clicked(Controls &controls, int id);

  private:
    void start(Controls &controls);
    DialogAction redraw();

    AppState &state_;
    Ui &ui_;
};

} // namespace meterdesk
