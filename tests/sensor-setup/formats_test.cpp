// The installer's small formats: digests, journal lines, launcher text, places, records and
// the command line.
#include "sensor-setup/core/install_record.h"
#include "sensor-setup/core/journal.h"
#include "sensor-setup/core/launcher.h"
#include "sensor-setup/core/setup_options.h"
#include "sensor-setup/core/setup_places.h"
#include "sensor-setup/core/sha256.h"

#include <gtest/gtest.h>

#include <map>

namespace sensor_setup {
namespace {

std::string sha(const std::string &text, std::size_t piece) {
    Sha256 digest;
    for (std::size_t i = 0; i < text.size(); i += piece)
        digest.update(std::string_view(text).substr(i, piece));
    return digest.hex();
}

TEST(Sha256, KnownDigestsWhateverTheFeedSize) {
    const std::string million(1000000, 'a');
    for (std::size_t piece : {1u, 7u, 64u, 1000u, 1000000u}) {
        EXPECT_EQ(sha("", piece),
                  "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        EXPECT_EQ(sha("abc", piece),
                  "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(sha("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", piece),
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
        EXPECT_EQ(sha(million, piece),
                  "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    }
}

TEST(Journal, PathsWithAnyCharacterComeBackAndATornLineIsIgnored) {
    const std::vector<JournalEntry> entries = {
        {JournalKind::kBegin, "/t/Quorix", {}},
        {JournalKind::kFolder, "/t/a\tb\\c\nd", {}},
        {JournalKind::kStage, "/t/.x.setup-new", "/t/x"},
        {JournalKind::kCommit, {}, {}},
        {JournalKind::kSwap, {}, "/t/x"},
        {JournalKind::kAbort, {}, {}},
        {JournalKind::kDone, {}, {}},
        {JournalKind::kUndone, {}, "/t/x"},
    };
    std::string text;
    for (const JournalEntry &entry : entries) text += format_journal_entry(entry);
    EXPECT_EQ(parse_journal(text), entries);
    EXPECT_EQ(parse_journal(text + "commit"), entries); // killed in the middle of a line
}

TEST(Journal, HiddenNamesLieBesideTheDestination) {
    EXPECT_EQ(staging_name("/t/Help/hts1.dat"), fs::path("/t/Help/.hts1.dat.setup-new"));
    EXPECT_EQ(backup_name("/t/meterdesk"), fs::path("/t/.meterdesk.setup-old"));
}

TEST(Launcher, ExecArgumentQuoting) {
    const std::map<std::string, std::string> table = {
        {"/opt/Quorix/meterdesk", "/opt/Quorix/meterdesk"},
        {"/my apps/meterdesk", "\"/my apps/meterdesk\""},
        {"/opt/100%/meterdesk", "/opt/100%%/meterdesk"},
        {"/a \"b\"/m", "\"/a \\\"b\\\"/m\""},
        {"/a$HOME/m", "\"/a\\$HOME/m\""},
        {"/a\\b/m", "\"/a\\\\b/m\""},
        {"/a`b`/m", "\"/a\\`b\\`/m\""},
        {"/50% off/m", "\"/50%% off/m\""},
    };
    for (const auto &[path, exec] : table) EXPECT_EQ(exec_argument(path), exec) << path;
}

TEST(Launcher, EntryHasTheKeysAndEscapesTheStringValues) {
    const std::string entry = desktop_entry("/home/u/my apps\\x/meterdesk", "/home/u/my apps\\x");
    EXPECT_EQ(entry, "[Desktop Entry]\n"
                     "Type=Application\n"
                     "Name=meterdesk\n"
                     "Comment=Power Sensor\n"
                     "Exec=\"/home/u/my apps\\\\\\\\x/meterdesk\"\n"
                     "Path=/home/u/my apps\\\\x\n"
                     "Icon=org.rfsense.meterdesk\n"
                     "Categories=Science;Electronics;\n");
    EXPECT_EQ(launcher_file_name("/opt/Quorix/meterdesk"), "org.rfsense.meterdesk.desktop");
    EXPECT_EQ(launcher_file_name("/opt/Quorix/meter.exe"), "org.rfsense.meter.desktop");
}

TEST(SetupPlaces, BrowseAppendsQuorixToTheChosenFolder) {
    const std::map<std::string, std::string> table = {
        {"/opt/tools", "/opt/tools/Quorix/"},
        {"/opt/tools/", "/opt/tools/Quorix/"},
        {"/", "/Quorix/"},
        {"/home/u/my files", "/home/u/my files/Quorix/"},
    };
    for (const auto &[folder, target] : table) EXPECT_EQ(browsed_target_text(folder), target);
}

TEST(SetupPlaces, DesktopFolderFromUserDirs) {
    const fs::path home = "/home/u";
    const std::map<std::string, std::optional<fs::path>> table = {
        {"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", fs::path("/home/u/Schreibtisch")},
        {"# c\nXDG_MUSIC_DIR=\"$HOME/Music\"\nXDG_DESKTOP_DIR=\"/data/desk\"\n",
         fs::path("/data/desk")},
        {"XDG_DESKTOP_DIR=\"$HOME/\"\n", std::nullopt},
        {"XDG_DESKTOP_DIR=relative\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &[text, desktop] : table)
        EXPECT_EQ(desktop_dir_from_user_dirs(text, home), desktop) << text;
}

TEST(SetupPlaces, XdgFoldersAndTheRefusalWithoutHome) {
    std::map<std::string, std::string> env = {{"HOME", "/home/u"}};
    auto lookup = [&](const char *name) -> std::optional<std::string> {
        auto found = env.find(name);
        if (found == env.end()) return std::nullopt;
        return found->second;
    };
    std::string error;
    auto places = setup_places(lookup, error);
    ASSERT_TRUE(places);
    EXPECT_EQ(places->state_dir, fs::path("/home/u/.local/state/sensor-setup"));
    EXPECT_EQ(places->menu_dir, fs::path("/home/u/.local/share/applications"));
    EXPECT_EQ(places->desktop_dir, fs::path("/home/u/Desktop"));

    env["XDG_STATE_HOME"] = "/s";
    env["XDG_DATA_HOME"] = "relative/ignored";
    places = setup_places(lookup, error);
    ASSERT_TRUE(places);
    EXPECT_EQ(places->state_dir, fs::path("/s/sensor-setup"));
    EXPECT_EQ(places->menu_dir, fs::path("/home/u/.local/share/applications"));

    env.erase("HOME");
    EXPECT_FALSE(setup_places(lookup, error));
    EXPECT_NE(error.find("HOME"), std::string::npos);
}

TEST(SetupPlaces, EachTargetHasItsOwnStateFiles) {
    const SetupPlaces places{"/s", "/d", "/m"};
    EXPECT_EQ(record_file(places, "/t/Quorix/"), record_file(places, "/t/Quorix"));
    EXPECT_EQ(record_file(places, "/t/x/../Quorix"), record_file(places, "/t/Quorix"));
    EXPECT_NE(record_file(places, "/t/Quorix"), record_file(places, "/t/Other"));
    EXPECT_EQ(journal_file(places, "/t/Quorix").parent_path(), fs::path("/s"));
}

TEST(InstallRecord, RoundTripAndMerge) {
    InstallRecord first;
    first.target = "/t/with space\nand newline";
    first.folders = {"/t", "/t/Help"};
    first.files = {{"/t/a", 3, std::string(64, 'a')}, {"/t/b", 4, std::string(64, 'b')}};
    first.launchers = {{"/h/Desktop/x.desktop", 9, std::string(64, 'c')}};
    EXPECT_EQ(parse_record(format_record(first)), first);
    EXPECT_FALSE(parse_record("not a record\n"));
    EXPECT_FALSE(parse_record("sensor-setup record 1\nfile zz 1 /x\n"));

    InstallRecord second;
    second.target = first.target;
    second.folders = {"/h/Desktop"};
    second.files = {{"/t/b", 5, std::string(64, 'd')}, {"/t/c", 1, std::string(64, 'e')}};
    first.merge(second);
    EXPECT_EQ(first.folders, (std::vector<fs::path>{"/t", "/t/Help", "/h/Desktop"}));
    ASSERT_EQ(first.files.size(), 3u);
    EXPECT_EQ(first.files[1].size, 5u);
    EXPECT_EQ(first.files[2].path, fs::path("/t/c"));
}

TEST(SetupOptions, CommandLines) {
    struct Case {
        std::vector<std::string> args;
        SetupOptions::Mode mode;
        bool error;
    };
    const std::vector<Case> table = {
        {{}, SetupOptions::Mode::kPages, false},
        {{"-platform", "offscreen"}, SetupOptions::Mode::kPages, false},
        {{"--source", "/m"}, SetupOptions::Mode::kPages, false},
        {{"--batch"}, SetupOptions::Mode::kBatch, false},
        {{"--batch", "--source", "/m", "--target", "/t", "--no-desktop", "--no-menu"},
         SetupOptions::Mode::kBatch,
         false},
        {{"--uninstall", "--target", "/t"}, SetupOptions::Mode::kUninstall, false},
        {{"--help"}, SetupOptions::Mode::kHelp, false},
        {{"--batch", "--target"}, SetupOptions::Mode::kPages, true},
        {{"--batch", "--bogus"}, SetupOptions::Mode::kBatch, true},
        {{"--batch", "--uninstall"}, SetupOptions::Mode::kPages, true},
        {{"--uninstall", "--no-menu"}, SetupOptions::Mode::kUninstall, true},
        {{"--target", "/t"}, SetupOptions::Mode::kPages, true},
    };
    for (const Case &c : table) {
        const SetupOptions options = parse_setup_options(c.args);
        std::string joined;
        for (const std::string &arg : c.args) joined += arg + " ";
        EXPECT_EQ(!options.error.empty(), c.error) << joined << options.error;
        if (!c.error) {
            EXPECT_EQ(options.mode, c.mode) << joined;
        }
    }
    const SetupOptions full =
        parse_setup_options({"--batch", "--source", "/m", "--target", "/t", "--no-menu"});
    EXPECT_EQ(full.source, fs::path("/m"));
    EXPECT_EQ(full.target, fs::path("/t"));
    EXPECT_TRUE(full.desktop_launcher);
    EXPECT_FALSE(full.menu_launcher);
}

} // namespace
} // namespace sensor_setup
