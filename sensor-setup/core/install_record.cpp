#include "sensor-setup/core/install_record.h"

#include <algorithm>
#include <charconv>

namespace sensor_setup {
namespace {

constexpr std::string_view kHeader = "sensor-setup record 1";

std::string escape(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out.push_back(c);
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            out.push_back(text[i] == 'n' ? '\n' : text[i]);
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string file_line(std::string_view kind, const RecordedFile &file) {
    return std::string(kind) + " " + file.sha256 + " " + std::to_string(file.size) + " " +
           escape(file.path.string()) + "\n";
}

// "<sha256> <size> <path>"
std::optional<RecordedFile> parse_file(std::string_view rest) {
    const std::size_t first = rest.find(' ');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = rest.find(' ', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    RecordedFile file;
    file.sha256 = std::string(rest.substr(0, first));
    const std::string_view size = rest.substr(first + 1, second - first - 1);
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), file.size);
    if (error != std::errc() || end != size.data() + size.size() || file.sha256.size() != 64)
        return std::nullopt;
    file.path = unescape(rest.substr(second + 1));
    return file;
}

void merge_files(std::vector<RecordedFile> &into, const std::vector<RecordedFile> &later) {
    for (const RecordedFile &file : later) {
        auto found = std::find_if(into.begin(), into.end(), [&](const RecordedFile &known) {
            return known.path == file.path;
        });
        if (found != into.end())
            *found = file;
        else
            into.push_back(file);
    }
}

} // namespace

void InstallRecord::merge(const InstallRecord &later) {
    target = later.target;
    for (const fs::path &folder : later.folders) {
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    merge_files(files, later.files);
    merge_files(launchers, later.launchers);
}

std::string format_record(const InstallRecord &record) {
    std::string text = std::string(kHeader) + "\n";
    text += "target " + escape(record.target.string()) + "\n";
    for (const fs::path &folder : record.folders)
        text += "folder " + escape(folder.string()) + "\n";
    for (const RecordedFile &file : record.files) text += file_line("file", file);
    for (const RecordedFile &file : record.launchers) text += file_line("launcher", file);
    return text;
}

std::optional<InstallRecord> parse_record(std::string_view text) {
    InstallRecord record;
    bool header = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!header) {
            if (line != kHeader) return std::nullopt;
            header = true;
            continue;
        }
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) return std::nullopt;
        const std::string_view kind = line.substr(0, space);
        const std::string_view rest = line.substr(space + 1);
        if (kind == "target") {
            record.target = unescape(rest);
        } else if (kind == "folder") {
            record.folders.emplace_back(unescape(rest));
        } else if (kind == "file" || kind == "launcher") {
            auto file = parse_file(rest);
            if (!file) return std::nullopt;
            (kind == "file" ? record.files : record.launchers).push_back(*file);
        } else {
            return std::nullopt;
        }
    }
    if (!header) return std::nullopt;
    return record;
}

} // namespace sensor_setup
