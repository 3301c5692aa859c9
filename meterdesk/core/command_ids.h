// Command ids of the main window's menus and toolbars that the logic layer refers to.
#pragma once

#include <array>
#include <string_view>

namespace meterdesk {

inline constexpr int kCmdExit = 40007;
inline constexpr int kCmdAbout = 40009;
inline constexpr int kCmdZeroSensor = 40011;
inline constexpr int kCmdSaveSetup = 40014;
inline constexpr int kCmdStats = 40017;
inline constexpr int kCmdFirmwareDownload = 40030;
inline constexpr int kCmdTrace = 40033;
inline constexpr int kCmdRecallSetup = 40036;
inline constexpr int kCmdControlPanel = 40047;
inline constexpr int kCmdHelp = 40051;
inline constexpr int kCmdSensorDetails = 40066;
inline constexpr int kCmdVoltmeter = 40094; // factory menu only
inline constexpr int kCmdPreset = 40131;
inline constexpr int kCmdPrint = 40136;

// Commands that need a sensor: greyed while none is connected, enabled on connect.
inline constexpr std::array<int, 7> kConnectionDependentCommands = {
    kCmdControlPanel, kCmdZeroSensor,       kCmdTrace, kCmdSaveSetup,
    kCmdRecallSetup,  kCmdFirmwareDownload, kCmdStats};

// Buttons of the measurement toolbar that work on the readout (frequency, log/linear, display
// setup, resolution) or print it. Like the connection-dependent commands they are greyed from
// the start, so that nothing can be done to the splash; they are enabled when the measurement
// thread takes the window over.
inline constexpr std::array<int, 5> kMeasurementToolbarCommands = {9002, 9003, 9004, 9005, 9010};

// The menu resource installed in each view mode (0 measurement, 1..3 trace, 4 statistics).
inline constexpr std::array<std::string_view, 5> kViewModeMenus = {
    "Zyn_Menu", "Trace_Menu_1", "Trace_Menu_2", "Trace_Menu_3", "Stats_Menu"};

} // namespace meterdesk
