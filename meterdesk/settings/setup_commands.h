// "Save Setup..." (40014, toolbar 9008) and "Recall Setup..." (40036, toolbar 9009): the file
// dialog, then the save or the recall of a SetupFile.
//
// A save writes the whole file to a temporary name and renames it over the old one, so a
// failed save keeps the old file. A recall checks the whole file before it changes anything;
// values the connected sensor refuses (a file may come from another model of the family) are
// not taken, the previous ones are kept and the message says which.
#pragma once

#include <string>
#include <vector>

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kSaveSetupCaption = "Save Setup To File";
inline constexpr const char *kRecallSetupCaption = "Recall Setup From File";
inline constexpr const char *kSetupFileFilter = "All Files (*.*)";

// The save command: a save dialog in the setup folder; an empty answer is Cancel.
bool save_setup_command(AppState &state, Ui &ui);

// Saves to `path` (kept as setup_save_path): asks before replacing a file, reports a failed
// write. Returns true when the file was written.
bool save_setup(AppState &state, Ui &ui, const std::string &path);

// The recall command: an open dialog in the setup folder, the recall, and after a recall the
// "New settings loaded" message.
bool recall_setup_command(AppState &state, Ui &ui);

struct RecallResult {
    bool loaded = false;
    // Values the connected sensor did not accept, as "line 4 (frequency)"; kept as they were.
    std::vector<std::string> kept;
};

// Recalls `path` (kept as setup_recall_path) into the state and the library, then asks for the
// screen of the mode. Reports a missing file, a wrong header and a bad value itself.
RecallResult recall_setup(AppState &state, Ui &ui, const std::string &path);

// "New settings loaded.\nSensor zero recommended", followed by the kept values when there are.
std::string recall_done_text(const RecallResult &result);

} // namespace meterdesk
