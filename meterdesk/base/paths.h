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
#include <vector>

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

// Creates app_dir, the install root and the folders below them that the meter writes into
// ("Save Recall", "Trace/Save Recall", "test/data collection" in app_dir; "Stats" and
// "Firmware" in the install root), each in the installer's spelling unless it already exists
// in another case. Returns false when one could not be created (writes there then fail
// silently, as every write of the small state files may).
bool create_app_folders(const fs::path &app_dir);

// Read-only data the program ships (help topics, the welcome tune) is looked for in app_dir,
// then in these folders: the build tree the program runs from (which holds the data as an
// application folder does, so a build works before any installation), then the installed
// data folder (which holds it as the installation medium does: "Help", "Sound"). Only folders
// that exist are listed.
std::vector<fs::path> shipped_data_folders(const fs::path &program_folder);

// The installation medium the package ships (the installed data folder, when it holds the
// installer's help file "hts10.dat"), from which the meter lays out its folders on its first
// start; nothing in a build tree or without a package.
std::optional<fs::path> packaged_medium(const fs::path &program_folder);

// The file of a help topic ("help/<file_name>") in the first of app_dir and `shipped` that has
// it; app_dir's path when none has (showing it then warns that the file is missing).
fs::path find_help_file(const fs::path &app_dir, const std::vector<fs::path> &shipped,
                        std::string_view file_name);

// The welcome tune, "UTOPIA.WAV" (on the installation medium "Sound/UTOPIA.WAV"), in the first
// of app_dir and `shipped` that has it; app_dir's path when none has.
fs::path find_welcome_tune(const fs::path &app_dir, const std::vector<fs::path> &shipped);

// Locations derived from app_dir and the roots.
fs::path settings_file(const fs::path &app_dir);     // "AppSettings.dat"
fs::path welcome_tune(const fs::path &app_dir);      // "UTOPIA.WAV" in app_dir
fs::path window_position_file();                     // "pos.dat" in the install root
fs::path setup_folder(const fs::path &app_dir);      // "Save recall"
fs::path startup_firmware_folder();                  // "firmware" in the install root
fs::path firmware_folder(const fs::path &app_dir);   // "Firmware"
fs::path collection_folder(const fs::path &app_dir); // "test\data collection"
fs::path trace_folder(const fs::path &app_dir);      // "trace" (trace listings)
fs::path trace_file_folder(const fs::path &app_dir); // "trace\save recall" (trace files)
fs::path statistics_file();                          // "Stats\sensor stats.txt"
fs::path temp_comp_data_folder();                    // "test\TCD"
fs::path test_results_folder(bool marrick);          // test root + "Test Results"
fs::path test_plan_folder(bool marrick);             // test root + "Test Plan"

} // namespace meterdesk::paths
