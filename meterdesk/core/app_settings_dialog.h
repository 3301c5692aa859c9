// The Application Settings dialog (AppSettingsBox, caption "Application Settings", modeless,
// Ctrl+S): the four user options of "AppSettings.dat".
//
// Opening copies the options into working values; the check boxes and the Celsius/Fahrenheit
// pair change only those; Apply makes them the application's settings, hands the temperature
// compensation to the sensor and writes "AppSettings.dat"; Cancel drops them.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/core/settings_files.h"

#include <filesystem>

namespace meterdesk {

struct AppState;
class Ui;

namespace app_settings_box {

inline constexpr const char *kCaption = "Application Settings";
inline constexpr const char *kResourceName = "AppSettingsBox";

inline constexpr int kPlayWelcomeTune = 1623; // check box "Play welcome tune" / "on start-up"
inline constexpr int kCelsius = 1624;         // radio "Celsius ('C)"
inline constexpr int kFahrenheit = 1625;      // radio "Fahrenheit ('F)"
inline constexpr int kTempComp = 1626;        // check box "Measurements" / "temperature" / ...
inline constexpr int kConfirmExit = 1627;     // check box "Confirm on Exit/Close"
inline constexpr int kApply = 1628;
inline constexpr int kCancel = 1629;

} // namespace app_settings_box

class AppSettingsDialog {
  public:
    AppSettingsDialog(AppState &state, Ui &ui);

    // On every opening: working values := the application's settings, shown in the controls.
    void open(Controls &controls);

    // A click on control `id`. Returns kClose after Apply and Cancel.
    DialogAction clicked(Controls &controls, int id);

    const AppSettings &working() const { return working_; }

    // Where Apply writes: the state's settings_path, or "AppSettings.dat" in app_dir when the
    // start-up has not set one.
    std::filesystem::path settings_file() const;

  private:
    void show(Controls &controls) const;
    void apply();

    AppState &state_;
    Ui &ui_;
    AppSettings working_;
};

} // namespace meterdesk
