// The calibration date stamps dialog (resource "DateStampsBox", command 40082 and Ctrl+X): the
// dates of the sensor's equation, cal factors and linearity corrections, and of the library's
// temperature-compensation file "tcd.dat". Filled once when it opens.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/core/sensor_takeover.h"

#include <ctime>
#include <functional>

namespace meterdesk {

struct AppState;

namespace date_stamps_box {

inline constexpr const char *kResourceName = "DateStampsBox";
inline constexpr const char *kCaption = "Calibration Date Stamps";
inline constexpr int kEquationDate = 1711;  // "Equation done on"
inline constexpr int kCalFactorDate = 1712; // "Cal factor done on"
inline constexpr int kTempCompDate = 1713;  // "Temp Comp Data"
inline constexpr int kLinearityDate = 1714; // "Linearity corrections"
inline constexpr int kClose = 1715;

inline constexpr const char *kUnknown = "Unknown";
inline constexpr const char *kNotApplicable = "n/a";
inline constexpr const char *kNoTcdFile = "No TCD file";

} // namespace date_stamps_box

// The local date now.
std::tm local_today();

class DateStampsDialog {
  public:
    explicit DateStampsDialog(AppState &state, TakeoverTiming timing = {},
                              std::function<std::tm()> today = local_today);

    // Reads the stamps from the sensor (its reader parked meanwhile) and the date of "tcd.dat".
    void open(Controls &controls);

    DialogAction clicked(Controls &controls, int id);

  private:
    void show_sensor_stamps(Controls &controls, int current_year);

    AppState &state_;
    TakeoverTiming timing_;
    std::function<std::tm()> today_;
};

// The text of the "Temp Comp Data" field for the start of "tcd.dat": "No TCD file" when it could
// not be read (`readable` false), its first six digits as "DD-MM-20YY", else not set.
std::string tcd_date_text(bool readable, std::string_view start);

} // namespace meterdesk
