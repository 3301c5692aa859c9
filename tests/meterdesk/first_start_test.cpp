// The meter's first start from the package: the install root is laid out from the packaged
// medium once, and a failure comes back as one text to show.
#include "meterdesk/base/paths.h"
#include "meterdesk/core/first_start.h"
#include "sensor-setup/support/setup_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using sensor_setup_test::SetupScratch;
using sensor_setup_test::write_file;

TEST(FirstStart, LaysOutTheInstallRootFromThePackagedMediumOnce) {
    SetupScratch scratch;
    scratch.make_medium();
    const fs::path root = scratch.home() / ".local/share/Quorix";
    EXPECT_EQ(meterdesk::lay_out_from_package(root, scratch.medium()), std::nullopt);
    EXPECT_TRUE(meterdesk::paths::holds_installation(root));
    EXPECT_TRUE(fs::exists(root / "UTOPIA.WAV"));
    EXPECT_TRUE(fs::is_directory(root / "Trace/Save Recall"));
    // No launchers: the package has its own menu entry.
    EXPECT_FALSE(fs::exists(scratch.desktop()));
    EXPECT_FALSE(fs::exists(scratch.menu()));

    // A user's change survives the next start.
    write_file(root / "UTOPIA.WAV", "my tune");
    EXPECT_EQ(meterdesk::lay_out_from_package(root, scratch.medium()), std::nullopt);
    EXPECT_EQ(sensor_setup_test::read_file(root / "UTOPIA.WAV"), "my tune");
}

TEST(FirstStart, NothingToDoWithoutAMediumAndAFailureIsOneText) {
    SetupScratch scratch;
    const fs::path root = scratch.home() / ".local/share/Quorix";
    EXPECT_EQ(meterdesk::lay_out_from_package(root, std::nullopt), std::nullopt);
    EXPECT_FALSE(fs::exists(root));

    const auto failure = meterdesk::lay_out_from_package(root, scratch.root() / "missing");
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("could not be laid out in " + root.string()), std::string::npos);
    EXPECT_NE(failure->find("Nothing was changed."), std::string::npos);
    EXPECT_FALSE(fs::exists(root));
}

TEST(FirstStart, ThePackagedMediumIsTheInstalledDataFolderWithTheInstallersHelp) {
    SetupScratch scratch;
    const fs::path program = scratch.root() / "usr/bin";
    fs::create_directories(program);
    // The data folder relative to the program is where the build's prefix puts it.
    std::optional<fs::path> none = meterdesk::paths::packaged_medium(program);
    const fs::path data = (program / ".." / "share/meterdesk").lexically_normal();
    write_file(data / "Help/hts1.dat", "help");
    EXPECT_EQ(meterdesk::paths::packaged_medium(program), none); // no installer help yet
    write_file(data / "hts10.dat", "help");
    const auto found = meterdesk::paths::packaged_medium(program);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, fs::weakly_canonical(data));
}

} // namespace
