#include "sensor-setup/core/file_system.h"

namespace sensor_setup {

bool read_whole_file(FileSystem &fs, const fs::path &path, std::string &out,
                     std::error_code &error) {
    out.clear();
    FileSystem::Handle file = -1;
    if ((error = fs.open_read(path, file))) return false;
    char buffer[16384];
    for (;;) {
        std::size_t got = 0;
        if ((error = fs.read(file, buffer, got))) break;
        if (got == 0) break;
        out.append(buffer, got);
    }
    const std::error_code closing = fs.close(file);
    if (!error) error = closing;
    return !error;
}

} // namespace sensor_setup
