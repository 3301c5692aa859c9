// The installation as one transaction: the layout it makes, launchers, refusals, failures put
// into each phase (the disk then looks exactly as before), runs killed after each journal step
// and recovered, and the uninstall.
#include "sensor-setup/core/install_record.h"
#include "sensor-setup/core/installer.h"
#include "sensor-setup/core/setup_options.h"
#include "support/faulty_file_system.h"
#include "support/setup_fixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace sensor_setup_test {
namespace {

using sensor_setup::InstallReport;
using sensor_setup::Outcome;

InstallReport run(FileSystem &fs, const SetupScratch &scratch, bool launchers = true) {
    return sensor_setup::install(fs, scratch.request(launchers), scratch.places());
}

InstallReport run(const SetupScratch &scratch, bool launchers = true) {
    auto fs = sensor_setup::make_posix_file_system();
    return run(*fs, scratch, launchers);
}

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    return text;
}

TEST(Install, LaysOutTheMediumByteForByte) {
    SetupScratch scratch;
    scratch.make_medium();
    const InstallReport report = run(scratch, false);
    ASSERT_EQ(report.outcome, Outcome::kDone) << joined(report.lines());
    EXPECT_EQ(report.lines().front(), "Installation complete.");

    const Tree tree = snapshot(scratch.target());
    std::vector<std::string> names;
    for (const auto &[name, entry] : tree) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Driver", "Driver/60-rfsense.rules", "Firmware",
                                               "Firmware/sensor.hex", "Help", "Help/hts1.dat",
                                               "Save Recall", "Stats", "Trace", "Trace/Save Recall",
                                               "UTOPIA.WAV", "clash.dat", "librfsense.so.3",
                                               "meterdesk", "signal.dat", "tcd.dat"}));
    EXPECT_EQ(tree.at("clash.dat").bytes, "from Settings 1"); // the later folder wins
    EXPECT_EQ(tree.at("meterdesk").mode, 0755u);              // still runs
    EXPECT_EQ(tree.at("tcd.dat").mode, 0600u);
    const Tree medium = snapshot(scratch.medium());
    EXPECT_EQ(tree.at("meterdesk"), medium.at("app/meterdesk"));
    EXPECT_EQ(tree.at("Help/hts1.dat"), medium.at("Help/hts1.dat"));
    EXPECT_EQ(tree.at("Driver/60-rfsense.rules"), medium.at("Driver/60-rfsense.rules"));
    EXPECT_FALSE(fs::exists(scratch.desktop()));
    EXPECT_FALSE(fs::exists(scratch.menu()));
}

TEST(Install, LaunchersStartTheInstalledApplication) {
    SetupScratch scratch;
    scratch.make_medium();
    const InstallReport report = run(scratch);
    ASSERT_EQ(report.outcome, Outcome::kDone) << joined(report.lines());
    const fs::path desktop = scratch.desktop() / "org.rfsense.meterdesk.desktop";
    const fs::path menu = scratch.menu() / "org.rfsense.meterdesk.desktop";
    const Tree home = snapshot(scratch.home());
    EXPECT_EQ(home.at("Desktop/org.rfsense.meterdesk.desktop").mode, 0755u);
    EXPECT_EQ(home.at(".local/share/applications/org.rfsense.meterdesk.desktop").mode, 0644u);
    const std::string entry = read_file(desktop);
    EXPECT_EQ(entry, read_file(menu));
    EXPECT_NE(entry.find("Exec=" + (scratch.target() / "meterdesk").string() + "\n"),
              std::string::npos);
    EXPECT_NE(entry.find("Path=" + scratch.target().string() + "\n"), std::string::npos);
    EXPECT_NE(entry.find("Comment=Power Sensor\n"), std::string::npos);
}

