#include "config_text.h"

#include <utility>

namespace rfsim {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A '#' at the start of a line or after a blank begins a comment.
std::string_view strip_comment(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t'))
            return line.substr(0, i);
    return line;
}

struct Assignment {
    int line;
    std::string key;
    std::string value;
};

} // namespace

std::optional<std::vector<DeviceSettings>> parse_config(std::string_view text, std::string &error) {
    if (text.size() > max_config_size) {
        error = "configuration text is larger than 1 MiB";
        return std::nullopt;
    }
    std::vector<Assignment> defaults;
    std::vector<std::vector<Assignment>> sections;
    DeviceSettings scratch; // checks every assignment as it is read

    int line_number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trim(strip_comment(text.substr(start, end - start)));
        start = end + 1;
        ++line_number;
        if (line.empty()) continue;
        const std::string where = "line " + std::to_string(line_number) + ": ";
        if (line.front() == '[') {
            if (line != "[device]") {
                error = where + "unknown section '" + std::string(line) + "'";
                return std::nullopt;
            }
            if (sections.size() == max_devices) {
                error = where + "more than " + std::to_string(max_devices) + " devices";
                return std::nullopt;
            }
            sections.emplace_back();
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            error = where + "expected 'key = value', got '" + std::string(line) + "'";
            return std::nullopt;
        }
        Assignment a{line_number, std::string(trim(line.substr(0, eq))),
                     std::string(trim(line.substr(eq + 1)))};
        std::string why;
        if (!set_key(scratch, a.key, a.value, why)) {
            error = where + why;
            return std::nullopt;
        }
        (sections.empty() ? defaults : sections.back()).push_back(std::move(a));
    }

    if (sections.empty()) sections.emplace_back();
    std::vector<DeviceSettings> devices;
    for (size_t i = 0; i < sections.size(); ++i) {
        DeviceSettings s;
        for (const auto *list : {&defaults, &sections[i]})
            for (const Assignment &a : *list) {
                std::string why;
                set_key(s, a.key, a.value, why); // already checked above
            }
        resolve_defaults(s, static_cast<int>(i));
        devices.push_back(std::move(s));
    }
    return devices;
}

} // namespace rfsim
