#include "sensor-setup/core/setup_places.h"

#include "meterdesk/base/paths.h"
#include "sensor-setup/core/sha256.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace sensor_setup {
namespace {

// An XDG base folder: the variable when it holds an absolute path, else HOME + `fallback`.
std::optional<fs::path> base_folder(const Environment &environment, const char *variable,
                                    const char *fallback) {
    if (auto value = environment(variable)) {
        const fs::path path(*value);
        if (path.is_absolute()) return path;
    }
    if (auto home = environment("HOME")) {
        const fs::path path(*home);
        if (path.is_absolute()) return path / fallback;
    }
    return std::nullopt;
}

std::string key_of(const fs::path &target) {
    Sha256 digest;
    const std::string text = normal_target(target).string();
    digest.update(text);
    return digest.hex().substr(0, 16);
}

} // namespace

Environment process_environment() {
    return [](const char *name) -> std::optional<std::string> {
        const char *value = std::getenv(name);
        if (value == nullptr || *value == '\0') return std::nullopt;
        return std::string(value);
    };
}

std::optional<fs::path> desktop_dir_from_user_dirs(std::string_view text, const fs::path &home) {
    std::istringstream lines{std::string(text)};
    std::string line;
    std::optional<fs::path> found;
    while (std::getline(lines, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        std::string unescaped;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            unescaped.push_back(value[i]);
        }
        if (unescaped.rfind("$HOME", 0) == 0) {
            std::string rest = unescaped.substr(5);
            while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
            // "$HOME/" alone is the home folder, which the desktop is not meant to be.
            if (rest.empty()) continue;
            found = home / rest;
        } else if (fs::path(unescaped).is_absolute()) {
            found = fs::path(unescaped);
        }
    }
    return found;
}

std::optional<SetupPlaces> setup_places(const Environment &environment, std::string &error) {
    const auto state = base_folder(environment, "XDG_STATE_HOME", ".local/state");
    const auto data = base_folder(environment, "XDG_DATA_HOME", ".local/share");
    const auto config = base_folder(environment, "XDG_CONFIG_HOME", ".config");
    const auto home = environment("HOME");
    if (!state || !data || !config || !home || !fs::path(*home).is_absolute()) {
        error = "HOME is not set to an absolute folder, so the installer does not know where "
                "the user's folders are";
        return std::nullopt;
    }
    SetupPlaces places;
    places.state_dir = *state / "sensor-setup";
    places.menu_dir = *data / "applications";
    places.desktop_dir = fs::path(*home) / "Desktop";
    std::ifstream user_dirs(*config / "user-dirs.dirs");
    if (user_dirs) {
        std::stringstream text;
        text << user_dirs.rdbuf();
        if (auto desktop = desktop_dir_from_user_dirs(text.str(), *home))
            places.desktop_dir = *desktop;
    }
    return places;
}

std::string default_target_text() {
    std::string root = meterdesk::paths::quorix_root().string();
    if (root.empty() || root.back() != '/') root += "/";
    return root;
}

std::string browsed_target_text(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += "/";
    return folder + "Quorix/";
}

fs::path normal_target(const fs::path &target) {
    std::error_code error;
    fs::path path = fs::absolute(target, error);
    if (error) path = target;
    const fs::path canonical = fs::weakly_canonical(path, error);
    path = (error ? path : canonical).lexically_normal();
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

fs::path journal_file(const SetupPlaces &places, const fs::path &target) {
    return places.state_dir / (key_of(target) + ".journal");
}

fs::path record_file(const SetupPlaces &places, const fs::path &target) {
    return places.state_dir / (key_of(target) + ".record");
}

fs::path lock_file(const SetupPlaces &places, const fs::path &target) {
    return places.state_dir / (key_of(target) + ".lock");
}

} // namespace sensor_setup
