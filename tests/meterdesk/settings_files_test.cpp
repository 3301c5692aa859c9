// "AppSettings.dat" and "pos.dat": defaults, short files, exact bytes, and saves that never
// destroy the previous file.
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/support/file_size_limit.h"
#include "meterdesk/support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using meterdesk::AppSettings;
using meterdesk::WindowRect;
using meterdesk_test::FileSizeLimit;
using meterdesk_test::ScratchFolder;

struct SettingsCase {
    const char *name;
    std::optional<std::string> file; // nullopt: no file
    AppSettings expected;
};

TEST(AppSettingsFile, LoadsDefaultsShortFilesAndFullFiles) {
    const SettingsCase cases[] = {
        {"missing file: tune, Celsius, no compensation, no question",
         std::nullopt,
         {true, true, false, false}},
        {"empty file leaves every field 0", std::string(), {false, false, false, false}},
        {"one byte 1: tune on, Fahrenheit, no compensation, no question",
         std::string("\x01", 1),
         {true, false, false, false}},
        {"three bytes", std::string("\x00\x01\x01", 3), {false, true, true, false}},
        {"four bytes", std::string("\x01\x00\x01\x01", 4), {true, false, true, true}},
        {"extra bytes are ignored",
         std::string("\x00\x00\x00\x01\x01", 5),
         {false, false, false, true}},
    };
    for (const auto &c : cases) {
        ScratchFolder folder;
        const auto file = folder.path() / "AppSettings.dat";
        if (c.file) folder.write("AppSettings.dat", *c.file);
        EXPECT_EQ(meterdesk::load_app_settings(file), c.expected) << c.name;
    }
}

TEST(AppSettingsFile, SavesFourBytesInFieldOrderAndReadsThemBack) {
    ScratchFolder folder;
    const auto file = folder.path() / "AppSettings.dat";
    const AppSettings settings{false, true, true, false};
    ASSERT_TRUE(meterdesk::save_app_settings(file, settings));
    EXPECT_EQ(folder.read("AppSettings.dat"), std::string("\x00\x01\x01\x00", 4));
    EXPECT_EQ(meterdesk::load_app_settings(file), settings);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(AppSettingsFile, FailedSaveKeepsThePreviousFile) {
    ScratchFolder folder;
    const auto file = folder.write("AppSettings.dat", std::string("\x01\x01\x01\x01", 4));
    bool saved = true;
    {
        FileSizeLimit limit(2);
        saved = meterdesk::save_app_settings(file, AppSettings{false, false, false, false});
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(folder.read("AppSettings.dat"), std::string("\x01\x01\x01\x01", 4));
    // The half-written temporary file is gone.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(AppSettingsFile, SaveIntoAMissingFolderFailsQuietly) {
    ScratchFolder folder;
    EXPECT_FALSE(meterdesk::save_app_settings(folder.path() / "absent" / "AppSettings.dat", {}));
}

TEST(AppSettingsFile, CopiesBetweenFileRecordAndAppState) {
    meterdesk::AppState state;
    EXPECT_EQ(meterdesk::app_settings_of(state), AppSettings{}); // start-up values = defaults
    meterdesk::apply_app_settings(state, {false, false, true, true});
    EXPECT_FALSE(state.play_welcome_tune);
    EXPECT_FALSE(state.temperature_celsius);
    EXPECT_TRUE(state.temp_comp_setting);
    EXPECT_TRUE(state.confirm_exit);
    EXPECT_EQ(meterdesk::app_settings_of(state), (AppSettings{false, false, true, true}));
}

TEST(WindowPositionFile, StoresBottomLeftRightTopLittleEndian) {
    ScratchFolder folder;
    const auto file = folder.path() / "pos.dat";
    const WindowRect rect{575, -1200, 900, 250}; // a window on a monitor left of the primary
    ASSERT_TRUE(meterdesk::save_window_position(file, rect));
    const std::string expected("\x3f\x02\x00\x00"
                               "\x50\xfb\xff\xff"
                               "\x84\x03\x00\x00"
                               "\xfa\x00\x00\x00",
                               16);
    EXPECT_EQ(folder.read("pos.dat"), expected);
    auto loaded = meterdesk::load_window_position(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, rect);
    EXPECT_EQ(loaded->width(), 2100);
    EXPECT_EQ(loaded->height(), 325);
}

TEST(WindowPositionFile, MissingShortOrEmptyRectanglesRestoreNothing) {
    ScratchFolder folder;
    EXPECT_FALSE(meterdesk::load_window_position(folder.path() / "pos.dat"));
    const auto short_file = folder.write("short.dat", std::string(15, '\x01'));
    EXPECT_FALSE(meterdesk::load_window_position(short_file));
    const auto zero = folder.write("zero.dat", std::string(16, '\0'));
    EXPECT_FALSE(meterdesk::load_window_position(zero));
    // Corners so far apart that the width would overflow (found by fuzzing).
    const auto far = folder.write("far.dat", std::string("\x34\x7b\x7b\x7b"
                                                         "\x7b\x7b\xe8\x68"
                                                         "\xe8\x00\xe8\xe8"
                                                         "\xe8\xe8\x2b\x00",
                                                         16));
    EXPECT_FALSE(meterdesk::load_window_position(far));
    ASSERT_TRUE(meterdesk::save_window_position(folder.path() / "edge.dat",
                                                WindowRect{1 << 24, -(1 << 24), 1 << 24, 0}));
    EXPECT_TRUE(meterdesk::load_window_position(folder.path() / "edge.dat"));
}

TEST(WindowPositionFile, FailedSaveKeepsThePreviousFile) {
    ScratchFolder folder;
    const WindowRect old{575, 300, 900, 250};
    const auto file = folder.path() / "pos.dat";
    ASSERT_TRUE(meterdesk::save_window_position(file, old));
    bool saved = true;
    {
        FileSizeLimit limit(8);
        saved = meterdesk::save_window_position(file, WindowRect{10, 0, 10, 0});
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(meterdesk::load_window_position(file), old);
}

} // namespace
