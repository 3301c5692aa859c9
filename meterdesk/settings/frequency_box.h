// The measurement frequency box (resource "MeasurementFrequencyBox", modal, toolbar button
// 9002): the quick way to type a new measurement frequency. The library then takes the cal
// factor from the sensor's table. With a manual cal factor ("Use Table" off in the control
// panel) only "Cancel" responds.
#pragma once

#include "meterdesk/base/controls.h"

#include <functional>

namespace meterdesk {

struct AppState;
class Ui;

namespace frequency_box {

inline constexpr const char *kResourceName = "MeasurementFrequencyBox";
inline constexpr const char *kCaption = "Measurement Frequency";
inline constexpr int kFrequencyEdit = 1063;
inline constexpr int kMhz = 1300;
inline constexpr int kGhz = 1301;
inline constexpr int kApply = 1664;
inline constexpr int kCancel = 1665;
inline constexpr int kRefreshCommand = 100;

} // namespace frequency_box

class FrequencyBoxDialog {
  public:
    // `refresh_panel` sends the control panel its command 100 after a new frequency.
    FrequencyBoxDialog(AppState &state, Ui &ui, std::function<void()> refresh_panel = {});

    // Opening: shows the frequency and marks the box open.
    void open(Controls &controls);

    // Command 100: shows the frequency and the "Use Table" state afresh.
    void refresh(Controls &controls);

    // A click. Returns kClose after a valid Apply and after Cancel.
    DialogAction clicked(Controls &controls, int id);

    // The box ends, however it ends (Apply, Cancel, its close button, the sensor's loss).
    void closed();

  private:
    void apply(Controls &controls, DialogAction &action);

    AppState &state_;
    Ui &ui_;
    std::function<void()> refresh_panel_;
};

} // namespace meterdesk
