#include "data_folder.h"

#include <cstdlib>

namespace rfsense::data_folder {

namespace {

std::string from_env(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string default_for(bool brand_a) {
    const char *brand = brand_a ? "Quorix" : "Marrick";
    std::string home = from_env(brand_a ? "QUORIX_HOME" : "MARRICK_HOME");
    if (!home.empty()) return home;
    const std::string xdg = from_env("XDG_DATA_HOME");
    if (!xdg.empty()) return join(xdg, brand);
    return join(join(join(from_env("HOME"), ".local"), "share"), brand);
}

std::string join(const std::string &folder, const char *file) {
    if (folder.empty()) return file;
    if (folder.back() == '/') return folder + file;
    return folder + '/' + file;
}

} // namespace rfsense::data_folder
