// Transaction: lays files and folders into place all at once or not at all.
//
// Folders are created (and journaled) first; each file is then written under a temporary name
// beside its destination (stage), and only when every file is staged and on disk does commit()
// move them into place, keeping each replaced file under a backup name until the last one is in
// place. Every step is written to the journal before it is taken. After a failure, roll_back()
// undoes exactly what was done; recover() lets the next run undo a run that was killed, or
// finish the commit it had begun.
#pragma once

#include "sensor-setup/core/file_system.h"
#include "sensor-setup/core/journal.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sensor_setup {

// Why a step failed: the path it worked on and the system's reason.
struct Failure {
    fs::path path;
    std::string reason;
};

class Transaction {
  public:
    Transaction(FileSystem &fs, fs::path journal);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Starts the journal (which must not exist) for an installation into `target`.
    std::optional<Failure> begin(const fs::path &target);
    // Makes `folder` exist, creating it and any missing parents.
    std::optional<Failure> ensure_folder(const fs::path &folder);
    // Stages a copy of `source` for `dest` with permission bits `mode`; `sha256` receives the
    // digest of the bytes copied and `size` their count.
    std::optional<Failure> stage_copy(const fs::path &source, const fs::path &dest, unsigned mode,
                                      std::string &sha256, std::uintmax_t &size);
    // Stages `bytes` for `dest`.
    std::optional<Failure> stage_bytes(const fs::path &dest, std::string_view bytes, unsigned mode);
    // Moves every staged file into place. On failure nothing is undone yet: call roll_back().
    std::optional<Failure> commit();
    // Undoes everything this transaction did. Returns what could not be undone ("path: reason");
    // when that is not empty the journal stays, so the next run can finish the undo.
    std::vector<std::string> roll_back();

    // The folders this transaction created, in creation order.
    std::vector<fs::path> created_folders() const;

  private:
    std::optional<Failure> note(const JournalEntry &entry, bool to_disk);
    std::optional<Failure> write_staged(const fs::path &dest, unsigned mode,
                                        FileSystem::Handle &file);

    FileSystem &fs_;
    fs::path journal_;
    FileSystem::Handle journal_file_ = -1;
    std::vector<JournalEntry> entries_;
    bool finished_ = false;
};

struct Recovery {
    enum class Kind {
        kNone,       // no journal: nothing to recover
        kRolledBack, // the interrupted run was undone
        kCompleted,  // the interrupted run had begun its commit, which is now finished
    };
    Kind kind = Kind::kNone;
    fs::path target;                    // the interrupted run's target
    std::vector<std::string> leftovers; // what could not be done; the journal then stays
};

// Recovers the run that left `journal` behind, if any.
Recovery recover(FileSystem &fs, const fs::path &journal);

// "path: reason" for reports.
std::string describe(const Failure &failure);

} // namespace sensor_setup
