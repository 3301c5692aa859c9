// The meter's first start from the package: when the install root holds no installation yet,
// its folders and files are laid out from the medium the package ships, with the installer's
// own transaction and without launchers (the package has its menu entry).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace meterdesk {

// Lays out `app_dir` from `medium` unless it already holds an installation. Returns the text
// to show the user once when that failed (what failed, and that nothing was changed); nothing
// when it was done or there was nothing to do.
std::optional<std::string> lay_out_from_package(const std::filesystem::path &app_dir,
                                                const std::optional<std::filesystem::path> &medium);

} // namespace meterdesk
