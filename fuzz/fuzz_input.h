// Small helpers shared by the fuzz harnesses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace rfsense_fuzz {

inline std::string_view text(const std::uint8_t *data, std::size_t size) {
    return {reinterpret_cast<const char *>(data), size};
}

// A scratch file of this process holding the input, for parsers that read files by name.
inline std::filesystem::path scratch_file(const std::uint8_t *data, std::size_t size,
                                          const char *name) {
    static const std::filesystem::path folder = [] {
        auto path =
            std::filesystem::temp_directory_path() / ("rfsense-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    const auto path = folder / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    return path;
}

} // namespace rfsense_fuzz
