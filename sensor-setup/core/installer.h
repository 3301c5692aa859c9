// The installation and the uninstall, as one call each: checks first, then one transaction
// (folders, files, launchers and the record together), recovery of an interrupted earlier run,
// and a report that says what happened in words a user can act on.
#pragma once

#include "sensor-setup/core/file_system.h"
#include "sensor-setup/core/setup_places.h"
#include "sensor-setup/core/transaction.h"

#include <optional>
#include <string>
#include <vector>

namespace sensor_setup {

struct InstallRequest {
    fs::path source;
    fs::path target;
    bool desktop_launcher = true;
    bool menu_launcher = true;
    // The application the launchers start when the medium's "app" folder holds none (the
    // meterdesk beside sensor-setup); none: no launcher then.
    std::optional<fs::path> fallback_application;
};

enum class Outcome {
    kDone,       // everything is in place
    kRolledBack, // refused or failed; nothing was changed
    kNotUndone,  // failed, and not everything could be undone (leftovers says what is left)
};

// Exit status of the command line: 0 done, 1 rolled back (or refused), 3 not fully undone.
int exit_status(Outcome outcome);
inline constexpr int kUsageExitStatus = 2;

struct InstallReport {
    Outcome outcome = Outcome::kDone;
    fs::path target;
    std::string recovery;                     // what recovering an earlier run did
    std::vector<std::string> missing_folders; // folders the medium lacks
    std::string launcher_note;                // why a wanted launcher was not made
    std::optional<Failure> failure;
    std::vector<std::string> leftovers;
    std::size_t files = 0;
    std::vector<fs::path> launchers;

    // The report as lines: what was done, or "Installation failed.", the path, the reason and
    // what is left.
    std::vector<std::string> lines() const;
    // The last line of a failure: "Nothing was changed." or what is left.
    std::string aftermath() const;
};

InstallReport install(FileSystem &fs, const InstallRequest &request, const SetupPlaces &places);

struct UninstallReport {
    Outcome outcome = Outcome::kDone;
    std::string recovery;
    std::optional<Failure> failure;     // refused: nothing is recorded for the target, ...
    std::vector<fs::path> removed;      // files, launchers and folders removed
    std::vector<std::string> kept;      // "path (why)": changed or user files, folders in use
    std::vector<std::string> leftovers; // removals that failed

    std::vector<std::string> lines() const;
};

// Removes what the record of `target` lists: files and launchers that are unchanged (size and
// digest), then the folders the installation created, when they are empty.
UninstallReport uninstall(FileSystem &fs, const fs::path &target, const SetupPlaces &places);

} // namespace sensor_setup
