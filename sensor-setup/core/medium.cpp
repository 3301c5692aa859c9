#include "sensor-setup/core/medium.h"

#include "meterdesk/base/paths.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace sensor_setup {
namespace {

struct MediumFolder {
    std::string_view source;
    std::string_view into; // empty: the target itself
};

// The copy order; a later folder wins a name clash.
constexpr std::array<MediumFolder, 9> kMediumFolders = {{
    {"Firmware", "Firmware"},
    {"Help", "Help"},
    {"app", ""},
    {"DLL", ""},
    {"Driver", "Driver"},
    {"Sound", ""},
    {"Temp Comp", ""},
    {"Settings", ""},
    {"Signal", ""},
}};

// Folders made under the target besides those the medium's folders are copied into.
constexpr std::array<std::string_view, 4> kEmptyFolders = {"Save Recall", "Trace",
                                                           "Trace/Save Recall", "Stats"};

constexpr std::array<std::string_view, 2> kHelpFiles = {"hts10.dat", "hts11.dat"};

fs::path absolute_normal(const fs::path &path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    const fs::path canonical = fs::weakly_canonical(error ? path : absolute, error);
    return (error ? absolute : canonical).lexically_normal();
}

bool starts_with(const fs::path &path, const fs::path &prefix) {
    auto p = path.begin();
    for (auto q = prefix.begin(); q != prefix.end(); ++q, ++p) {
        if (q->empty()) continue; // a trailing separator
        if (p == path.end() || *p != *q) return false;
    }
    return true;
}

} // namespace

bool nested(const fs::path &a, const fs::path &b) {
    const fs::path x = absolute_normal(a);
    const fs::path y = absolute_normal(b);
    return starts_with(x, y) || starts_with(y, x);
}

fs::path installer_help_file(const fs::path &source, int topic) {
    return meterdesk::paths::resolve(source, topic == 2 ? kHelpFiles[1] : kHelpFiles[0]);
}

std::optional<MediumPlan> plan_medium(FileSystem &fs, const fs::path &source,
                                      const fs::path &target, std::string &error) {
    FileStatus status;
    if (fs.status(source, status) || !status.directory) {
        error = "There is no installation medium at " + source.string();
        return std::nullopt;
    }
    MediumPlan plan;
    plan.source = source;
    plan.target = target;
    bool any = false;
    for (std::string_view help : kHelpFiles) {
        FileStatus file;
        if (!fs.status(meterdesk::paths::resolve(source, help), file) && file.regular) any = true;
    }

    // Folders the target has in another case are used as they are spelled there.
    plan.folders.push_back(target);
    for (std::string_view folder : kEmptyFolders)
        plan.folders.push_back(meterdesk::paths::resolve(target, folder));
    for (const MediumFolder &folder : kMediumFolders) {
        const fs::path into =
            folder.into.empty() ? target : meterdesk::paths::resolve(target, folder.into);
        if (std::find(plan.folders.begin(), plan.folders.end(), into) == plan.folders.end())
            plan.folders.push_back(into);

        const fs::path from = meterdesk::paths::resolve(source, folder.source);
        FileStatus from_status;
        if (fs.status(from, from_status) || !from_status.directory) {
            plan.missing_folders.emplace_back(folder.source);
            continue;
        }
        any = true;
        std::vector<std::string> names;
        if (std::error_code failed = fs.list(from, names)) {
            error = from.string() + ": " + failed.message();
            return std::nullopt;
        }
        std::sort(names.begin(), names.end());
        for (const std::string &name : names) {
            FileStatus file;
            if (std::error_code failed = fs.status(from / name, file)) {
                error = (from / name).string() + ": " + failed.message();
                return std::nullopt;
            }
            if (!file.regular) continue; // sub-folders and devices are not copied
            const fs::path dest = into / name;
            std::erase_if(plan.files, [&](const PlannedFile &p) { return p.dest == dest; });
            plan.files.push_back({from / name, dest, file.size, file.mode});
            if (folder.source == "app") plan.application = dest;
        }
    }
    if (!any) {
        error = "There is no installation medium at " + source.string() +
                " (none of its folders is there)";
        return std::nullopt;
    }
    for (const PlannedFile &file : plan.files) plan.bytes += file.size;
    return plan;
}

} // namespace sensor_setup