TEST(Install, TheDesktopFolderOfUserDirsIsUsedAndMadeWhenMissing) {
    SetupScratch scratch;
    scratch.make_medium();
    write_file(scratch.home() / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
    EXPECT_TRUE(fs::exists(scratch.home() / "Bureau/org.rfsense.meterdesk.desktop"));
    EXPECT_FALSE(fs::exists(scratch.desktop()));
}

TEST(Install, NoLauncherWithoutAnApplicationAndTheReportSaysWhy) {
    SetupScratch scratch;
    scratch.make_medium();
    fs::remove_all(scratch.medium() / "app");
    const InstallReport report = run(scratch);
    ASSERT_EQ(report.outcome, Outcome::kDone);
    EXPECT_FALSE(fs::exists(scratch.desktop()));
    EXPECT_FALSE(fs::exists(scratch.menu()));
    EXPECT_NE(report.launcher_note.find("no application"), std::string::npos);

    // The meterdesk beside the installer stands in.
    write_file(scratch.root() / "bin/meterdesk", "#!/bin/sh\n", 0755);
    auto request = scratch.request();
    request.fallback_application = scratch.root() / "bin/meterdesk";
    auto fs = sensor_setup::make_posix_file_system();
    const InstallReport again = sensor_setup::install(*fs, request, scratch.places());
    ASSERT_EQ(again.outcome, Outcome::kDone);
    EXPECT_TRUE(again.launcher_note.empty());
    EXPECT_NE(read_file(scratch.menu() / "org.rfsense.meterdesk.desktop")
                  .find("Exec=" + (scratch.root() / "bin/meterdesk").string()),
              std::string::npos);
}

TEST(Install, MissingSignalAndFirmwareAreListedAndTheRunCompletes) {
    SetupScratch scratch;
    scratch.make_medium();
    fs::remove_all(scratch.medium() / "Signal");
    fs::remove_all(scratch.medium() / "Firmware");
    const InstallReport report = run(scratch, false);
    ASSERT_EQ(report.outcome, Outcome::kDone);
    EXPECT_EQ(report.missing_folders, (std::vector<std::string>{"Firmware", "Signal"}));
    EXPECT_EQ(report.lines().front(), "Installation complete.");
    EXPECT_TRUE(fs::is_directory(scratch.target() / "Firmware")); // made all the same
    EXPECT_FALSE(fs::exists(scratch.target() / "signal.dat"));
}

TEST(Install, ASecondRunOverwritesEveryFileAndReplacesBothLaunchers) {
    SetupScratch scratch;
    scratch.make_medium("1");
    ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
    write_file(scratch.desktop() / "org.rfsense.meterdesk.desktop", "stale", 0644);
    write_file(scratch.menu() / "org.rfsense.meterdesk.desktop", "stale", 0644);
    scratch.make_medium("2");
    const InstallReport report = run(scratch);
    ASSERT_EQ(report.outcome, Outcome::kDone) << joined(report.lines());
    const Tree tree = snapshot(scratch.target());
    const Tree medium = snapshot(scratch.medium());
    EXPECT_EQ(tree.at("meterdesk"), medium.at("app/meterdesk"));
    EXPECT_EQ(tree.at("clash.dat").bytes, "from Settings 2");
    EXPECT_EQ(tree.at("tcd.dat").bytes, "tcd 2");
    for (const fs::path &launcher : {scratch.desktop(), scratch.menu()}) {
        EXPECT_NE(read_file(launcher / "org.rfsense.meterdesk.desktop").find("[Desktop Entry]"),
                  std::string::npos);
    }
    EXPECT_EQ(snapshot(scratch.desktop()).at("org.rfsense.meterdesk.desktop").mode, 0755u);
    // No hidden staging or backup files are left anywhere.
    for (const auto &[name, entry] : snapshot(scratch.root()))
        EXPECT_EQ(name.find(".setup-"), std::string::npos) << name;
}

TEST(Install, RefusalsChangeNothing) {
    struct Case {
        const char *name;
        std::function<void(SetupScratch &, sensor_setup::InstallRequest &, FaultyFileSystem &)>
            arrange;
        const char *reason;
    };
    const std::vector<Case> table = {
        {"no medium",
         [](SetupScratch &s, auto &r, auto &) { r.source = s.root() / "nothing-here"; },
         "There is no installation medium"},
        {"empty folder as medium",
         [](SetupScratch &s, auto &r, auto &) {
             fs::create_directories(s.root() / "empty");
             r.source = s.root() / "empty";
         },
         "There is no installation medium"},
        {"target inside the medium",
         [](SetupScratch &s, auto &r, auto &) { r.target = s.medium() / "Quorix"; },
         "inside each other"},
        {"medium inside the target", [](SetupScratch &s, auto &r, auto &) { r.target = s.root(); },
         "inside each other"},
        {"the medium itself", [](SetupScratch &s, auto &r, auto &) { r.target = s.medium(); },
         "inside each other"},
        {"too little space", [](SetupScratch &, auto &, auto &fs) { fs.set_space(1000); },
         "Not enough free space"},
    };
    for (const Case &c : table) {
        SetupScratch scratch;
        scratch.make_medium();
        auto request = scratch.request();
        FaultyFileSystem fs;
        c.arrange(scratch, request, fs);
        const Tree before = snapshot(scratch.root());
        const InstallReport report = sensor_setup::install(fs, request, scratch.places());
        EXPECT_EQ(report.outcome, Outcome::kRolledBack) << c.name;
        ASSERT_TRUE(report.failure) << c.name;
        EXPECT_NE(report.failure->reason.find(c.reason), std::string::npos)
            << c.name << ": " << report.failure->reason;
        EXPECT_EQ(report.lines().back(), "Nothing was changed.") << c.name;
        Tree after = snapshot(scratch.root());
        after.erase("home/.local/state/sensor-setup"); // the state folder may be made
        after.erase("home/.local/state");
        after.erase("home/.local");
        EXPECT_EQ(differences(before, after), "") << c.name;
    }
}

TEST(Install, ASecondRunOnTheSameTargetIsRefusedWhileTheFirstHoldsIt) {
    SetupScratch scratch;
    scratch.make_medium();
    const auto places = scratch.places();
    fs::create_directories(places.state_dir);
    sensor_setup::FileLock first(sensor_setup::lock_file(places, scratch.target()));
    ASSERT_TRUE(first.held());
    const InstallReport report = run(scratch);
    EXPECT_EQ(report.outcome, Outcome::kRolledBack);
    ASSERT_TRUE(report.failure);
    EXPECT_NE(report.failure->reason.find("Another installation"), std::string::npos);
    EXPECT_FALSE(fs::exists(scratch.target()));
}

// A failure in each phase of the run, over an empty target and over an installation: the run
// reports it with the path and reason, and every file and folder is as it was.
TEST(Install, AFailureInAnyPhaseLeavesEverythingAsItWas) {
    struct Case {
        Fault fault;
        bool over_installation_too; // false: it hits a folder that only a first run makes
    };
    const std::vector<Case> faults = {
        {{Op::kMakeDirectory, 1, "", std::errc::permission_denied}, false}, // the target
        {{Op::kMakeDirectory, 3, "", std::errc::permission_denied}, false}, // a folder in it
        {{Op::kMakeDirectory, 1, "Desktop", std::errc::permission_denied}, false},
        {{Op::kOpenRead, 2, "medium", std::errc::io_error}, true}, // a file of the medium
        {{Op::kRead, 3, "medium", std::errc::io_error}, true},     // a read error mid-copy
        {{Op::kWrite, 1, ".setup-new", std::errc::no_space_on_device}, true}, // the first write
        {{Op::kWrite, 5, ".setup-new", std::errc::no_space_on_device}, true}, // the 5th write
        {{Op::kClose, 4, ".setup-new", std::errc::no_space_on_device}, true},
        {{Op::kCreateNew, 1, "Desktop", std::errc::permission_denied}, true}, // a launcher
        {{Op::kCreateNew, 1, "applications", std::errc::read_only_file_system}, true},
        {{Op::kCreateNew, 1, ".record", std::errc::no_space_on_device}, true}, // the record
        {{Op::kSyncAll, 1, "", std::errc::io_error}, true},
        {{Op::kRename, 1, "", std::errc::permission_denied}, true}, // the first move into place
        {{Op::kRename, 7, "", std::errc::permission_denied}, true}, // a later one
        {{Op::kFlush, 2, "", std::errc::io_error}, true},           // the journal's commit
    };
    for (bool over_installation : {false, true}) {
        for (const auto &[fault, over_installation_too] : faults) {
            if (over_installation && !over_installation_too) continue;
            SCOPED_TRACE(::testing::Message()
                         << "over installation " << over_installation << ", fault "
                         << static_cast<int>(fault.op) << " #" << fault.nth << " on '"
                         << fault.path_contains << "'");
            SetupScratch scratch;
            scratch.make_medium("1");
            if (over_installation) {
                ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
                scratch.make_medium("2");
            }
            const Tree before = snapshot(scratch.root());
            FaultyFileSystem fs(fault);
            const InstallReport report = run(fs, scratch);
            if (!fs.fired()) {
                ADD_FAILURE() << "the fault never happened";
                continue;
            }
            EXPECT_EQ(report.outcome, Outcome::kRolledBack) << joined(report.lines());
            ASSERT_TRUE(report.failure);
            EXPECT_FALSE(report.failure->reason.empty());
            const std::vector<std::string> lines = report.lines();
            EXPECT_EQ(lines.front(), "Installation failed.");
            EXPECT_EQ(lines.back(), "Nothing was changed.");
            Tree after = snapshot(scratch.root());
            if (!over_installation) {
                after.erase("home/.local/state/sensor-setup");
                after.erase("home/.local/state");
                if (!before.count("home/.local")) after.erase("home/.local");
            }
            EXPECT_EQ(differences(before, after), "");
        }
    }
}

TEST(Install, AnUndoThatFailsTooIsReportedAndFinishedByTheNextRun) {
    SetupScratch scratch;
    scratch.make_medium("1");
    ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
    const Tree installed = snapshot(scratch.target());
    scratch.make_medium("2");
    // A move into place fails during the commit, and so does the first move back.
    FaultyFileSystem fs({Op::kRename, 4, "", std::errc::permission_denied});
    fs.add_fault({Op::kRename, 5, "", std::errc::io_error});
    const InstallReport report = run(fs, scratch);
    EXPECT_EQ(report.outcome, Outcome::kNotUndone);
    EXPECT_EQ(sensor_setup::exit_status(report.outcome), 3);
    ASSERT_EQ(report.leftovers.size(), 1u);
    EXPECT_NE(report.aftermath().find("Not everything could be undone"), std::string::npos);
    EXPECT_NE(differences(installed, snapshot(scratch.target())), "");

    // The journal says the run was undoing its commit: the next run finishes the undo.
    auto real = sensor_setup::make_posix_file_system();
    const auto recovery = sensor_setup::recover(
        *real, sensor_setup::journal_file(scratch.places(), scratch.target()));
    EXPECT_EQ(recovery.kind, sensor_setup::Recovery::Kind::kRolledBack);
    EXPECT_TRUE(recovery.leftovers.empty());
    EXPECT_EQ(differences(installed, snapshot(scratch.target())), "");
}

TEST(Install, ARunKilledDuringItsCommitIsFinishedByTheNextRun) {
    SetupScratch scratch;
    scratch.make_medium("1");
    ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
    scratch.make_medium("2");
    {
        FaultyFileSystem fs({Op::kRename, 4, "", std::errc::io_error, true});
        EXPECT_EQ(run(fs, scratch).outcome, Outcome::kNotUndone);
    }
    const InstallReport next = run(scratch);
    EXPECT_EQ(next.outcome, Outcome::kDone);
    EXPECT_NE(next.recovery.find("its commit finished"), std::string::npos) << next.recovery;
    EXPECT_EQ(read_file(scratch.target() / "tcd.dat"), "tcd 2");
}

// A run killed right after each step it wrote to its journal: the next run rolls it back when
// the commit had not begun, and finishes it when it had, and says which.
TEST(Install, ARunKilledAfterAnyJournalStepIsRecovered) {
    for (bool over_installation : {false, true}) {
        // Count the journal's writes in a clean run.
        int steps = 0;
        Tree complete_target;
        {
            SetupScratch scratch;
            scratch.make_medium("1");
            if (over_installation) {
                ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
            }
            scratch.make_medium("2");
            FaultyFileSystem counter({Op::kWrite, 1000000, ".journal"});
            ASSERT_EQ(run(counter, scratch).outcome, Outcome::kDone);
            steps = counter.matched();
            complete_target = snapshot(scratch.target());
        }
        ASSERT_GT(steps, 20);
        for (int step = 1; step <= steps; ++step) {
            SCOPED_TRACE(::testing::Message() << "over installation " << over_installation
                                              << ", killed after step " << step << " of " << steps);
            SetupScratch scratch;
            scratch.make_medium("1");
            if (over_installation) {
                ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
            }
            scratch.make_medium("2");
            const Tree before = snapshot(scratch.root());
            {
                FaultyFileSystem fs({Op::kWrite, step, ".journal", std::errc::io_error, true});
                run(fs, scratch);
            }
            auto real = sensor_setup::make_posix_file_system();
            const auto recovery = sensor_setup::recover(
                *real, sensor_setup::journal_file(scratch.places(), scratch.target()));
            EXPECT_TRUE(recovery.leftovers.empty()) << joined(recovery.leftovers);
            Tree after = snapshot(scratch.root());
            if (recovery.kind == sensor_setup::Recovery::Kind::kCompleted) {
                // The launchers and the record name this scratch folder's target: the target
                // is compared, and they are there.
                EXPECT_EQ(differences(complete_target, snapshot(scratch.target())), "");
                EXPECT_TRUE(fs::exists(scratch.desktop() / "org.rfsense.meterdesk.desktop"));
                EXPECT_TRUE(fs::exists(scratch.menu() / "org.rfsense.meterdesk.desktop"));
                EXPECT_TRUE(
                    fs::exists(sensor_setup::record_file(scratch.places(), scratch.target())));
            } else {
                EXPECT_EQ(recovery.kind, sensor_setup::Recovery::Kind::kRolledBack);
                if (!over_installation) {
                    after.erase("home/.local/state/sensor-setup");
                    after.erase("home/.local/state");
                    after.erase("home/.local");
                }
                EXPECT_EQ(differences(before, after), "");
            }
        }
    }
}

TEST(Install, TheNextRunSaysWhatItRecovered) {
    SetupScratch scratch;
    scratch.make_medium();
    {
        FaultyFileSystem fs({Op::kWrite, 3, ".journal", std::errc::io_error, true});
        run(fs, scratch);
    }
    const InstallReport report = run(scratch);
    ASSERT_EQ(report.outcome, Outcome::kDone) << joined(report.lines());
    EXPECT_NE(report.recovery.find("was found and undone"), std::string::npos) << report.recovery;
    EXPECT_EQ(report.lines().front(), report.recovery);
}

TEST(Uninstall, RemovesWhatWasInstalledAndKeepsUserAndChangedFiles) {
    SetupScratch scratch;
    scratch.make_medium();
    ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
    write_file(scratch.target() / "Save Recall/my setup.dat", "mine");
    write_file(scratch.target() / "tcd.dat", "edited by the user");

    auto fs = sensor_setup::make_posix_file_system();
    const auto report = sensor_setup::uninstall(*fs, scratch.target(), scratch.places());
    EXPECT_EQ(report.outcome, Outcome::kDone) << joined(report.lines());
    const Tree left = snapshot(scratch.target());
    std::vector<std::string> names;
    for (const auto &[name, entry] : left) names.push_back(name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Save Recall", "Save Recall/my setup.dat", "tcd.dat"}));
    const std::string text = joined(report.lines());
    EXPECT_NE(text.find("tcd.dat (changed since the installation)"), std::string::npos) << text;
    EXPECT_NE(text.find("my setup.dat (not installed by sensor-setup)"), std::string::npos);
    EXPECT_FALSE(fs::exists(scratch.desktop()));
    EXPECT_FALSE(fs::exists(scratch.menu() / "org.rfsense.meterdesk.desktop"));
    EXPECT_FALSE(fs::exists(sensor_setup::record_file(scratch.places(), scratch.target())));

    // Nothing is recorded any more.
    const auto again = sensor_setup::uninstall(*fs, scratch.target(), scratch.places());
    EXPECT_EQ(again.outcome, Outcome::kRolledBack);
}

TEST(Uninstall, AfterTwoRunsTheFoldersOfTheFirstGoToo) {
    SetupScratch scratch;
    scratch.make_medium();
    ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
    ASSERT_EQ(run(scratch).outcome, Outcome::kDone);
    auto fs = sensor_setup::make_posix_file_system();
    const auto report = sensor_setup::uninstall(*fs, scratch.target(), scratch.places());
    EXPECT_EQ(report.outcome, Outcome::kDone) << joined(report.lines());
    EXPECT_FALSE(fs::exists(scratch.target()));
}

TEST(Batch, ExitStatusesAndReports) {
    SetupScratch scratch;
    scratch.make_medium();
    auto fs = sensor_setup::make_posix_file_system();
    auto batch = [&](std::vector<std::string> args, std::string &out, std::string &err) {
        const auto options = sensor_setup::parse_setup_options(args);
        EXPECT_TRUE(options.error.empty()) << options.error;
        std::ostringstream o, e;
        const int status =
            sensor_setup::run_batch(options, *fs, sensor_setup::process_environment(),
                                    scratch.root(), scratch.root() / "bin", o, e);
        out = o.str();
        err = e.str();
        return status;
    };
    std::string out, err;
    const std::string target = scratch.target().string();
    const std::string medium = scratch.medium().string();
    EXPECT_EQ(batch({"--batch", "--source", medium, "--target", target, "--no-desktop"}, out, err),
              0)
        << err;
    EXPECT_NE(out.find("Installation complete."), std::string::npos);
    EXPECT_TRUE(fs::exists(scratch.menu() / "org.rfsense.meterdesk.desktop"));
    EXPECT_FALSE(fs::exists(scratch.desktop()));
    EXPECT_EQ(batch({"--batch", "--source", (scratch.root() / "none").string(), "--target", target},
                    out, err),
              1);
    EXPECT_NE(err.find("Installation failed."), std::string::npos);
    EXPECT_EQ(batch({"--uninstall", "--target", target}, out, err), 0) << err;
    EXPECT_NE(out.find("Uninstall complete."), std::string::npos);

    // Without --source the "Installation" folder of the start-up folder is the medium.
    fs::rename(scratch.medium(), scratch.root() / "Installation");
    EXPECT_EQ(batch({"--batch", "--target", target, "--no-menu", "--no-desktop"}, out, err), 0)
        << err;
    EXPECT_TRUE(fs::exists(scratch.target() / "meterdesk"));
}

} // namespace
} // namespace sensor_setup_test
