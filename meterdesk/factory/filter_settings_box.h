// The filter settings dialog (resource "FilterSettingsBox", command 40041): per range the ADC
// gain, the conversion filter and the averaging length, and step detection. A gain or filter
// goes to the sensor the moment it is chosen; the lengths with "Enter Settings".
#pragma once

#include "meterdesk/base/controls.h"

#include <array>
#include <string>
#include <vector>

namespace meterdesk {

struct AppState;
class Ui;

namespace filter_settings_box {

inline constexpr const char *kResourceName = "FilterSettingsBox";
inline constexpr const char *kCaption = "Filter Settings";
inline constexpr std::array<int, 3> kGainLists = {1761, 1762, 1763};
inline constexpr std::array<int, 3> kFilterLists = {1764, 1765, 1766};
inline constexpr std::array<int, 3> kLengthEdits = {1767, 1768, 1769};
inline constexpr int kStepDetect = 1773;
inline constexpr int kEnterSettings = 1774;
inline constexpr int kCancelClose = 1775; // "Cancel/Close"

inline constexpr std::array<const char *, 3> kRangeLabels = {"-20dBm to +20dBm", "-35dBm to -20dBm",
                                                             "<-35dBm"};

} // namespace filter_settings_box

// The gain choices (codes 0, 1) and the filter choices (codes 0..14).
const std::vector<std::string> &gain_choices();
const std::vector<std::string> &filter_choices();

class FilterSettingsDialog {
  public:
    FilterSettingsDialog(AppState &state, Ui &ui);

    void open(Controls &controls);

    // A click; "Step Detect" arrives with the box already showing its new state.
    DialogAction clicked(Controls &controls, int id);

    // The user chose an entry of a gain or filter list.
    void chosen(Controls &controls, int id);

  private:
    AppState &state_;
    Ui &ui_;
};

} // namespace meterdesk
