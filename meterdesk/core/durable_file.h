// DurableFile: an append-only file whose writes can be forced to the disk and cut back. The
// operating-system calls of the data log live here alone, so a port touches one file.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace meterdesk {

class DurableFile {
  public:
    DurableFile() = default;
    ~DurableFile();
    DurableFile(const DurableFile &) = delete;
    DurableFile &operator=(const DurableFile &) = delete;

    // Opens (creating it if absent) for appending. False with the system's reason in error().
    bool open(const std::string &path);
    bool is_open() const { return handle_ >= 0; }

    // The whole text, or false with error().
    bool write_all(std::string_view text);
    // Data on the disk (fdatasync); false with error().
    bool sync();
    // Cuts the file to `size` bytes.
    bool truncate(std::uint64_t size);
    // The file's size now; false with error().
    bool size(std::uint64_t &bytes);
    void close();

    const std::string &error() const { return error_; }

  private:
    void fail();

    int handle_ = -1;
    std::string error_;
};

// The first `limit` bytes of a file ("" for a missing or empty one); false with the system's
// reason in `error` when it exists but cannot be read.
bool read_file_start(const std::string &path, std::size_t limit, std::string &start,
                     std::string &error);

// Broken-down local time, and its offset from UTC in seconds.
std::tm local_time_of(std::time_t when);
long utc_offset_seconds(const std::tm &local);

} // namespace meterdesk
