#include "sensor-setup/core/transaction.h"

#include "sensor-setup/core/sha256.h"

#include <algorithm>
#include <array>
#include <functional>

namespace sensor_setup {
namespace {

constexpr std::size_t kCopyBlock = 256 * 1024;

Failure failure(const fs::path &path, const std::error_code &error) {
    return {path, error.message()};
}

bool exists(FileSystem &fs, const fs::path &path) {
    FileStatus status;
    // An entry that cannot even be looked at is treated as present, so it is never replaced
    // or removed blindly.
    return fs.status(path, status) || status.exists;
}

void attempt(std::vector<std::string> &leftovers, const fs::path &path, std::error_code error) {
    if (error) leftovers.push_back(describe(failure(path, error)));
}

bool swapped(const std::vector<JournalEntry> &entries, const fs::path &dest) {
    return std::any_of(entries.begin(), entries.end(), [&](const JournalEntry &entry) {
        return entry.kind == JournalKind::kSwap && entry.dest == dest;
    });
}

bool has(const std::vector<JournalEntry> &entries, JournalKind kind) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const JournalEntry &entry) { return entry.kind == kind; });
}

using Mark = std::function<void(const fs::path &dest)>;

// Undoes the steps of `entries`, last first. `mark` notes in the journal each file whose old
// state is back, so that an undo interrupted or failed half way is finished by the next run
// without taking a restored file for a new one.
std::vector<std::string> undo(FileSystem &fs, const std::vector<JournalEntry> &entries,
                              const Mark &mark) {
    std::vector<std::string> leftovers;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const JournalEntry &entry = *it;
        if (entry.kind == JournalKind::kStage) {
            const bool undone = std::any_of(entries.begin(), entries.end(), [&](const auto &e) {
                return e.kind == JournalKind::kUndone && e.dest == entry.dest;
            });
            if (!undone && swapped(entries, entry.dest)) {
                const fs::path backup = backup_name(entry.dest);
                std::error_code error;
                if (exists(fs, backup))
                    error = fs.rename(backup, entry.dest);
                else if (!exists(fs, entry.path) && exists(fs, entry.dest))
                    error = fs.remove_file(entry.dest); // it was new
                if (error) {
                    attempt(leftovers, entry.dest, error);
                    continue;
                }
                mark(entry.dest);
            }
            if (exists(fs, entry.path)) attempt(leftovers, entry.path, fs.remove_file(entry.path));
        } else if (entry.kind == JournalKind::kFolder) {
            if (exists(fs, entry.path))
                attempt(leftovers, entry.path, fs.remove_directory(entry.path));
        }
    }
    return leftovers;
}

// Finishes the commit of `entries`: every staged file still waiting goes into place, then the
// backups go.
std::vector<std::string> redo(FileSystem &fs, const std::vector<JournalEntry> &entries) {
    std::vector<std::string> leftovers;
    for (const JournalEntry &entry : entries) {
        if (entry.kind != JournalKind::kStage || !exists(fs, entry.path)) continue;
        const fs::path backup = backup_name(entry.dest);
        if (!exists(fs, backup) && exists(fs, entry.dest)) {
            if (std::error_code error = fs.rename(entry.dest, backup)) {
                attempt(leftovers, entry.dest, error);
                continue;
            }
        }
        attempt(leftovers, entry.dest, fs.rename(entry.path, entry.dest));
    }
    if (!leftovers.empty()) return leftovers;
    fs.sync_all();
    for (const JournalEntry &entry : entries) {
        if (entry.kind != JournalKind::kStage) continue;
        const fs::path backup = backup_name(entry.dest);
        if (exists(fs, backup)) attempt(leftovers, backup, fs.remove_file(backup));
    }
    return leftovers;
}

} // namespace

std::string describe(const Failure &failure) {
    return failure.path.string() + ": " + failure.reason;
}

Transaction::Transaction(FileSystem &fs, fs::path journal)
    : fs_(fs), journal_(std::move(journal)) {}

Transaction::~Transaction() {
    if (journal_file_ >= 0) fs_.close(journal_file_);
}

