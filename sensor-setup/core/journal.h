// The journal of one installation: a text file in the installer's state folder that records
// each step before it is taken, so that a run that was killed can be undone, or its commit
// finished, by the next run. One entry per line: the kind, then tab-separated paths in which
// '\', tab and newline are escaped. A torn last line (no newline) is ignored.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sensor_setup {

namespace fs = std::filesystem;

enum class JournalKind {
    kBegin,  // path: the target of the installation
    kFolder, // path: a folder about to be created
    kStage,  // path: the temporary file about to be written; dest: where it goes at the commit
    kCommit, // every file is staged and on disk: from here the installation goes forward
    kSwap,   // dest: about to be moved into place (its old file kept under the backup name)
    kAbort,  // the run failed during its commit and is undoing it
    kDone,   // every file is in place; only the backups remain to be removed
    kUndone, // dest: the undo has put back what was there before (an undo is never repeated)
};

struct JournalEntry {
    JournalKind kind = JournalKind::kBegin;
    fs::path path;
    fs::path dest;
    bool operator==(const JournalEntry &) const = default;
};

std::string format_journal_entry(const JournalEntry &entry);
std::vector<JournalEntry> parse_journal(std::string_view text);

// Where a file is written before the commit, and where the file it replaces is kept until the
// commit is done: hidden names beside the destination.
fs::path staging_name(const fs::path &dest);
fs::path backup_name(const fs::path &dest);

} // namespace sensor_setup
