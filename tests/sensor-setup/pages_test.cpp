// The page logic against a fake dialog and a recording port: texts, ticks, Browse, help topics
// with the missing-file warning, timer 1 and command 100, and the lines after the installation.
#include "meterdesk/base/help_file.h"
#include "meterdesk/support/fake_controls.h"
#include "sensor-setup/core/control_ids.h"
#include "sensor-setup/core/installer_help.h"
#include "sensor-setup/core/pages.h"
#include "support/setup_fixture.h"

#include <gtest/gtest.h>

namespace sensor_setup_test {
namespace {

namespace ids = sensor_setup::ids;
using meterdesk::DialogAction;
using meterdesk_test::FakeControls;
using sensor_setup::InstallReport;
using sensor_setup::Outcome;

std::vector<std::string> lines(const FakeControls &c, std::initializer_list<int> ids) {
    std::vector<std::string> out;
    for (int id : ids) out.push_back(c.text(id));
    return out;
}

TEST(WelcomePage, TextsAfterEachContinue) {
    FakeControls controls({ids::kWelcomeLine1, ids::kWelcomeLine2, ids::kWelcomeLine3,
                           ids::kWelcomeContinue, ids::kWelcomeCancel});
    sensor_setup::WelcomePage page(controls);
    page.open();
    const auto line_ids = {ids::kWelcomeLine1, ids::kWelcomeLine2, ids::kWelcomeLine3};
    EXPECT_EQ(controls.caption(), "Zyn Quorix USB Power Sensor Installation");
    EXPECT_EQ(lines(controls, line_ids),
              (std::vector<std::string>{"Welcome to the installation procedure for the",
                                        "Zyn Quorix range of RF/Microwave Power Sensors.",
                                        "Revision 3.1"}));
    EXPECT_EQ(page.continue_pressed(), DialogAction::kStay);
    const auto second = lines(controls, line_ids);
    EXPECT_EQ(second[0], "Sensors covered by this procedure include");
    EXPECT_EQ(second[1], "RX1, RX2LOKAN, RX3LOKAN and RX4LO.");
    EXPECT_FALSE(second[2].empty());
    EXPECT_EQ(page.continue_pressed(), DialogAction::kClose);
    EXPECT_EQ(lines(controls, line_ids), (std::vector<std::string>{"", "", ""}));
}

class OptionsPageTest : public ::testing::Test {
  protected:
    FakeControls controls{ids::kDesktopShortcut, ids::kMenuShortcut, ids::kTargetPath,
                          ids::kBrowse,          ids::kOptionsHelp,  ids::kOptionsContinue,
                          ids::kOptionsCancel};
    sensor_setup::SetupState state;
    FakeSetupUi ui;
    sensor_setup::OptionsPage page{controls, state, ui};
};

TEST_F(OptionsPageTest, TicksStartSetAndEachClickToggles) {
    page.open();
    EXPECT_EQ(controls.caption(), "Zyn Quorix USB Power Sensor Installation");
    EXPECT_TRUE(controls.checked(ids::kDesktopShortcut));
    EXPECT_TRUE(controls.checked(ids::kMenuShortcut));
    EXPECT_EQ(controls.text(ids::kTargetPath), state.target);
    EXPECT_EQ(state.target.back(), '/');
    page.desktop_clicked();
    EXPECT_FALSE(state.desktop_launcher);
    EXPECT_FALSE(controls.checked(ids::kDesktopShortcut));
    EXPECT_TRUE(state.menu_launcher);
    page.menu_clicked();
    page.desktop_clicked();
    EXPECT_TRUE(state.desktop_launcher);
    EXPECT_FALSE(state.menu_launcher);
    EXPECT_FALSE(controls.checked(ids::kMenuShortcut));
    EXPECT_EQ(page.continue_pressed(), DialogAction::kClose);
}

TEST_F(OptionsPageTest, BrowseSetsTheTargetAndDismissingChangesNothing) {
    page.open();
    const std::string before = state.target;
    page.browse_pressed(); // dismissed
    EXPECT_EQ(state.target, before);
    EXPECT_EQ(ui.picker_titles,
              (std::vector<std::string>{"Select directory path for Zyn Quorix folder"}));
    const std::vector<std::pair<std::string, std::string>> table = {
        {"/opt/tools", "/opt/tools/Quorix/"}, {"/", "/Quorix/"}, {"/srv/", "/srv/Quorix/"}};
    for (const auto &[folder, target] : table) {
        ui.folder_answer = folder;
        page.browse_pressed();
        EXPECT_EQ(state.target, target);
        EXPECT_EQ(controls.text(ids::kTargetPath), target);
    }
}

TEST_F(OptionsPageTest, HelpIsTopicOne) {
    page.open();
    page.help_pressed();
    EXPECT_EQ(ui.help_topics, (std::vector<int>{1}));
    EXPECT_EQ(state.help_topic, 1);
}

class ProgressPageTest : public ::testing::Test {
  protected:
    FakeControls controls{ids::kProgressLine1, ids::kProgressLine2, ids::kProgressLine3,
                          ids::kProgressLine4, ids::kFinish,        ids::kProgressHelp,
                          ids::kImportant,     ids::kProgressCancel};
    sensor_setup::SetupState state;
    FakeSetupUi ui;
    sensor_setup::ProgressPage page{controls, state, ui};
    static constexpr std::initializer_list<int> line_ids = {
        ids::kProgressLine1, ids::kProgressLine2, ids::kProgressLine3, ids::kProgressLine4};
    static constexpr std::initializer_list<int> end_controls = {ids::kFinish, ids::kProgressHelp,
                                                                ids::kImportant};
};

TEST_F(ProgressPageTest, WaitsOnTimerOneThenInstallsOnCommand100) {
    page.open();
    EXPECT_EQ(controls.caption(), "Quorix USB Power Sensor Installation");
    EXPECT_EQ(lines(controls, line_ids),
              (std::vector<std::string>{"Installing please wait ...", "", "", ""}));
    for (int id : end_controls) EXPECT_FALSE(controls.shown(id)) << id;
    EXPECT_EQ(ui.timers_started, (std::vector<std::pair<int, int>>{{1, 3000}}));
    EXPECT_TRUE(page.can_cancel());
    EXPECT_EQ(ui.installs_started, 0);
    page.command(99);
    EXPECT_EQ(ui.installs_started, 0);
    page.command(100);
    page.command(100); // a second command does not install again
    EXPECT_EQ(ui.installs_started, 1);
    EXPECT_FALSE(page.can_cancel());
    EXPECT_FALSE(controls.shown(ids::kProgressCancel));
    EXPECT_EQ(page.cancel_pressed(), DialogAction::kStay);
}

TEST_F(ProgressPageTest, TheFourLinesAfterSuccess) {
    page.open();
    page.command(100);
    InstallReport report;
    page.install_finished(report);
    EXPECT_EQ(lines(controls, line_ids),
              (std::vector<std::string>{
                  "Installation complete.",
                  "If this is a first time installation then connect a sensor before",
                  "running the Zyn Quorix USB Power Sensor application.",
                  "Click the Help button for further information."}));
    for (int id : end_controls) EXPECT_TRUE(controls.shown(id)) << id;
    EXPECT_EQ(ui.timers_stopped, (std::vector<int>{1}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(state.exit_status, 0);
    page.help_pressed();
    EXPECT_EQ(ui.help_topics, (std::vector<int>{2}));
    EXPECT_EQ(page.finish_pressed(), DialogAction::kClose);
}

TEST_F(ProgressPageTest, TheLinesAfterAFailureAndTheExitStatus) {
    page.open();
    page.command(100);
    InstallReport report;
    report.outcome = Outcome::kRolledBack;
    report.failure = sensor_setup::Failure{"/t/Quorix/meterdesk", "No space left on device"};
    page.install_finished(report);
    EXPECT_EQ(lines(controls, line_ids),
              (std::vector<std::string>{"Installation failed.", "/t/Quorix/meterdesk",
                                        "No space left on device", "Nothing was changed."}));
    EXPECT_EQ(state.exit_status, 1);

    report.outcome = Outcome::kNotUndone;
    report.leftovers = {"/t/Quorix: Directory not empty"};
    page.install_finished(report);
    EXPECT_EQ(controls.text(ids::kProgressLine4),
              "Not everything could be undone: /t/Quorix: Directory not empty");
    EXPECT_EQ(state.exit_status, 3);
}

TEST_F(ProgressPageTest, NotesAboutMissingFoldersAndLaunchersComeInOneBox) {
    page.open();
    page.command(100);
    InstallReport report;
    report.missing_folders = {"Firmware", "Signal"};
    report.launcher_note = "No launcher was made: ...";
    page.install_finished(report);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Zyn Quorix Sensor Installation");
    EXPECT_NE(ui.messages[0].text.find("\"Firmware\" \"Signal\""), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("No launcher"), std::string::npos);
    EXPECT_EQ(controls.text(ids::kProgressLine1), "Installation complete.");
}

TEST_F(ProgressPageTest, CancelBeforeTheInstallStopsTheTimer) {
    page.open();
    EXPECT_EQ(page.cancel_pressed(), DialogAction::kClose);
    EXPECT_EQ(ui.timers_stopped, (std::vector<int>{1}));
    EXPECT_EQ(ui.installs_started, 0);
}

TEST(InstallerHelp, TopicsOneAndTwoAndTheMissingFileWarning) {
    SetupScratch scratch;
    std::string error;
    for (const auto &[name, text] :
         {std::pair{"hts10.dat", "{\\rtf1 options}"}, std::pair{"hts11.dat", "{\\rtf1 after}"}}) {
        std::string bytes = text;
        meterdesk::scramble_help_bytes(bytes);
        write_file(scratch.medium() / name, bytes);
    }
    meterdesk::HelpStreamReader reader;
    FakeSetupUi ui;
    EXPECT_EQ(sensor_setup::load_installer_help(reader, ui, scratch.medium(), 1),
              "{\\rtf1 options}");
    EXPECT_EQ(sensor_setup::load_installer_help(reader, ui, scratch.medium(), 2), "{\\rtf1 after}");
    EXPECT_TRUE(ui.messages.empty());
    fs::remove(scratch.medium() / "hts11.dat");
    EXPECT_FALSE(sensor_setup::load_installer_help(reader, ui, scratch.medium(), 2));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Zyn Quorix Sensor Installation");
    EXPECT_EQ(ui.messages[0].text, "Can't find help file");
}

} // namespace
} // namespace sensor_setup_test
