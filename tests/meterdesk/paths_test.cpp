// The path module: roots and their overrides, app_dir selection, and case-insensitive lookup.
#include "meterdesk/core/paths.h"
#include "meterdesk/support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
