// The file-selection routines the tools share: each row gives the dialog (open or save), the
// initial folder (a base folder and a subfolder) and the filter, and where the choice goes.
//
// For every row but the first three (setup recall, setup save, firmware), a cancelled dialog
// still yields a target: the initial folder, so that a following open of that "file" fails as
// it should, instead of reusing an older choice.
#pragma once

#include <optional>
#include <string>

namespace meterdesk {

struct AppState;
class Ui;

enum class FileSelection {
    kRecallSetup,
    kSaveSetup,
    kFirmwareDownload,
    kFlashProgramming,
    kCollectionFile,
    kTraceFile,
    kTraceBinaryFile,
    kEquationData,
    kTestResults,
    kTestPlans,
};

struct FileSelectionRow {
    bool save = false;  // a save dialog, else an open dialog
    std::string folder; // the initial folder
    std::string filter; // "All Files (*.*)" or "Hex Files (*.HEX)"
    bool cancel_gives_folder = false;
};

// The row's dialog and folder for the current state (app_dir, test_dir).
FileSelectionRow file_selection_row(const AppState &state, FileSelection which);

struct FileChoice {
    bool chosen = false;
    std::string target; // the path chosen; on cancel the initial folder where the row says so
};

// Shows the row's dialog.
FileChoice choose_file(Ui &ui, const AppState &state, FileSelection which);

// The chosen path, or nothing when the user cancelled.
std::optional<std::string> select_file(Ui &ui, const AppState &state, FileSelection which);

} // namespace meterdesk
