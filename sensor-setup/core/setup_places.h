// Where the installer puts things besides the target: its state folder (journals, records,
// locks), the user's desktop folder and the menu's launcher folder, all from the XDG base and
// user directories; and the target the options page offers.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sensor_setup {

namespace fs = std::filesystem;

// Looks up an environment variable; nullopt when unset or empty.
using Environment = std::function<std::optional<std::string>(const char *name)>;
Environment process_environment();

struct SetupPlaces {
    fs::path state_dir;   // $XDG_STATE_HOME/sensor-setup (normally ~/.local/state/sensor-setup)
    fs::path desktop_dir; // XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop
    fs::path menu_dir;    // $XDG_DATA_HOME/applications
};

// The places for the user of `environment`. Without HOME, and without absolute XDG folders in
// its place, the folders would be relative: nullopt with the reason in `error`.
std::optional<SetupPlaces> setup_places(const Environment &environment, std::string &error);

// XDG_DESKTOP_DIR from the text of user-dirs.dirs ("$HOME/..." or an absolute path).
std::optional<fs::path> desktop_dir_from_user_dirs(std::string_view text, const fs::path &home);

// The target the options page starts with: the install root and a trailing "/".
std::string default_target_text();

// The target after Browse chose `folder`: the folder, a "/" when it does not end in one, and
// "Quorix/".
std::string browsed_target_text(std::string folder);

// The files of the installation into `target` in the state folder: named by a digest of the
// target's absolute path, so each target has its own.
fs::path journal_file(const SetupPlaces &places, const fs::path &target);
fs::path record_file(const SetupPlaces &places, const fs::path &target);
fs::path lock_file(const SetupPlaces &places, const fs::path &target);

// The target as one absolute, normal path without a trailing separator.
fs::path normal_target(const fs::path &target);

} // namespace sensor_setup
