// Helpers of the installer tests: a scratch home with the XDG folders in it, a small
// installation medium, a snapshot of a folder tree to compare before and after, and a recording
// fake of the SetupUi port.
#pragma once

#include "sensor-setup/core/installer.h"
#include "sensor-setup/core/setup_ui.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace sensor_setup_test {

namespace fs = std::filesystem;
using test_support::ScopedEnv;
using test_support::ScratchFolder;

// One entry of a tree: a folder, or a file with its bytes and permission bits.
struct Entry {
    bool folder = false;
    std::string bytes;
    unsigned mode = 0;
    bool operator==(const Entry &) const = default;
};
using Tree = std::map<std::string, Entry>;

// Everything below `root`, keyed by relative path; lock files are left out (they stay by
// design and hold nothing).
inline Tree snapshot(const fs::path &root) {
    Tree tree;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string name = it->path().lexically_relative(root).string();
        if (it->path().extension() == ".lock") continue;
        struct stat info {};
        ::stat(it->path().c_str(), &info);
        Entry entry;
        entry.folder = it->is_directory();
        entry.mode = info.st_mode & 07777;
        if (!entry.folder) {
            std::ifstream in(it->path(), std::ios::binary);
            entry.bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        tree[name] = entry;
    }
    return tree;
}

// The entries that differ between two trees, one per line ("" when they are the same), so a
// failing comparison names the paths.
inline std::string differences(const Tree &expected, const Tree &actual) {
    std::string text;
    auto describe = [](const Entry &e) {
        return e.folder ? std::string("folder")
                        : "file " + std::to_string(e.bytes.size()) + " bytes mode " +
                              std::to_string(e.mode) + " \"" + e.bytes.substr(0, 40) + "\"";
    };
    for (const auto &[name, entry] : expected) {
        auto found = actual.find(name);
        if (found == actual.end())
            text += "missing: " + name + "\n";
        else if (!(found->second == entry))
            text += "changed: " + name + ": " + describe(entry) + " -> " + describe(found->second) +
                    "\n";
    }
    for (const auto &[name, entry] : actual)
        if (!expected.count(name)) text += "added: " + name + " (" + describe(entry) + ")\n";
    return text;
}

// The tree without the installer's state folder (whose record names the target of its own
// scratch folder).
inline Tree without_state(Tree tree) {
    std::erase_if(tree,
                  [](const auto &item) { return item.first.starts_with("home/.local/state"); });
    return tree;
}

inline void write_file(const fs::path &path, const std::string &bytes, unsigned mode = 0644) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    fs::permissions(path, static_cast<fs::perms>(mode));
}

inline std::string read_file(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scratch folder holding "home" (HOME, with the XDG folders unset so their defaults lie in
// it), "medium" and "target".
class SetupScratch {
  public:
    SetupScratch()
        : home_env_("HOME", (scratch_.path() / "home").string()),
          state_env_("XDG_STATE_HOME", std::nullopt), data_env_("XDG_DATA_HOME", std::nullopt),
          config_env_("XDG_CONFIG_HOME", std::nullopt), quorix_env_("QUORIX_HOME", std::nullopt) {
        fs::create_directories(home());
    }
    fs::path root() const { return scratch_.path(); }
    fs::path home() const { return scratch_.path() / "home"; }
    fs::path medium() const { return scratch_.path() / "medium"; }
    fs::path target() const { return scratch_.path() / "target"; }
    fs::path desktop() const { return home() / "Desktop"; }
    fs::path menu() const { return home() / ".local/share/applications"; }
    sensor_setup::SetupPlaces places() const {
        std::string error;
        auto places = sensor_setup::setup_places(sensor_setup::process_environment(), error);
        EXPECT_TRUE(places) << error;
        return places.value_or(sensor_setup::SetupPlaces{});
    }
    // A small medium: a file in every folder, a sub-folder that must not be copied, a name
    // clash between "Sound" and "Settings" (Settings wins) and the installer's help files.
    void make_medium(const std::string &edition = "1") const {
        write_file(medium() / "app/meterdesk", "#!/bin/sh\necho meter " + edition + "\n", 0755);
        write_file(medium() / "DLL/librfsense.so.3", "library " + edition);
        write_file(medium() / "Firmware/sensor.hex", ":00000001FF\n" + edition);
        write_file(medium() / "Help/hts1.dat", "help " + edition);
        write_file(medium() / "Help/nested/skip.dat", "not copied");
        write_file(medium() / "Driver/60-rfsense.rules", "rule " + edition);
        write_file(medium() / "Sound/UTOPIA.WAV", "RIFF" + edition);
        write_file(medium() / "Sound/clash.dat", "from Sound");
        write_file(medium() / "Temp Comp/tcd.dat", "tcd " + edition, 0600);
        write_file(medium() / "Settings/clash.dat", "from Settings " + edition);
        write_file(medium() / "Signal/signal.dat", "signal " + edition);
        write_file(medium() / "hts10.dat", "options help");
        write_file(medium() / "hts11.dat", "final help");
    }
    sensor_setup::InstallRequest request(bool launchers = true) const {
        sensor_setup::InstallRequest request;
        request.source = medium();
        request.target = target();
        request.desktop_launcher = launchers;
        request.menu_launcher = launchers;
        return request;
    }

  private:
    ScratchFolder scratch_;
    ScopedEnv home_env_, state_env_, data_env_, config_env_, quorix_env_;
};

// Records the port's calls; the folder picker answers from a script (nothing: dismissed).
class FakeSetupUi : public sensor_setup::SetupUi {
  public:
    struct Message {
        std::string caption;
        std::string text;
    };
    void message(std::string_view caption, std::string_view text) override {
        messages.push_back({std::string(caption), std::string(text)});
    }
    std::optional<std::string> choose_folder(std::string_view title) override {
        picker_titles.emplace_back(title);
        return folder_answer;
    }
    void start_timer(int id, int period_ms) override { timers_started.push_back({id, period_ms}); }
    void stop_timer(int id) override { timers_stopped.push_back(id); }
    void show_help(int topic) override { help_topics.push_back(topic); }
    void start_install() override { ++installs_started; }

    std::vector<Message> messages;
    std::vector<std::string> picker_titles;
    std::optional<std::string> folder_answer;
    std::vector<std::pair<int, int>> timers_started;
    std::vector<int> timers_stopped;
    std::vector<int> help_topics;
    int installs_started = 0;
};

} // namespace sensor_setup_test
