// The record of an installation, kept in the installer's state folder: the folders it created
// and the files and launchers it put in place with their size and digest, so that an uninstall
// removes exactly those and keeps whatever the user added or changed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sensor_setup {

namespace fs = std::filesystem;

struct RecordedFile {
    fs::path path;
    std::uintmax_t size = 0;
    std::string sha256;
    bool operator==(const RecordedFile &) const = default;
};

struct InstallRecord {
    fs::path target;
    std::vector<fs::path> folders; // created by the installer, in creation order
    std::vector<RecordedFile> files;
    std::vector<RecordedFile> launchers;
    bool operator==(const InstallRecord &) const = default;

    // Adds what a later installation into the same target did: its folders after these, and
    // its files in place of recorded ones of the same path.
    void merge(const InstallRecord &later);
};

std::string format_record(const InstallRecord &record);
// nullopt when the text is no record.
std::optional<InstallRecord> parse_record(std::string_view text);

} // namespace sensor_setup
