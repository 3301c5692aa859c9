// FileSystem: every file-system operation the installation makes, as one interface, so that a
// test can make any single operation fail (a full disk on the nth write, a refused rename, a
// process killed after a given step) and check that the installation undoes itself exactly.
// PosixFileSystem (posix_file_system.cpp, the one platform file of the installer) is the real
// one. Every call reports failure as an error code and never throws.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace sensor_setup {

namespace fs = std::filesystem;

struct FileStatus {
    bool exists = false;
    bool regular = false;   // a plain file (a link to one counts)
    bool directory = false; // a folder (a link to one counts)
    std::uintmax_t size = 0;
    unsigned mode = 0; // permission bits, 07777
};

class FileSystem {
  public:
    using Handle = int;

    virtual ~FileSystem() = default;

    // What is at `path`; a missing entry is no error (exists == false).
    virtual std::error_code status(const fs::path &path, FileStatus &out) = 0;
    // The names in a folder, in no particular order, without "." and "..".
    virtual std::error_code list(const fs::path &folder, std::vector<std::string> &names) = 0;
    // Creates one folder (its parent must exist); an existing folder is an error (EEXIST).
    virtual std::error_code make_directory(const fs::path &path) = 0;
    // Removes an empty folder.
    virtual std::error_code remove_directory(const fs::path &path) = 0;
    virtual std::error_code remove_file(const fs::path &path) = 0;
    // Moves `from` onto `to` in one step, replacing a file at `to`.
    virtual std::error_code rename(const fs::path &from, const fs::path &to) = 0;

    virtual std::error_code open_read(const fs::path &path, Handle &out) = 0;
    // Creates a file that must not exist yet, with exactly the permission bits `mode`.
    virtual std::error_code create_new(const fs::path &path, unsigned mode, Handle &out) = 0;
    // Opens a file for appending, creating it (0600) when missing.
    virtual std::error_code open_append(const fs::path &path, Handle &out) = 0;
    // Reads up to buffer.size() bytes; got == 0 is the end of the file.
    virtual std::error_code read(Handle file, std::span<char> buffer, std::size_t &got) = 0;
    // Writes all of `bytes` or fails.
    virtual std::error_code write(Handle file, std::span<const char> bytes) = 0;
    // Puts the file's data on the disk.
    virtual std::error_code flush(Handle file) = 0;
    virtual std::error_code close(Handle file) = 0;
    // Puts everything written so far on the disk.
    virtual std::error_code sync_all() = 0;
    // Bytes a user may still write on the file system that holds `path` (which exists).
    virtual std::error_code available_space(const fs::path &path, std::uintmax_t &out) = 0;
};

// The file system of the machine.
std::unique_ptr<FileSystem> make_posix_file_system();

// An exclusive hold on one name (a lock file) while it lives; released when the process ends,
// however it ends. Locked only when held() is true.
class FileLock {
  public:
    explicit FileLock(const fs::path &lock_file);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool held() const { return descriptor_ >= 0; }
    const std::error_code &error() const { return error_; }

  private:
    int descriptor_ = -1;
    std::error_code error_;
};

// Reads a whole file through `fs`; false with `error` set when it cannot be read.
bool read_whole_file(FileSystem &fs, const fs::path &path, std::string &out,
                     std::error_code &error);

} // namespace sensor_setup
