// The control ids of the installer's pages and help box. Each Qt control is named "id<number>"
// after its id, so the page logic and its tests reach it through the Controls view.
#pragma once

namespace sensor_setup::ids {

// UserInterfaceBox1: the welcome page.
inline constexpr int kWelcomeLine1 = 1001;
inline constexpr int kWelcomeLine2 = 1002;
inline constexpr int kWelcomeLine3 = 1003;
inline constexpr int kWelcomeContinue = 1004;
inline constexpr int kWelcomeCancel = 1005;

// UserInterfaceBox2: the options page.
inline constexpr int kDesktopShortcut = 1101;
inline constexpr int kMenuShortcut = 1102;
inline constexpr int kTargetPath = 1103;
inline constexpr int kBrowse = 1104;
inline constexpr int kOptionsHelp = 1105;
inline constexpr int kOptionsContinue = 1106;
inline constexpr int kOptionsCancel = 1107;

// UserInterfaceBox3: the progress page.
inline constexpr int kProgressLine1 = 1201;
inline constexpr int kProgressLine2 = 1202;
inline constexpr int kProgressLine3 = 1203;
inline constexpr int kProgressLine4 = 1204;
inline constexpr int kFinish = 1205;
inline constexpr int kProgressHelp = 1206;
inline constexpr int kImportant = 1207;
inline constexpr int kProgressCancel = 1208;

// HelpBox.
inline constexpr int kHelpPane = 1301;
inline constexpr int kHelpClose = 1302;

} // namespace sensor_setup::ids
