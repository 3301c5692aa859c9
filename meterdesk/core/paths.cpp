#include "meterdesk/core/paths.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

namespace meterdesk::paths {

namespace {

std::optional<std::string> environment(const char *name) {
    const char *value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

fs::path home_folder() {
    if (auto home = environment("HOME")) return *home;
    if (auto profile = environment("USERPROFILE")) return *profile;
    return fs::current_path();
}

// $XDG_DATA_HOME when it is set to an absolute path (relative values are ignored, as the base
// directory convention asks), else ~/.local/share.
fs::path data_home() {
    if (auto xdg = environment("XDG_DATA_HOME")) {
        fs::path path(*xdg);
        if (path.is_absolute()) return path;
    }
    return home_folder() / ".local" / "share";
}

fs::path root(const char *override_variable, const char *folder) {
    if (auto value = environment(override_variable)) return *value;
    return data_home() / folder;
}

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// The components of a relative path written with '\' or '/'.
std::vector<std::string> components(std::string_view relative) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : relative) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

// The entry of `folder` named `name` in any case: the exact name wins, then the first
// case-insensitive match in name order (so the choice does not depend on directory order).
std::optional<fs::path> find_ignoring_case(const fs::path &folder, const std::string &name) {
    std::error_code error;
    if (fs::exists(folder / name, error)) return folder / name;
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (same_ignoring_case(entry, name) && (!best || entry < *best)) best = entry;
    }
    if (best) return folder / *best;
    return std::nullopt;
}

} // namespace

fs::path quorix_root() {
    return root("QUORIX_HOME", "Quorix");
}

fs::path marrick_root() {
    return root("MARRICK_HOME", "Marrick");
}

fs::path test_root(bool marrick) {
    const char *name = marrick ? "Marrick Test" : "Zyn Quorix Test";
    if (auto parent = environment("QUORIX_TEST_ROOT")) return resolve(*parent, name);
    return resolve(home_folder(), name);
}

fs::path resolve(const fs::path &base, std::string_view relative) {
    fs::path result = base;
    bool on_disk = true; // below a missing component nothing can exist
    for (const std::string &part : components(relative)) {
        if (part == ".") continue;
        if (on_disk) {
            if (auto found = find_ignoring_case(result, part)) {
                result = *found;
                continue;
            }
            on_disk = false;
        }
        result /= part;
    }
    return result;
}

bool holds_installation(const fs::path &dir) {
    std::error_code error;
    return fs::is_directory(resolve(dir, "Help"), error) &&
           fs::is_directory(resolve(dir, "Save Recall"), error);
}

fs::path select_app_dir(const std::optional<fs::path> &app_dir_option,
                        const fs::path &startup_dir) {
    if (app_dir_option && !app_dir_option->empty()) return *app_dir_option;
    if (holds_installation(startup_dir)) return startup_dir;
    return quorix_root();
}

fs::path settings_file(const fs::path &app_dir) {
    return resolve(app_dir, "AppSettings.dat");
}

fs::path welcome_tune(const fs::path &app_dir) {
    return resolve(app_dir, "UTOPIA.WAV");
}

fs::path window_position_file() {
    return resolve(quorix_root(), "pos.dat");
}

fs::path setup_folder(const fs::path &app_dir) {
    return resolve(app_dir, "Save recall");
}

fs::path startup_firmware_folder() {
    return resolve(quorix_root(), "firmware");
}

fs::path firmware_folder(const fs::path &app_dir) {
    return resolve(app_dir, "Firmware");
}

fs::path collection_folder(const fs::path &app_dir) {
    return resolve(app_dir, "test\\data collection");
}

fs::path statistics_file() {
    return resolve(quorix_root(), "Stats\\sensor stats.txt");
}

fs::path temp_comp_data_folder() {
    return resolve(quorix_root(), "test\\TCD");
}

fs::path test_results_folder(bool marrick) {
    return resolve(test_root(marrick), "Test Results");
}

fs::path test_plan_folder(bool marrick) {
    return resolve(test_root(marrick), "Test Plan");
}

} // namespace meterdesk::paths
