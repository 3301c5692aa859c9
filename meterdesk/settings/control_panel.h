// The measurement control panel (resource "MeasurementControlPanel", modeless): measurement
// mode, frequency or manual cal factor, offset, duty cycle, resolution, relative mode, max/min
// recording, limits, display setup, meter scaling and the status panel switch.
//
// Check boxes, radio buttons and "Set" act at once; typed values take effect on "Apply", which
// checks them in a fixed order and stops at the first refused one (the steps before it stay
// applied). The panel keeps no copy of the settings: every refresh reads AppState. In Volts and
// Temperature mode only the mode radios, "Close" and "Help" respond.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/settings/control_panel_ids.h"
#include "meterdesk/settings/refusal.h"

#include <functional>
#include <optional>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

// What the panel asks of the windows around it.
struct ControlPanelLinks {
    // Shows the help window with the topic the panel has put into help_topic.
    std::function<void()> show_help;
    // Sends command 100 (refresh) to the frequency box while it is open.
    std::function<void()> refresh_frequency_box;
};

class ControlPanel {
  public:
    ControlPanel(AppState &state, Ui &ui, ControlPanelLinks links = {});

    // Every opening: marks the panel open, sets the caption, shows the mode and, in a power
    // mode, every setting.
    void open(Controls &controls);

    // A click on a button, check box or radio button. Returns kClose for "Close".
    DialogAction clicked(Controls &controls, int id);

    // A new selection in one of the two unit lists.
    void selection_changed(Controls &controls, int id);

    // A private command: 100 frequency and cal factor, 101 re-select meas_mode, 102 display
    // setup, 103 resolution.
    void command(Controls &controls, int command);

  private:
    // Refreshes (state to controls).
    void full_refresh(Controls &controls);
    void show_frequency_and_cal_factor(Controls &controls);
    void show_offset_group(Controls &controls);
    void show_relative_controls(Controls &controls);
    void show_relative_reference(Controls &controls);
    void show_mode_radio(Controls &controls, int mode);
    void show_resolution(Controls &controls);
    void set_settings_enabled(Controls &controls, bool enabled);
    bool settings_respond() const; // a power mode is selected

    // The mode radios and command 101.
    void change_mode(Controls &controls, int mode);

    // Immediate controls.
    void toggle_use_table(Controls &controls);
    void toggle_offset(Controls &controls);
    void toggle_duty_cycle(Controls &controls);
    void select_resolution(Controls &controls, int id);
    void toggle_relative(Controls &controls);
    void set_relative_reference();
    void toggle_auto_set(Controls &controls);
    void toggle_maxmin_record(Controls &controls);
    void toggle_info_panel(Controls &controls);
    void toggle_limits(Controls &controls);
    void select_display(Controls &controls, int id);
    void toggle_meter_auto(Controls &controls);

    // Apply and its steps 1 to 5 (6 and 7 are in limits_meter.h).
    void apply(Controls &controls);
    std::optional<Refusal> apply_frequency_or_cal_factor(Controls &controls);
    std::optional<Refusal> apply_offset(Controls &controls);
    std::optional<Refusal> apply_duty_cycle(Controls &controls);
    std::optional<Refusal> apply_relative_reference(Controls &controls);

    void mark_status_panel();
    void with_sensor(const std::function<void(SensorRecord *)> &call);

    AppState &state_;
    Ui &ui_;
    ControlPanelLinks links_;
};

} // namespace meterdesk
