#include "meterdesk/ui/command_dispatcher.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/display_setup.h"
#include "meterdesk/core/measurement_mode.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/core/zeroing.h"
#include "meterdesk/ui/about_box.h"
#include "meterdesk/ui/main_window.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/print_service.h"

#include <rfsense/rfsense.h>

#include <cstring>
#include <string>
#include <string_view>

namespace meterdesk::ui {
namespace {

constexpr const char *kSensorCaption = "Zyn Quorix USB Sensor";

constexpr int kCmdDateStamps = 40082;
constexpr int kCmdCalAdc = 40046;
constexpr int kCmdClearEe = 40088;

// The modeless panel a command shows, or nullptr.
const char *panel_of(int id) {
    switch (id) {
    case kCmdControlPanel:
    case 9000:
        return kControlPanel;
    case kCmdStats:
    case 9035:
        return kStatsBox;
    case kCmdTrace:
    case 9006:
    case 9025:
    case 9030:
        return kTraceBox;
    case 9026:
    case 40129:
        return kTraceMarkersBox;
    case 40077:
        return kMismatchCalculatorBox;
    case 40078:
        return kMicrowaveCalculatorBox;
    case 40080:
        return kPowerUnitsConverterBox;
    default:
        return nullptr;
    }
}

// Toolbar buttons that give the same command as a menu item: a dialog or handler registered
// for the menu's id serves both.
int menu_command_of(int id) {
    switch (id) {
    case 9008:
        return kCmdSaveSetup;
    case 9009:
        return kCmdRecallSetup;
    case 9020:
        return 40127; // trace settings
    case 9021:
        return 40128; // stop the trace
    case 9027:
        return 1111; // start the trace
    case 9029:
    case 9031:
        return 40114; // leave trace
    case 9037:
        return 40119; // leave statistics
    default:
        return id;
    }
}

// Commands this dispatcher carries out itself.
bool handled_here(int id) {
    switch (id) {
    case kCmdExit:
    case kCmdAbout:
    case kCmdZeroSensor:
    case 9001:
    case kCmdHelp:
    case 9011:
    case kCmdSensorDetails:
    case kCmdPreset:
    case kCmdPrint:
    case 9010:
    case 9028:
    case 9036:
    case 9003:
    case 9004:
    case 9005:
    case kCmdCalAdc:
    case kCmdClearEe:
        return true;
    default:
        return false;
    }
}

// What may be done while the splash is up: nothing that needs a sensor or draws.
bool works_during_splash(int id) {
    switch (id) {
    case kCmdExit:
    case kCmdAbout:
    case kCmdHelp:
    case 9011:
    case kCmdSensorDetails:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CommandDispatcher::window_taken_over() const {
    return s_.state.startup_phase == kStartupTakenOver;
}

bool CommandDispatcher::handles(int id) const {
    if (handled_here(id)) return true;
    if (const char *panel = panel_of(id)) return s_.panels.has_panel(panel);
    return s_.panels.has_dialog(menu_command_of(id));
}

bool CommandDispatcher::handles(Shortcut key) const {
    switch (key) {
    case Shortcut::kControlPanel:
        return handles(kCmdControlPanel);
    case Shortcut::kSettings:
        return s_.panels.has_panel(kAppSettingsBox);
    case Shortcut::kDateStamps:
        return handles(kCmdDateStamps);
    case Shortcut::kLogMode:
    case Shortcut::kRepaint:
    case Shortcut::kTemperatureMode:
    case Shortcut::kWattsMode:
    case Shortcut::kZero:
        return true;
    }
    return false;
}

void CommandDispatcher::command(int id) {
    if (!window_taken_over() && !works_during_splash(id)) return;
    if (const char *panel = panel_of(id)) {
        if (std::string_view(panel) == kControlPanel)
            control_panel();
        else
            show_panel(panel);
        return;
    }
    switch (id) {
    case kCmdExit:
        s_.window.exit_command();
        return;
    case kCmdAbout:
        about();
        return;
    case kCmdZeroSensor:
    case 9001:
        s_.zero.zero_command();
        return;
    case kCmdHelp:
    case 9011:
        help();
        return;
    case kCmdSensorDetails:
        sensor_details();
        return;
    case kCmdPreset:
        preset();
        return;
    case kCmdPrint:
    case 9010:
    case 9028:
    case 9036:
        s_.printing.print_command(&s_.window);
        return;
    case 9003:
        toggle_log_linear();
        return;
    case 9004:
        next_display_setup();
        return;
    case 9005:
        next_resolution();
        return;
    case kCmdCalAdc:
        send_to_sensor("CAL\n");
        return;
    case kCmdClearEe:
        clear_sensor_store();
        return;
    default:
        // Modal dialogs and the commands of other modules, by command id. Relay control,
        // sweeper control (40058, 40068), system loss calibration and daily cal (40070,
        // 40146) have none: nothing registers them, so they stay greyed.
        s_.panels.run_dialog(menu_command_of(id), &s_.window);
        return;
    }
}

void CommandDispatcher::shortcut(Shortcut key) {
    if (!window_taken_over()) return; // the splash is up
    switch (key) {
    case Shortcut::kControlPanel:
        control_panel();
        break;
    case Shortcut::kLogMode:
        select_mode(kModeLog);
        break;
    case Shortcut::kRepaint:
        s_.window.replay_screens();
        break;
    case Shortcut::kSettings:
        show_panel(kAppSettingsBox);
        break;
    case Shortcut::kTemperatureMode:
        select_mode(kModeTemperature);
        break;
    case Shortcut::kWattsMode:
        select_mode(kModeLinear);
        break;
    case Shortcut::kDateStamps:
        s_.panels.run_dialog(kCmdDateStamps, &s_.window);
        break;
    case Shortcut::kZero:
        s_.zero.zero_command();
        break;
    }
}

bool CommandDispatcher::show_panel(const char *name) {
    return s_.panels.show_panel(name);
}

void CommandDispatcher::about() {
    AboutBox box(library_revision(), &s_.window);
    box.exec();
}

// Only a sensor that answers gets the control panel.
void CommandDispatcher::control_panel() {
    SensorLease lease(s_.state);
    unsigned char overload = 0;
    if (!lease || SensorConnected(lease.get(), &overload) == 0) return;
    show_panel(kControlPanel);
}

void CommandDispatcher::help() {
    s_.state.help_topic = 0;
    show_panel(kHelpBox);
}

void CommandDispatcher::sensor_details() {
    if (!s_.state.sensor_connected) {
        s_.ui.message("Sensor ID", "No sensor connected.", MessageButtons::kOk,
                      MessageIcon::kInformation);
        return;
    }
    const std::string text = s_.state.sensor_model.get() +
                             "\n\nFirmware: " + s_.state.firmware_revision.get() +
                             "\n\nProduct Serial Number: " + s_.state.sensor_serial.get();
    // The sensor test procedure may have asked the user to confirm the sensor.
    bool expected = true;
    if (s_.state.test_confirm_request.compare_exchange_strong(expected, false)) {
        const MessageAnswer answer = s_.ui.message(
            "Sensor Details", text, MessageButtons::kOkCancel, MessageIcon::kInformation);
        s_.state.test_confirm_answer = answer == MessageAnswer::kOk;
        return;
    }
    s_.ui.message("Sensor Details", text, MessageButtons::kOk, MessageIcon::kInformation);
}

void CommandDispatcher::preset() {
    if (s_.ui.message(kSensorCaption, "OK to preset?", MessageButtons::kOkCancel,
                      MessageIcon::kExclamation) != MessageAnswer::kOk)
        return;
    // The measurement thread sees the sensor gone, finds it again and restores the defaults.
    s_.measurement.force_disconnect();
}

// The mode keys work on a connected sensor; without one there is no readout to switch, and
// the next connect sets the mode to dBm anyway.
void CommandDispatcher::select_mode(int mode) {
    if (!s_.state.sensor_connected) return;
    if (s_.panels.is_open(kControlPanel)) {
        s_.state.meas_mode = mode;
        s_.panels.send_command(kControlPanel, kPanelReselectMode);
        return;
    }
    apply_measurement_mode(s_.state, s_.ui, mode);
}

void CommandDispatcher::toggle_log_linear() {
    select_mode(toggled_log_linear(s_.state.meas_mode));
}

void CommandDispatcher::next_display_setup() {
    if (s_.state.meas_mode == kModeTemperature) return;
    select_display_setup(s_.state, s_.ui, next_display_setup_radio(s_.state.display_setup));
    if (s_.panels.is_open(kControlPanel))
        s_.panels.send_command(kControlPanel, kPanelRefreshDisplaySetup);
}

void CommandDispatcher::next_resolution() {
    SensorLease lease(s_.state);
    if (!step_resolution(s_.state, lease.get())) return;
    if (s_.panels.is_open(kControlPanel))
        s_.panels.send_command(kControlPanel, kPanelRefreshResolution);
}

// The reader thread is parked while the command goes out.
void CommandDispatcher::send_to_sensor(const char *command) {
    SensorLease lease(s_.state);
    if (!lease) return;
    SensorComms(lease.get(), 0);
    SensorMessage(lease.get(), command, static_cast<int32_t>(std::strlen(command)));
    SensorComms(lease.get(), 1);
}

void CommandDispatcher::clear_sensor_store() {
    if (s_.ui.message(kSensorCaption,
                      "CAUTION\n\nThis will clear the sensor EE.\nCal data etc will be lost.",
                      MessageButtons::kOkCancel, MessageIcon::kExclamation) != MessageAnswer::kOk)
        return;
    send_to_sensor("CLR\n");
}

} // namespace meterdesk::ui
