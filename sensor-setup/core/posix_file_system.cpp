// The installer's platform file: FileSystem and FileLock over POSIX calls.
#include "sensor-setup/core/file_system.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace sensor_setup {
namespace {

std::error_code last_error() {
    return {errno, std::generic_category()};
}

std::error_code result(int rc) {
    return rc == 0 ? std::error_code() : last_error();
}

class PosixFileSystem final : public FileSystem {
  public:
    std::error_code status(const fs::path &path, FileStatus &out) override {
        out = {};
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return {};
            return last_error();
        }
        out.exists = true;
        out.regular = S_ISREG(info.st_mode);
        out.directory = S_ISDIR(info.st_mode);
        out.size = static_cast<std::uintmax_t>(info.st_size);
        out.mode = static_cast<unsigned>(info.st_mode) & 07777U;
        return {};
    }

    std::error_code list(const fs::path &folder, std::vector<std::string> &names) override {
        names.clear();
        DIR *dir = ::opendir(folder.c_str());
        if (dir == nullptr) return last_error();
        errno = 0;
        while (const dirent *entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
            errno = 0;
        }
        const std::error_code error = errno != 0 ? last_error() : std::error_code();
        ::closedir(dir);
        return error;
    }

    std::error_code make_directory(const fs::path &path) override {
        return result(::mkdir(path.c_str(), 0755));
    }
    std::error_code remove_directory(const fs::path &path) override {
        return result(::rmdir(path.c_str()));
    }
    std::error_code remove_file(const fs::path &path) override {
        return result(::unlink(path.c_str()));
    }
    std::error_code rename(const fs::path &from, const fs::path &to) override {
        return result(::rename(from.c_str(), to.c_str()));
    }

    std::error_code open_read(const fs::path &path, Handle &out) override {
        out = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        return out < 0 ? last_error() : std::error_code();
    }
    std::error_code create_new(const fs::path &path, unsigned mode, Handle &out) override {
        out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0) return last_error();
        // The umask must not change the modes of the installed files.
        if (::fchmod(out, static_cast<mode_t>(mode & 07777U)) != 0) {
            const std::error_code error = last_error();
            ::close(out);
            ::unlink(path.c_str());
            out = -1;
            return error;
        }
        return {};
    }
    std::error_code open_append(const fs::path &path, Handle &out) override {
        out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        return out < 0 ? last_error() : std::error_code();
    }
    std::error_code read(Handle file, std::span<char> buffer, std::size_t &got) override {
        for (;;) {
            const ssize_t n = ::read(file, buffer.data(), buffer.size());
            if (n >= 0) {
                got = static_cast<std::size_t>(n);
                return {};
            }
            if (errno != EINTR) return last_error();
        }
    }
    std::error_code write(Handle file, std::span<const char> bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(file, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                return last_error();
            }
            if (n == 0) return std::make_error_code(std::errc::no_space_on_device);
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        }
        return {};
    }
    std::error_code flush(Handle file) override { return result(::fsync(file)); }
    std::error_code close(Handle file) override { return result(::close(file)); }
    std::error_code sync_all() override {
        ::sync();
        return {};
    }
    std::error_code available_space(const fs::path &path, std::uintmax_t &out) override {
        struct statvfs info {};
        if (::statvfs(path.c_str(), &info) != 0) return last_error();
        out = static_cast<std::uintmax_t>(info.f_bavail) * info.f_frsize;
        return {};
    }
};

} // namespace

std::unique_ptr<FileSystem> make_posix_file_system() {
    return std::make_unique<PosixFileSystem>();
}

FileLock::FileLock(const fs::path &lock_file) {
    const int fd = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = last_error();
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error_ = last_error();
        ::close(fd);
        return;
    }
    descriptor_ = fd;
}

FileLock::~FileLock() {
    if (descriptor_ >= 0) ::close(descriptor_); // closing releases the lock
}

} // namespace sensor_setup
