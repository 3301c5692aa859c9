// The path module: roots and their overrides, app_dir selection, and case-insensitive lookup.
#include "meterdesk/base/paths.h"
#include "meterdesk/support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace paths = meterdesk::paths;
using meterdesk_test::ScopedEnv;
using meterdesk_test::ScratchFolder;

TEST(Paths, RootsFollowTheirOverridesThenXdgThenHome) {
    ScopedEnv home("HOME", "/home/tester");
    {
        ScopedEnv q("QUORIX_HOME", std::nullopt);
        ScopedEnv m("MARRICK_HOME", std::nullopt);
        ScopedEnv x("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(paths::quorix_root(), fs::path("/home/tester/.local/share/Quorix"));
        EXPECT_EQ(paths::marrick_root(), fs::path("/home/tester/.local/share/Marrick"));
    }
    {
        ScopedEnv q("QUORIX_HOME", std::nullopt);
        ScopedEnv x("XDG_DATA_HOME", "/data");
        EXPECT_EQ(paths::quorix_root(), fs::path("/data/Quorix"));
    }
    {
        ScopedEnv q("QUORIX_HOME", std::nullopt);
        ScopedEnv x("XDG_DATA_HOME", "relative/ignored");
        EXPECT_EQ(paths::quorix_root(), fs::path("/home/tester/.local/share/Quorix"));
    }
    {
        ScopedEnv q("QUORIX_HOME", "/opt/quorix");
        ScopedEnv m("MARRICK_HOME", "/opt/marrick");
        EXPECT_EQ(paths::quorix_root(), fs::path("/opt/quorix"));
        EXPECT_EQ(paths::marrick_root(), fs::path("/opt/marrick"));
        EXPECT_EQ(paths::window_position_file(), fs::path("/opt/quorix/pos.dat"));
    }
}

TEST(Paths, TestRootsPerBrand) {
    ScopedEnv home("HOME", "/home/tester");
    {
        ScopedEnv t("QUORIX_TEST_ROOT", std::nullopt);
        EXPECT_EQ(paths::test_root(false), fs::path("/home/tester/Zyn Quorix Test"));
        EXPECT_EQ(paths::test_root(true), fs::path("/home/tester/Marrick Test"));
    }
    ScopedEnv t("QUORIX_TEST_ROOT", "/srv/tests");
    EXPECT_EQ(paths::test_root(false), fs::path("/srv/tests/Zyn Quorix Test"));
    EXPECT_EQ(paths::test_results_folder(true), fs::path("/srv/tests/Marrick Test/Test Results"));
}

TEST(Paths, BothSpellingsReachTheFolderOnDisk) {
    ScratchFolder app;
    fs::create_directories(app.path() / "Save Recall");
    fs::create_directories(app.path() / "Trace" / "Save Recall");
    fs::create_directories(app.path() / "Firmware");
    EXPECT_EQ(paths::resolve(app.path(), "Save recall"), app.path() / "Save Recall");
    EXPECT_EQ(paths::resolve(app.path(), "SAVE RECALL"), app.path() / "Save Recall");
    EXPECT_EQ(paths::setup_folder(app.path()), app.path() / "Save Recall");
    EXPECT_EQ(paths::resolve(app.path(), "trace\\save recall\\"),
              app.path() / "Trace" / "Save Recall");
    EXPECT_EQ(paths::resolve(app.path(), "firmware/temp.hex"),
              app.path() / "Firmware" / "temp.hex");
    // Missing components keep the spelling they were given.
    EXPECT_EQ(paths::collection_folder(app.path()), app.path() / "test" / "data collection");
}

TEST(Paths, ExactSpellingWinsOverAnotherCase) {
    ScratchFolder app;
    fs::create_directories(app.path() / "help");
    fs::create_directories(app.path() / "Help");
    EXPECT_EQ(paths::resolve(app.path(), "Help"), app.path() / "Help");
    EXPECT_EQ(paths::resolve(app.path(), "help"), app.path() / "help");
    EXPECT_EQ(paths::resolve(app.path(), "HELP"), app.path() / "Help"); // first in name order
}

TEST(Paths, AppDirIsTheOptionThenAnInstalledStartupFolderThenTheInstallRoot) {
    ScratchFolder root;
    ScopedEnv q("QUORIX_HOME", root.path().string());
    ScratchFolder installed;
    fs::create_directories(installed.path() / "help");
    fs::create_directories(installed.path() / "Save Recall");
    ScratchFolder unrelated;

    EXPECT_EQ(paths::select_app_dir(fs::path("/chosen"), unrelated.path()), fs::path("/chosen"));
    EXPECT_EQ(paths::select_app_dir(std::nullopt, installed.path()), installed.path());
    EXPECT_EQ(paths::select_app_dir(std::nullopt, unrelated.path()), root.path());
    EXPECT_EQ(paths::select_app_dir(fs::path(), unrelated.path()), root.path());
    EXPECT_EQ(paths::settings_file(installed.path()), installed.path() / "AppSettings.dat");
}

// Writes a small file, making its folders.
void put_file(const fs::path &file, const std::string &text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

TEST(Paths, AppFoldersAreCreatedOnAFreshMachineAndExistingSpellingsAreKept) {
    ScratchFolder home;
    const fs::path root = home.path() / "share" / "Quorix";
    const fs::path app = home.path() / "meter";
    ScopedEnv q("QUORIX_HOME", root.string());
    fs::create_directories(app / "save recall"); // there already, in the other spelling

    ASSERT_TRUE(paths::create_app_folders(app));
    for (const fs::path &folder :
         {app, root, app / "Trace" / "Save Recall", app / "test" / "data collection",
          root / "Stats", root / "Firmware"})
        EXPECT_TRUE(fs::is_directory(folder)) << folder;
    EXPECT_FALSE(fs::exists(app / "Save Recall")); // "save recall" is that folder
    EXPECT_EQ(paths::setup_folder(app), app / "save recall");
    EXPECT_TRUE(paths::create_app_folders(app)); // again: nothing to do, no error

    // A file where a folder should be: reported, the others are still made.
    const fs::path blocked = home.path() / "blocked";
    fs::create_directories(blocked);
    put_file(blocked / "Stats", "not a folder");
    ScopedEnv q2("QUORIX_HOME", blocked.string());
    EXPECT_FALSE(paths::create_app_folders(app));
    EXPECT_TRUE(fs::is_directory(blocked / "Firmware"));
}

// A build tree as the build leaves it: CMakeCache.txt at its top, programs a folder or two
// below, the help topics in "help" and the welcome tune at the top.
class ShippedDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        put_file(build.path() / "CMakeCache.txt", "");
        put_file(build.path() / "help" / "hts1.dat", "build");
        put_file(build.path() / "UTOPIA.WAV", "build");
        fs::create_directories(build.path() / "meterdesk");
        fs::create_directories(build.path() / "tests" / "deeper");
        // An installation medium: topics in "Help", sounds in "Sound".
        put_file(medium.path() / "Help" / "hs2.dat", "medium");
        put_file(medium.path() / "Sound" / "UTOPIA.WAV", "medium");
    }
    ScratchFolder build;
    ScratchFolder medium;
    ScratchFolder app;
};

