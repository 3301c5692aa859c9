// FaultyFileSystem: the machine's file system with failures put in on purpose. A rule makes
// the nth call of one operation (optionally only on paths containing a text) fail with a given
// error, or "cuts" after it: that call succeeds and every later call fails, as if the process
// had been killed right there (nothing it tries afterwards, not even its undo, reaches the
// disk).
#pragma once

#include "sensor-setup/core/file_system.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace sensor_setup_test {

using sensor_setup::FileStatus;
using sensor_setup::FileSystem;
namespace fs = std::filesystem;

enum class Op {
    kStatus,
    kList,
    kMakeDirectory,
    kRemoveDirectory,
    kRemoveFile,
    kRename,
    kOpenRead,
    kCreateNew,
    kOpenAppend,
    kRead,
    kWrite,
    kFlush,
    kClose,
    kSyncAll,
    kSpace,
};

struct Fault {
    Op op = Op::kWrite;
    int nth = 1;               // the first matching call is 1
    std::string path_contains; // empty: any path
    std::errc error = std::errc::io_error;
    bool cut = false; // the call succeeds, every later one fails
};

class FaultyFileSystem : public FileSystem {
  public:
    FaultyFileSystem() : real_(sensor_setup::make_posix_file_system()) {}
    explicit FaultyFileSystem(Fault fault) : FaultyFileSystem() { add_fault(fault); }

    // Rules count their matching calls independently of each other.
    void add_fault(Fault fault) { rules_.push_back({fault, 0}); }
    // The free space the file system reports instead of the real one.
    void set_space(std::optional<std::uintmax_t> bytes) { space_ = bytes; }
    bool fired() const { return fired_; }
    // How many calls matched the first rule so far (to count the steps of a run).
    int matched() const { return rules_.empty() ? 0 : rules_.front().matched; }

    std::error_code status(const fs::path &p, FileStatus &out) override {
        return around(Op::kStatus, p, [&] { return real_->status(p, out); });
    }
    std::error_code list(const fs::path &p, std::vector<std::string> &names) override {
        return around(Op::kList, p, [&] { return real_->list(p, names); });
    }
    std::error_code make_directory(const fs::path &p) override {
        return around(Op::kMakeDirectory, p, [&] { return real_->make_directory(p); });
    }
    std::error_code remove_directory(const fs::path &p) override {
        return around(Op::kRemoveDirectory, p, [&] { return real_->remove_directory(p); });
    }
    std::error_code remove_file(const fs::path &p) override {
        return around(Op::kRemoveFile, p, [&] { return real_->remove_file(p); });
    }
    std::error_code rename(const fs::path &from, const fs::path &to) override {
        return around(Op::kRename, to, [&] { return real_->rename(from, to); });
    }
    std::error_code open_read(const fs::path &p, Handle &out) override {
        return opened(Op::kOpenRead, p, out, [&] { return real_->open_read(p, out); });
    }
    std::error_code create_new(const fs::path &p, unsigned mode, Handle &out) override {
        return opened(Op::kCreateNew, p, out, [&] { return real_->create_new(p, mode, out); });
    }
    std::error_code open_append(const fs::path &p, Handle &out) override {
        return opened(Op::kOpenAppend, p, out, [&] { return real_->open_append(p, out); });
    }
    std::error_code read(Handle h, std::span<char> buffer, std::size_t &got) override {
        return around(Op::kRead, path_of(h), [&] { return real_->read(h, buffer, got); });
    }
    std::error_code write(Handle h, std::span<const char> bytes) override {
        return around(Op::kWrite, path_of(h), [&] { return real_->write(h, bytes); });
    }
    std::error_code flush(Handle h) override {
        return around(Op::kFlush, path_of(h), [&] { return real_->flush(h); });
    }
    std::error_code close(Handle h) override {
        // A handle is always released, so a test leaks no descriptors; the fault is reported.
        const fs::path p = path_of(h);
        paths_.erase(h);
        const std::error_code real = real_->close(h);
        return around(Op::kClose, p, [&] { return real; });
    }
    std::error_code sync_all() override {
        return around(Op::kSyncAll, {}, [&] { return real_->sync_all(); });
    }
    std::error_code available_space(const fs::path &p, std::uintmax_t &out) override {
        return around(Op::kSpace, p, [&] {
            if (space_) {
                out = *space_;
                return std::error_code();
            }
            return real_->available_space(p, out);
        });
    }

  private:
    template <typename Call>
    std::error_code around(Op op, const fs::path &p, Call call) {
        if (dead_) return std::make_error_code(std::errc::io_error);
        for (Rule &rule : rules_) {
            const Fault &fault = rule.fault;
            const bool match =
                fault.op == op && (fault.path_contains.empty() ||
                                   p.string().find(fault.path_contains) != std::string::npos);
            if (!match || ++rule.matched != fault.nth) continue;
            fired_ = true;
            if (!fault.cut) return std::make_error_code(fault.error);
            const std::error_code result = call();
            dead_ = true;
            return result;
        }
        return call();
    }
    template <typename Call>
    std::error_code opened(Op op, const fs::path &p, Handle &out, Call call) {
        const std::error_code error = around(op, p, call);
        if (!error) paths_[out] = p;
        return error;
    }
    fs::path path_of(Handle h) const {
        auto found = paths_.find(h);
        return found == paths_.end() ? fs::path() : found->second;
    }

    std::unique_ptr<FileSystem> real_;
    struct Rule {
        Fault fault;
        int matched = 0;
    };
    std::vector<Rule> rules_;
    std::optional<std::uintmax_t> space_;
    std::map<Handle, fs::path> paths_;
    bool dead_ = false;
    bool fired_ = false;
};

} // namespace sensor_setup_test
