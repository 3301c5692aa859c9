// The library's data folder ("tcd.dat", "tessaline prams.txt") when the caller has not set one.
#pragma once

#include <string>

namespace rfsense::data_folder {

// Brand A: $QUORIX_HOME, else $XDG_DATA_HOME/Quorix, else ~/.local/share/Quorix.
// Brand B: $MARRICK_HOME, else $XDG_DATA_HOME/Marrick, else ~/.local/share/Marrick.
std::string default_for(bool brand_a);

// `folder` joined with a file name.
std::string join(const std::string &folder, const char *file);

} // namespace rfsense::data_folder
