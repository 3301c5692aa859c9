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

namespace meterdesk::ui {
namespace {

constexpr const char *kSensorCaption = "Zyn Quorix USB Sensor";

constexpr int kCmdDateStamps = 40082;
constexpr int kCmdCalAdc = 40046;
constexpr int kCmdClearEe = 40088;

} // namespace

void CommandDispatcher::command(int id) {
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
    case kCmdControlPanel:
    case 9000:
        control_panel();
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
    case kCmdStats:
    case 9035:
        show_panel(kStatsBox);
        return;
    case kCmdTrace:
    case 9006:
    case 9025:
    case 9030:
        show_panel(kTraceBox);
        return;
    case 9026:
    case 40129:
        show_panel(kTraceMarkersBox);
        return;
    case 40077:
        show_panel(kMismatchCalculatorBox);
        return;
    case 40078:
        show_panel(kMicrowaveCalculatorBox);
        return;
    case 40080:
        show_panel(kPowerUnitsConverterBox);
        return;
    case 40058: // relay control and sweeper control: these panels do not exist
    case 40068:
    case 40070: // system loss calibration and daily cal are not available
    case 40146:
        return;
    default:
        // Modal dialogs and the commands of other modules, by command id.
        s_.panels.run_dialog(id, &s_.window);
        return;
    }
}

void CommandDispatcher::shortcut(Shortcut key) {
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
