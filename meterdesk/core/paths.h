// Every folder and file location of meterdesk.
//
// The fixed folders of the product map onto roots that the user can move:
//   brand A data and install root  $QUORIX_HOME, else $XDG_DATA_HOME/Quorix
//                                  (normally ~/.local/share/Quorix)
//   brand B library data folder    $MARRICK_HOME, else $XDG_DATA_HOME/Marrick
//   test roots                     $QUORIX_TEST_ROOT/"Zyn Quorix Test" or .../"Marrick Test",
//                                  else the same names in the home folder
// Folder names keep the product's spelling. Some are spelled in two cases ("Save Recall" /
// "Save recall", "Firmware" / "firmware"); lookups resolve each component case-insensitively,
// so both spellings reach the folder the installer created.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace meterdesk::paths {

namespace fs = std::filesystem;

fs::path quorix_root();
fs::path marrick_root();

// "Zyn Quorix Test", or "Marrick Test" for a second-brand sensor.
fs::path test_root(bool marrick);

// Whether `dir` holds an installation: its "Help" and "Save Recall" folders (either spelling).
bool holds_installation(const fs::path &dir);

// app_dir: the --app-dir folder when given, else the start-up folder when it holds an
// installation, else the install root. Files are never scattered into an unrelated working
// directory.
fs::path select_app_dir(const std::optional<fs::path> &app_dir_option, const fs::path &startup_dir);

// `base` joined with `relative` ("Save recall", "test\\data collection", "Trace/save recall"),
// where each component that already exists under a different case is spelled as on disk.
// Components that do not exist keep the given spelling.
fs::path resolve(const fs::path &base, std::string_view relative);

// Locations derived from app_dir and the roots.
fs::path settings_file(const fs::path &app_dir);     // "AppSettings.dat"
fs::path welcome_tune(const fs::path &app_dir);      // "UTOPIA.WAV"
fs::path window_position_file();                     // "pos.dat" in the install root
fs::path setup_folder(const fs::path &app_dir);      // "Save recall"
fs::path startup_firmware_folder();                  // "firmware" in the install root
fs::path firmware_folder(const fs::path &app_dir);   // "Firmware"
fs::path collection_folder(const fs::path &app_dir); // "test\data collection"
fs::path statistics_file();                          // "Stats\sensor stats.txt"
fs::path temp_comp_data_folder();                    // "test\TCD"
fs::path test_results_folder(bool marrick);          // test root + "Test Results"
fs::path test_plan_folder(bool marrick);             // test root + "Test Plan"

} // namespace meterdesk::paths
