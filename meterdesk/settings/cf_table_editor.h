// The frequency/cal-factor table editor (resource "FreqCfTableBox", caption "Frequency-Cal
// Factor Table", modal, command 40045): lists the sensor's table, lets single cal factors be
// changed (each one is handed to the library at once) and writes the whole table into the
// sensor with "Save Table".
//
// The editor works for the sensor it was opened for: a table is never written into another
// sensor. It keeps its edited copy of the table until it closes; a write that was refused or
// failed leaves it open with the edits, and only a verified write disconnects the sensor so
// that it comes back with the table it now holds.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/core/sensor_takeover.h"

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace meterdesk {

struct AppState;
class Ui;

namespace cf_table_box {

inline constexpr const char *kResourceName = "FreqCfTableBox";
inline constexpr const char *kCaption = "Frequency-Cal Factor Table";
inline constexpr int kTableList = 1348;
inline constexpr int kEdit = 1349; // the default button
inline constexpr int kFrequencyList = 1350;
inline constexpr int kFactorEdit = 1351;
inline constexpr int kEnter = 1247;
inline constexpr int kSaveTable = 1354;
inline constexpr int kDone = 1353;

} // namespace cf_table_box

struct CfTableEditorLinks {
    // Command 100 to the control panel: the cal factor in force may have changed.
    std::function<void()> refresh_panel;
    // Disconnects the sensor, so that it reconnects with the table it holds.
    std::function<void()> force_disconnect;
    // How "Save Table" takes the sensor over from the measurement thread.
    TakeoverTiming takeover;
    // The date stamped with a written table; the local date when not given.
    std::function<std::tm()> today;
};

class CfTableEditor {
  public:
    CfTableEditor(AppState &state, Ui &ui, CfTableEditorLinks links = {});

    // Opening: the table of the connected sensor, the editing controls greyed.
    void open(Controls &controls);

    // A click. Returns kClose for "Done", after a verified "Save Table", and when the sensor
    // the editor was opened for has gone.
    DialogAction clicked(Controls &controls, int id);

    // A new selection in the frequency list.
    void selection_changed(Controls &controls, int id);

    // The edited copy of the table (fractions), as "Save Table" writes it.
    const std::vector<double> &factors() const { return factors_; }

  private:
    void show_table(Controls &controls) const;
    void enter(Controls &controls, DialogAction &action);
    void save_table(DialogAction &action);
    // The editor's sensor is still the connected one; otherwise says so.
    bool still_its_sensor(const char *outcome);

    AppState &state_;
    Ui &ui_;
    CfTableEditorLinks links_;
    std::string serial_;
    int model_ = 0;
    int count_ = 0;
    std::vector<double> frequencies_;
    std::vector<double> factors_;
};

} // namespace meterdesk