TEST_F(ShippedDataTest, TheBuildTreeIsFoundAboveTheProgram) {
    const fs::path tree = fs::canonical(build.path());
    for (const fs::path &program : {build.path() / "meterdesk", build.path() / "tests",
                                    build.path() / "tests" / "deeper", build.path()}) {
        const std::vector<fs::path> folders = paths::shipped_data_folders(program);
        ASSERT_FALSE(folders.empty()) << program;
        EXPECT_EQ(folders.front(), tree) << program;
    }
    // A program outside any build tree: no build tree among the folders.
    for (const fs::path &folder : paths::shipped_data_folders(app.path())) EXPECT_NE(folder, tree);
    EXPECT_TRUE(paths::shipped_data_folders(fs::path()).empty());
}

TEST_F(ShippedDataTest, AppDirFirstThenTheShippedFoldersInOrderElseAppDirsPath) {
    const std::vector<fs::path> shipped = {build.path(), medium.path()};
    // From the build tree, from the medium's "Help", or missing everywhere.
    EXPECT_EQ(paths::find_help_file(app.path(), shipped, "hts1.dat"),
              build.path() / "help" / "hts1.dat");
    EXPECT_EQ(paths::find_help_file(app.path(), shipped, "hs2.dat"),
              medium.path() / "Help" / "hs2.dat");
    EXPECT_EQ(paths::find_help_file(app.path(), shipped, "hs3.dat"),
              app.path() / "help" / "hs3.dat");
    EXPECT_EQ(paths::find_welcome_tune(app.path(), shipped), build.path() / "UTOPIA.WAV");
    EXPECT_EQ(paths::find_welcome_tune(app.path(), {medium.path()}),
              medium.path() / "Sound" / "UTOPIA.WAV");
    EXPECT_EQ(paths::find_welcome_tune(app.path(), {}), app.path() / "UTOPIA.WAV");

    // An installation in app_dir wins, in either spelling of its help folder.
    put_file(app.path() / "Help" / "hts1.dat", "installed");
    put_file(app.path() / "UTOPIA.WAV", "installed");
    EXPECT_EQ(paths::find_help_file(app.path(), shipped, "hts1.dat"),
              app.path() / "Help" / "hts1.dat");
    EXPECT_EQ(paths::find_welcome_tune(app.path(), shipped), app.path() / "UTOPIA.WAV");
}

} // namespace
