#include "meterdesk/base/paths.h"

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <system_error>
#include <utility>
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

bool create_app_folders(const fs::path &app_dir) {
    const fs::path root = quorix_root();
    const std::pair<const fs::path *, const char *> folders[] = {
        {&app_dir, "."},
        {&root, "."},
        {&app_dir, "Save Recall"},
        {&app_dir, "Trace/Save Recall"},
        {&app_dir, "test/data collection"},
        {&root, "Stats"},
        {&root, "Firmware"},
    };
    bool all = true;
    for (const auto &[base, relative] : folders) {
        std::error_code error;
        const fs::path folder = resolve(*base, relative);
        fs::create_directories(folder, error);
        if (error || !fs::is_directory(folder, error)) all = false;
    }
    return all;
}

namespace {

// The build tree holds CMakeCache.txt; the program sits in it or a folder or two below.
std::optional<fs::path> build_tree_of(const fs::path &program_folder) {
    std::error_code error;
    fs::path folder = program_folder;
    for (int level = 0; level < 3 && !folder.empty(); ++level) {
        if (fs::is_regular_file(folder / "CMakeCache.txt", error)) return folder;
        if (folder == folder.parent_path()) break;
        folder = folder.parent_path();
    }
    return std::nullopt;
}

void add_folder(std::vector<fs::path> &folders, const fs::path &folder) {
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error)) return;
    const fs::path normal = fs::weakly_canonical(folder, error);
    const fs::path &entry = error ? folder : normal;
    for (const fs::path &known : folders) {
        if (known == entry) return;
    }
    folders.push_back(entry);
}

fs::path find_shipped(const fs::path &app_dir, const std::vector<fs::path> &shipped,
                      std::initializer_list<std::string_view> names) {
    std::error_code error;
    auto in = [&](const fs::path &folder) -> std::optional<fs::path> {
        for (std::string_view name : names) {
            const fs::path file = resolve(folder, name);
            if (fs::is_regular_file(file, error)) return file;
        }
        return std::nullopt;
    };
    if (auto file = in(app_dir)) return *file;
    for (const fs::path &folder : shipped) {
        if (auto file = in(folder)) return *file;
    }
    return resolve(app_dir, *names.begin());
}

} // namespace

std::vector<fs::path> shipped_data_folders(const fs::path &program_folder) {
    std::vector<fs::path> folders;
    if (program_folder.empty()) return folders;
    if (auto tree = build_tree_of(program_folder)) add_folder(folders, *tree);
#ifdef METERDESK_DATA_FROM_PROGRAM
    // The installed data folder relative to the installed program, wherever the prefix is.
    add_folder(folders, program_folder / METERDESK_DATA_FROM_PROGRAM);
#endif
#ifdef METERDESK_INSTALLED_DATA
    add_folder(folders, fs::path(METERDESK_INSTALLED_DATA));
#endif
    return folders;
}

std::optional<fs::path> packaged_medium(const fs::path &program_folder) {
    std::vector<fs::path> candidates;
#ifdef METERDESK_DATA_FROM_PROGRAM
    if (!program_folder.empty()) candidates.push_back(program_folder / METERDESK_DATA_FROM_PROGRAM);
#endif
#ifdef METERDESK_INSTALLED_DATA
    candidates.emplace_back(METERDESK_INSTALLED_DATA);
#endif
    std::error_code error;
    for (const fs::path &folder : candidates) {
        if (fs::is_regular_file(folder / "hts10.dat", error))
            return fs::weakly_canonical(folder, error).lexically_normal();
    }
    return std::nullopt;
}

fs::path find_help_file(const fs::path &app_dir, const std::vector<fs::path> &shipped,
                        std::string_view file_name) {
    const std::string relative = "help/" + std::string(file_name);
    return find_shipped(app_dir, shipped, {relative});
}

fs::path find_welcome_tune(const fs::path &app_dir, const std::vector<fs::path> &shipped) {
    return find_shipped(app_dir, shipped, {"UTOPIA.WAV", "Sound/UTOPIA.WAV"});
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

fs::path trace_folder(const fs::path &app_dir) {
    return resolve(app_dir, "trace");
}

fs::path trace_file_folder(const fs::path &app_dir) {
    return resolve(app_dir, "trace\\save recall");
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
