#include "sensor-setup/core/installer.h"

#include "sensor-setup/core/install_record.h"
#include "sensor-setup/core/launcher.h"
#include "sensor-setup/core/medium.h"
#include "sensor-setup/core/sha256.h"

#include <algorithm>
#include <memory>
#include <set>

namespace sensor_setup {
namespace {

// Room kept free beyond the files' size: the journal, the record, the launchers.
constexpr std::uintmax_t kSpareBytes = 1024 * 1024;
constexpr unsigned kRecordMode = 0600;

std::string megabytes(std::uintmax_t bytes) {
    const std::uintmax_t tenths = (bytes * 10 + 512 * 1024) / (1024 * 1024);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MiB";
}

// Creates `folder` and its missing parents outside any transaction (the state folder).
std::error_code make_folders(FileSystem &fs, const fs::path &folder) {
    FileStatus status;
    if (std::error_code error = fs.status(folder, status)) return error;
    if (status.directory) return {};
    if (status.exists) return std::make_error_code(std::errc::not_a_directory);
    if (folder.has_parent_path() && folder.parent_path() != folder) {
        if (std::error_code error = make_folders(fs, folder.parent_path())) return error;
    }
    std::error_code error = fs.make_directory(folder);
    if (error == std::errc::file_exists) error.clear();
    return error;
}

std::string recovery_text(const Recovery &recovery) {
    const std::string target = recovery.target.empty() ? "" : " into " + recovery.target.string();
    switch (recovery.kind) {
    case Recovery::Kind::kRolledBack:
        return "An interrupted installation" + target + " was found and undone.";
    case Recovery::Kind::kCompleted:
        return "An interrupted installation" + target + " was found and its commit finished.";
    case Recovery::Kind::kNone:
        break;
    }
    return {};
}

// Holds the target's lock and recovers an interrupted run; a failure fills `failure`.
struct Session {
    std::unique_ptr<FileLock> lock;
    std::optional<Failure> failure;
    Recovery recovery;
};

Session open_session(FileSystem &fs, const fs::path &target, const SetupPlaces &places) {
    Session session;
    if (std::error_code error = make_folders(fs, places.state_dir)) {
        session.failure = Failure{places.state_dir, error.message()};
        return session;
    }
    session.lock = std::make_unique<FileLock>(lock_file(places, target));
    if (!session.lock->held()) {
        const std::error_code &error = session.lock->error();
        session.failure = (error == std::errc::resource_unavailable_try_again ||
                           error == std::errc::operation_would_block)
                              ? Failure{target, "Another installation into this folder is running"}
                              : Failure{lock_file(places, target), error.message()};
        return session;
    }
    session.recovery = recover(fs, journal_file(places, target));
    return session;
}

std::optional<fs::path> existing_ancestor(FileSystem &fs, fs::path path) {
    for (;; path = path.parent_path()) {
        FileStatus status;
        if (!fs.status(path, status) && status.exists) return path;
        if (path.empty() || path == path.parent_path()) return std::nullopt;
    }
}

std::optional<InstallRecord> read_record(FileSystem &fs, const fs::path &file) {
    FileStatus status;
    if (fs.status(file, status) || !status.regular) return std::nullopt;
    std::string text;
    std::error_code error;
    if (!read_whole_file(fs, file, text, error)) return std::nullopt;
    return parse_record(text);
}

std::string digest_of(const std::string &text) {
    Sha256 digest;
    digest.update(text);
    return digest.hex();
}

// Whether the file at `path` is still the one recorded; nullopt when it is gone.
std::optional<bool> unchanged(FileSystem &fs, const RecordedFile &file) {
    FileStatus status;
    if (fs.status(file.path, status) || !status.exists) return std::nullopt;
    if (!status.regular || status.size != file.size) return false;
    FileSystem::Handle handle = -1;
    if (fs.open_read(file.path, handle)) return false;
    Sha256 digest;
    std::vector<char> buffer(256 * 1024);
    bool ok = true;
    for (;;) {
        std::size_t got = 0;
        if (fs.read(handle, buffer, got)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        digest.update(std::span<const char>(buffer.data(), got));
    }
    fs.close(handle);
    return ok && digest.hex() == file.sha256;
}

} // namespace

int exit_status(Outcome outcome) {
    switch (outcome) {
    case Outcome::kDone:
        return 0;
    case Outcome::kRolledBack:
        return 1;
    case Outcome::kNotUndone:
        return 3;
    }
    return 3;
}

std::string InstallReport::aftermath() const {
    if (outcome != Outcome::kNotUndone) return "Nothing was changed.";
    std::string text = "Not everything could be undone:";
    for (const std::string &left : leftovers) text += " " + left + ";";
    if (!leftovers.empty()) text.pop_back();
    return text;
}

std::vector<std::string> InstallReport::lines() const {
    std::vector<std::string> out;
    if (!recovery.empty()) out.push_back(recovery);
    if (outcome == Outcome::kDone) {
        out.push_back("Installation complete.");
        out.push_back(std::to_string(files) + " files installed into " + target.string() + ".");
        if (!missing_folders.empty()) {
            std::string text = "Not on the medium, so nothing was copied from:";
            for (const std::string &folder : missing_folders) text += " \"" + folder + "\"";
            out.push_back(text + ".");
        }
        for (const fs::path &launcher : launchers) out.push_back("Launcher: " + launcher.string());
        if (!launcher_note.empty()) out.push_back(launcher_note);
        return out;
    }
    out.push_back("Installation failed.");
    if (failure) {
        out.push_back(failure->path.string());
        out.push_back(failure->reason);
    }
    if (outcome == Outcome::kNotUndone) {
        out.push_back("Not everything could be undone:");
        for (const std::string &left : leftovers) out.push_back("  " + left);
    } else {
        out.push_back("Nothing was changed.");
    }
    return out;
}

InstallReport install(FileSystem &fs, const InstallRequest &request, const SetupPlaces &places) {
    InstallReport report;
    const fs::path target = normal_target(request.target);
    report.target = target;
    auto refuse = [&](Failure why) {
        report.outcome = Outcome::kRolledBack;
        report.failure = std::move(why);
        return report;
    };

    Session session = open_session(fs, target, places);
    report.recovery = recovery_text(session.recovery);
    if (session.failure) return refuse(*session.failure);
    if (!session.recovery.leftovers.empty()) {
        report.outcome = Outcome::kNotUndone;
        report.failure = Failure{target, "An interrupted earlier installation could not be "
                                         "recovered"};
        report.leftovers = session.recovery.leftovers;
        return report;
    }

    std::string error;
    const std::optional<MediumPlan> plan = plan_medium(fs, request.source, target, error);
    if (!plan) return refuse({request.source, error});
    report.missing_folders = plan->missing_folders;
    if (nested(request.source, target))
        return refuse({target, "The target and the installation medium " + request.source.string() +
                                   " lie inside each other"});
    if (auto ancestor = existing_ancestor(fs, target)) {
        std::uintmax_t available = 0;
        if (std::error_code failed = fs.available_space(*ancestor, available))
            return refuse({*ancestor, failed.message()});
        if (available < plan->bytes + kSpareBytes)
            return refuse({target, "Not enough free space: the installation needs " +
                                       megabytes(plan->bytes + kSpareBytes) + ", " +
                                       megabytes(available) + " are free"});
    }

    // The launchers start the application the medium brought, else the one beside the
    // installer; without either there is nothing for them to start.
    std::optional<fs::path> application = plan->application;
    if (!application && request.fallback_application) {
        FileStatus status;
        if (!fs.status(*request.fallback_application, status) && status.regular)
            application = request.fallback_application;
    }
    struct Launcher {
        fs::path folder;
        unsigned mode;
    };
    std::vector<Launcher> launchers;
    if (request.desktop_launcher) launchers.push_back({places.desktop_dir, kDesktopLauncherMode});
    if (request.menu_launcher) launchers.push_back({places.menu_dir, kMenuLauncherMode});
    if (!launchers.empty() && !application) {
        report.launcher_note = "No launcher was made: the medium's \"app\" folder holds no "
                               "application, and there is no meterdesk beside sensor-setup.";
        launchers.clear();
    }

    Transaction transaction(fs, journal_file(places, target));
    InstallRecord record;
    record.target = target;
    auto run = [&]() -> std::optional<Failure> {
        if (auto failed = transaction.begin(target)) return failed;
        for (const fs::path &folder : plan->folders) {
            if (auto failed = transaction.ensure_folder(folder)) return failed;
        }
        for (const PlannedFile &file : plan->files) {
            RecordedFile recorded{file.dest, 0, {}};
            if (auto failed = transaction.stage_copy(file.source, file.dest, file.mode,
                                                     recorded.sha256, recorded.size))
                return failed;
            record.files.push_back(recorded);
        }
        for (const Launcher &launcher : launchers) {
            if (auto failed = transaction.ensure_folder(launcher.folder)) return failed;
            const std::string entry = desktop_entry(*application, target);
            const fs::path path = launcher.folder / launcher_file_name(*application);
            if (auto failed = transaction.stage_bytes(path, entry, launcher.mode)) return failed;
            record.launchers.push_back({path, entry.size(), digest_of(entry)});
        }
        record.folders = transaction.created_folders();
        InstallRecord merged = read_record(fs, record_file(places, target)).value_or(record);
        if (merged.target != record.target) merged = record;
        merged.merge(record);
        if (auto failed = transaction.stage_bytes(record_file(places, target),
                                                  format_record(merged), kRecordMode))
            return failed;
        return transaction.commit();
    };
    if (auto failed = run()) {
        report.failure = failed;
        report.leftovers = transaction.roll_back();
        report.outcome = report.leftovers.empty() ? Outcome::kRolledBack : Outcome::kNotUndone;
        return report;
    }
    report.files = plan->files.size();
    for (const RecordedFile &launcher : record.launchers) report.launchers.push_back(launcher.path);
    return report;
}

std::vector<std::string> UninstallReport::lines() const {
    std::vector<std::string> out;
    if (!recovery.empty()) out.push_back(recovery);
    if (failure) {
        out.push_back("Uninstall failed.");
        out.push_back(failure->path.string());
        out.push_back(failure->reason);
        return out;
    }
    out.push_back(outcome == Outcome::kDone ? "Uninstall complete." : "Uninstall incomplete.");
    for (const fs::path &path : removed) out.push_back("Removed: " + path.string());
    for (const std::string &item : kept) out.push_back("Kept: " + item);
    for (const std::string &item : leftovers) out.push_back("Could not remove: " + item);
    return out;
}

UninstallReport uninstall(FileSystem &fs, const fs::path &target_path, const SetupPlaces &places) {
    UninstallReport report;
    const fs::path target = normal_target(target_path);
    Session session = open_session(fs, target, places);
    report.recovery = recovery_text(session.recovery);
    if (session.failure) {
        report.outcome = Outcome::kRolledBack;
        report.failure = session.failure;
        return report;
    }
    if (!session.recovery.leftovers.empty()) {
        report.outcome = Outcome::kNotUndone;
        report.failure = Failure{target, "An interrupted installation could not be recovered"};
        report.leftovers = session.recovery.leftovers;
        return report;
    }
    const fs::path record_path = record_file(places, target);
    const std::optional<InstallRecord> record = read_record(fs, record_path);
    if (!record) {
        report.outcome = Outcome::kRolledBack;
        report.failure = Failure{target, "No installation by sensor-setup is recorded for this "
                                         "folder"};
        return report;
    }

    std::set<fs::path> recorded;
    auto remove_unchanged = [&](const RecordedFile &file) {
        recorded.insert(file.path);
        const std::optional<bool> same = unchanged(fs, file);
        if (!same) return; // already gone
        if (!*same) {
            report.kept.push_back(file.path.string() + " (changed since the installation)");
            return;
        }
        if (std::error_code error = fs.remove_file(file.path))
            report.leftovers.push_back(file.path.string() + ": " + error.message());
        else
            report.removed.push_back(file.path);
    };
    for (const RecordedFile &file : record->files) remove_unchanged(file);
    for (const RecordedFile &file : record->launchers) remove_unchanged(file);

    // What else is in the target is the user's: it stays, and is listed.
    std::error_code walk_error;
    std::vector<std::string> user_files;
    for (auto it = fs::recursive_directory_iterator(target, walk_error);
         !walk_error && it != fs::recursive_directory_iterator(); it.increment(walk_error)) {
        if (!it->is_directory(walk_error) && !recorded.count(it->path()))
            user_files.push_back(it->path().string() + " (not installed by sensor-setup)");
    }
    std::sort(user_files.begin(), user_files.end());
    report.kept.insert(report.kept.end(), user_files.begin(), user_files.end());

    // Inner folders first.
    for (auto it = record->folders.rbegin(); it != record->folders.rend(); ++it) {
        FileStatus status;
        if (fs.status(*it, status) || !status.directory) continue;
        std::vector<std::string> names;
        if (!fs.list(*it, names) && !names.empty()) {
            report.kept.push_back(it->string() + " (folder not empty)");
            continue;
        }
        if (std::error_code error = fs.remove_directory(*it))
            report.leftovers.push_back(it->string() + ": " + error.message());
        else
            report.removed.push_back(*it);
    }
    if (report.leftovers.empty()) {
        if (std::error_code error = fs.remove_file(record_path))
            report.leftovers.push_back(record_path.string() + ": " + error.message());
    }
    if (!report.leftovers.empty()) report.outcome = Outcome::kNotUndone;
    return report;
}

} // namespace sensor_setup
