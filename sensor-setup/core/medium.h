// The installation medium and what it lays out under the target.
//
// The medium is a folder holding "Firmware", "Help", "app", "DLL", "Driver", "Sound",
// "Temp Comp", "Settings" and "Signal" (each a folder of plain files) and the installer's two
// help files. The installation creates "Save Recall", "Trace/Save Recall" and "Stats" under the
// target, copies "Firmware", "Help" and "Driver" into folders of those names and every other
// folder into the target itself. Sub-folders are not copied; where two folders hold a file of
// the same name, the later one in that order wins.
#pragma once

#include "sensor-setup/core/file_system.h"

#include <optional>
#include <string>
#include <vector>

namespace sensor_setup {

struct PlannedFile {
    fs::path source;
    fs::path dest;
    std::uintmax_t size = 0;
    unsigned mode = 0644;
};

struct MediumPlan {
    fs::path source;
    fs::path target;
    std::vector<fs::path> folders;            // to exist after the installation, parents first
    std::vector<PlannedFile> files;           // in copy order
    std::vector<std::string> missing_folders; // source folders the medium lacks
    std::optional<fs::path> application;      // installed path of the last file from "app"
    std::uintmax_t bytes = 0;                 // the files' total size
};

// Plans the installation of `source` into `target`. Returns nullopt with the reason in `error`
// when there is no medium at `source` or a folder of it cannot be read.
std::optional<MediumPlan> plan_medium(FileSystem &fs, const fs::path &source,
                                      const fs::path &target, std::string &error);

// Whether `a` and `b` are the same folder or one lies inside the other.
bool nested(const fs::path &a, const fs::path &b);

// The medium's help files of the installer's topics 1 and 2.
fs::path installer_help_file(const fs::path &source, int topic);

} // namespace sensor_setup
