#include "meterdesk/factory/file_selection.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"

namespace meterdesk {

namespace {

constexpr const char *kAllFiles = "All Files (*.*)";
constexpr const char *kHexFiles = "Hex Files (*.HEX)";

} // namespace

FileSelectionRow file_selection_row(const AppState &state, FileSelection which) {
    const paths::fs::path app_dir(state.app_dir.get());
    const paths::fs::path test_dir(state.test_dir.get().empty()
                                       ? paths::test_root(state.brand_marrick).string()
                                       : state.test_dir.get());
    auto row = [](bool save, const paths::fs::path &folder, const char *filter, bool cancel) {
        return FileSelectionRow{save, folder.string(), filter, cancel};
    };
    switch (which) {
    case FileSelection::kRecallSetup:
        return row(false, paths::resolve(app_dir, "Save recall"), kAllFiles, false);
    case FileSelection::kSaveSetup:
        return row(true, paths::resolve(app_dir, "Save recall"), kAllFiles, false);
    case FileSelection::kFirmwareDownload:
        return row(false, paths::resolve(app_dir, "Firmware"), kAllFiles, false);
    case FileSelection::kFlashProgramming:
        return row(false, paths::resolve(app_dir, "firmware"), kHexFiles, true);
    case FileSelection::kCollectionFile:
        return row(false, paths::resolve(app_dir, "test/data collection"), kAllFiles, true);
    case FileSelection::kTraceFile:
        return row(false, paths::resolve(app_dir, "trace"), kAllFiles, true);
    case FileSelection::kTraceBinaryFile:
        return row(false, paths::resolve(app_dir, "trace/save recall"), kAllFiles, true);
    case FileSelection::kEquationData:
        return row(false, paths::resolve(test_dir, "Equation Data"), kAllFiles, true);
    case FileSelection::kTestResults:
        return row(false, paths::resolve(test_dir, "Test Results"), kAllFiles, true);
    case FileSelection::kTestPlans:
        // Test plans live with the installation, for the dialog as for the panel's path.
        return row(false, paths::resolve(paths::quorix_root(), "test/sensor test plan"), kAllFiles,
                   true);
    }
    return {};
}

FileChoice choose_file(Ui &ui, const AppState &state, FileSelection which) {
    const FileSelectionRow row = file_selection_row(state, which);
    const std::string path = row.save ? ui.save_file_dialog(row.folder, row.filter)
                                      : ui.open_file_dialog(row.folder, row.filter);
    if (!path.empty()) return {true, path};
    return {false, row.cancel_gives_folder ? row.folder : std::string()};
}

std::optional<std::string> select_file(Ui &ui, const AppState &state, FileSelection which) {
    FileChoice choice = choose_file(ui, state, which);
    if (!choice.chosen) return std::nullopt;
    return std::move(choice.target);
}

} // namespace meterdesk