std::optional<Failure> Transaction::note(const JournalEntry &entry, bool to_disk) {
    const std::string line = format_journal_entry(entry);
    if (std::error_code error = fs_.write(journal_file_, line)) return failure(journal_, error);
    if (to_disk) {
        if (std::error_code error = fs_.flush(journal_file_)) return failure(journal_, error);
    }
    entries_.push_back(entry);
    return std::nullopt;
}

std::optional<Failure> Transaction::begin(const fs::path &target) {
    if (exists(fs_, journal_))
        return Failure{journal_, "an earlier installation has not been recovered"};
    if (std::error_code error = fs_.open_append(journal_, journal_file_)) {
        journal_file_ = -1;
        return failure(journal_, error);
    }
    return note({JournalKind::kBegin, target, {}}, true);
}

std::optional<Failure> Transaction::ensure_folder(const fs::path &folder) {
    // The missing folders from the outermost in.
    std::vector<fs::path> missing;
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        FileStatus status;
        if (std::error_code error = fs_.status(at, status)) return failure(at, error);
        if (status.exists) {
            if (!status.directory) return Failure{at, "exists and is not a folder"};
            break;
        }
        missing.push_back(at);
        if (at == at.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (auto failed = note({JournalKind::kFolder, *it, {}}, false)) return failed;
        if (std::error_code error = fs_.make_directory(*it)) return failure(*it, error);
    }
    return std::nullopt;
}

std::optional<Failure> Transaction::write_staged(const fs::path &dest, unsigned mode,
                                                 FileSystem::Handle &file) {
    const fs::path temp = staging_name(dest);
    // A file of someone else's under one of the hidden names is neither replaced nor, on an
    // undo, removed.
    for (const fs::path &hidden : {temp, backup_name(dest)}) {
        if (exists(fs_, hidden)) return Failure{hidden, "is in the way of the installation"};
    }
    if (auto failed = note({JournalKind::kStage, temp, dest}, false)) return failed;
    if (std::error_code error = fs_.create_new(temp, mode, file)) {
        file = -1;
        return failure(temp, error);
    }
    return std::nullopt;
}

std::optional<Failure> Transaction::stage_copy(const fs::path &source, const fs::path &dest,
                                               unsigned mode, std::string &sha256,
                                               std::uintmax_t &size) {
    FileSystem::Handle in = -1;
    if (std::error_code error = fs_.open_read(source, in)) return failure(source, error);
    FileSystem::Handle out = -1;
    if (auto failed = write_staged(dest, mode, out)) {
        fs_.close(in);
        return failed;
    }
    const fs::path temp = staging_name(dest);
    std::optional<Failure> failed;
    Sha256 digest;
    size = 0;
    std::vector<char> buffer(kCopyBlock);
    for (;;) {
        std::size_t got = 0;
        if (std::error_code error = fs_.read(in, buffer, got)) {
            failed = failure(source, error);
            break;
        }
        if (got == 0) break;
        const std::span<const char> block(buffer.data(), got);
        if (std::error_code error = fs_.write(out, block)) {
            failed = failure(temp, error);
            break;
        }
        digest.update(block);
        size += got;
    }
    fs_.close(in);
    // Closing can report a write that failed late (a full disk on a network file system).
    if (std::error_code error = fs_.close(out); error && !failed) failed = failure(temp, error);
    if (!failed) sha256 = digest.hex();
    return failed;
}

std::optional<Failure> Transaction::stage_bytes(const fs::path &dest, std::string_view bytes,
                                                unsigned mode) {
    FileSystem::Handle out = -1;
    if (auto failed = write_staged(dest, mode, out)) return failed;
    const fs::path temp = staging_name(dest);
    std::optional<Failure> failed;
    if (std::error_code error = fs_.write(out, bytes)) failed = failure(temp, error);
    if (std::error_code error = fs_.close(out); error && !failed) failed = failure(temp, error);
    return failed;
}

