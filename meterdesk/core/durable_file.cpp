#include "meterdesk/core/durable_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace meterdesk {

DurableFile::~DurableFile() {
    close();
}

void DurableFile::fail() {
    error_ = std::strerror(errno);
}

bool DurableFile::open(const std::string &path) {
    close();
    handle_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (handle_ < 0) {
        fail();
        return false;
    }
    return true;
}

bool DurableFile::write_all(std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(handle_, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail();
            return false;
        }
        if (n == 0) {
            errno = EIO;
            fail();
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool DurableFile::sync() {
    if (::fdatasync(handle_) != 0) {
        fail();
        return false;
    }
    return true;
}

bool DurableFile::truncate(std::uint64_t size) {
    if (::ftruncate(handle_, static_cast<off_t>(size)) != 0) {
        fail();
        return false;
    }
    return true;
}

bool DurableFile::size(std::uint64_t &bytes) {
    struct stat info {};
    if (::fstat(handle_, &info) != 0) {
        fail();
        return false;
    }
    bytes = static_cast<std::uint64_t>(info.st_size);
    return true;
}

void DurableFile::close() {
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
}

bool read_file_start(const std::string &path, std::size_t limit, std::string &start,
                     std::string &error) {
    start.clear();
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        if (errno == ENOENT) return true;
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(handle, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(handle); // a device or a pipe holds no earlier log
        return true;
    }
    start.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(handle, start.data() + got, limit - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = std::strerror(errno);
            ::close(handle);
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(handle);
    start.resize(got);
    return true;
}

std::tm local_time_of(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

long utc_offset_seconds(const std::tm &local) {
    return local.tm_gmtoff;
}

} // namespace meterdesk