std::optional<Failure> Transaction::commit() {
    // Every staged byte is on the disk before the journal says the installation goes forward.
    if (std::error_code error = fs_.sync_all()) return failure(journal_, error);
    if (auto failed = note({JournalKind::kCommit, {}, {}}, true)) return failed;
    const std::vector<JournalEntry> staged = entries_;
    for (const JournalEntry &entry : staged) {
        if (entry.kind != JournalKind::kStage) continue;
        if (auto failed = note({JournalKind::kSwap, {}, entry.dest}, false)) return failed;
        FileStatus status;
        if (std::error_code error = fs_.status(entry.dest, status))
            return failure(entry.dest, error);
        if (status.exists) {
            if (std::error_code error = fs_.rename(entry.dest, backup_name(entry.dest)))
                return failure(entry.dest, error);
        }
        if (std::error_code error = fs_.rename(entry.path, entry.dest))
            return failure(entry.dest, error);
    }
    if (std::error_code error = fs_.sync_all()) return failure(journal_, error);
    if (auto failed = note({JournalKind::kDone, {}, {}}, true)) return failed;
    finished_ = true;
    // The installation is in place; what is left is tidying. A backup that cannot be removed
    // stays with the journal, and the next run removes it.
    const std::vector<std::string> leftovers = redo(fs_, entries_);
    fs_.close(journal_file_);
    journal_file_ = -1;
    if (leftovers.empty()) fs_.remove_file(journal_);
    return std::nullopt;
}

std::vector<std::string> Transaction::roll_back() {
    if (finished_) return {};
    std::vector<std::string> leftovers;
    if (journal_file_ >= 0) {
        // A journal that says "commit" would be finished by the next run, not undone.
        if (has(entries_, JournalKind::kCommit)) {
            if (auto failed = note({JournalKind::kAbort, {}, {}}, true))
                leftovers.push_back(describe(*failed));
        }
    }
    const Mark mark = [this](const fs::path &dest) {
        if (journal_file_ >= 0) note({JournalKind::kUndone, {}, dest}, false);
    };
    // A copy: the marks are appended to entries_ while the undo walks it.
    const std::vector<JournalEntry> steps = entries_;
    std::vector<std::string> undone = undo(fs_, steps, mark);
    leftovers.insert(leftovers.end(), undone.begin(), undone.end());
    if (journal_file_ >= 0) {
        fs_.close(journal_file_);
        journal_file_ = -1;
        if (leftovers.empty()) {
            if (std::error_code error = fs_.remove_file(journal_))
                leftovers.push_back(describe(failure(journal_, error)));
        }
    }
    finished_ = true;
    return leftovers;
}

std::vector<fs::path> Transaction::created_folders() const {
    std::vector<fs::path> folders;
    for (const JournalEntry &entry : entries_)
        if (entry.kind == JournalKind::kFolder) folders.push_back(entry.path);
    return folders;
}

Recovery recover(FileSystem &fs, const fs::path &journal) {
    Recovery recovery;
    if (!exists(fs, journal)) return recovery;
    std::string text;
    std::error_code error;
    if (!read_whole_file(fs, journal, text, error)) {
        recovery.kind = Recovery::Kind::kRolledBack;
        recovery.leftovers.push_back(describe(failure(journal, error)));
        return recovery;
    }
    const std::vector<JournalEntry> entries = parse_journal(text);
    for (const JournalEntry &entry : entries)
        if (entry.kind == JournalKind::kBegin) recovery.target = entry.path;
    const bool forward = has(entries, JournalKind::kCommit) && !has(entries, JournalKind::kAbort);
    recovery.kind = forward ? Recovery::Kind::kCompleted : Recovery::Kind::kRolledBack;
    if (forward) {
        recovery.leftovers = redo(fs, entries);
    } else {
        FileSystem::Handle file = -1;
        if (fs.open_append(journal, file)) file = -1;
        const Mark mark = [&](const fs::path &dest) {
            if (file >= 0) fs.write(file, format_journal_entry({JournalKind::kUndone, {}, dest}));
        };
        recovery.leftovers = undo(fs, entries, mark);
        if (file >= 0) fs.close(file);
    }
    if (recovery.leftovers.empty()) attempt(recovery.leftovers, journal, fs.remove_file(journal));
    return recovery;
}

} // namespace sensor_setup
