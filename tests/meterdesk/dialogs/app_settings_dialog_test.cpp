// The Application Settings dialog's logic against a fake dialog: what opening shows, that
// clicks change only the working values, what Apply does (settings, menu, file bytes) and that
// Cancel drops everything.
#include "meterdesk/core/app_settings_dialog.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/support/fake_controls.h"
#include "meterdesk/support/fake_ui.h"
#include "meterdesk/support/scratch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using meterdesk::AppSettings;
using meterdesk::DialogAction;
using meterdesk_test::FakeControls;
using meterdesk_test::FakeUi;
using meterdesk_test::ScratchFolder;
using Kind = meterdesk_test::UiCall::Kind;
namespace ids = meterdesk::app_settings_box;

class AppSettingsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { state.app_dir = folder.path().string(); }

    // The state as shown by the five option controls, read back into a record.
    AppSettings shown() const {
        EXPECT_NE(box.checked(ids::kCelsius), box.checked(ids::kFahrenheit))
            << "exactly one temperature unit is selected";
        return {box.checked(ids::kPlayWelcomeTune), box.checked(ids::kCelsius),
                box.checked(ids::kTempComp), box.checked(ids::kConfirmExit)};
    }

    // The user clicks a control; toolkits flip check boxes themselves before reporting the
    // click, so the fake does too.
    DialogAction click(int id) {
        if (id == ids::kCelsius || id == ids::kFahrenheit)
            box.set_checked(id, true);
        else if (id != ids::kApply && id != ids::kCancel)
            box.set_checked(id, !box.checked(id));
        return dialog.clicked(box, id);
    }

    ScratchFolder folder;
    meterdesk::AppState state;
    FakeUi ui;
    FakeControls box{ids::kPlayWelcomeTune, ids::kCelsius, ids::kFahrenheit, ids::kTempComp,
                     ids::kConfirmExit,     ids::kApply,   ids::kCancel};
    meterdesk::AppSettingsDialog dialog{state, ui};
};

TEST_F(AppSettingsDialogTest, OpeningShowsTheApplicationSettings) {
    const AppSettings cases[] = {
        {true, true, false, false}, // the defaults of a missing file
        {false, false, true, true},
        {true, false, false, true},
        {false, true, true, false},
    };
    for (const AppSettings &settings : cases) {
        meterdesk::apply_app_settings(state, settings);
        dialog.open(box);
        EXPECT_EQ(shown(), settings);
        EXPECT_EQ(dialog.working(), settings);
    }
}

TEST_F(AppSettingsDialogTest, ClicksChangeOnlyTheWorkingValues) {
    dialog.open(box);
    const AppSettings before = meterdesk::app_settings_of(state);

    EXPECT_EQ(click(ids::kPlayWelcomeTune), DialogAction::kStay);
    EXPECT_EQ(click(ids::kFahrenheit), DialogAction::kStay);
    EXPECT_EQ(click(ids::kTempComp), DialogAction::kStay);
    EXPECT_EQ(click(ids::kConfirmExit), DialogAction::kStay);

    const AppSettings toggled{false, false, true, true};
    EXPECT_EQ(dialog.working(), toggled);
    EXPECT_EQ(shown(), toggled); // the radio pair: Fahrenheit on clears Celsius
    EXPECT_EQ(meterdesk::app_settings_of(state), before);
    EXPECT_EQ(ui.size(), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "AppSettings.dat"));

    // A second click on a check box toggles back; a click on the selected radio keeps it.
    click(ids::kTempComp);
    click(ids::kFahrenheit);
    EXPECT_EQ(dialog.working(), (AppSettings{false, false, false, true}));
    click(ids::kCelsius);
    EXPECT_TRUE(dialog.working().temperature_celsius);
    EXPECT_FALSE(box.checked(ids::kFahrenheit));
}

TEST_F(AppSettingsDialogTest, ApplyTakesTheValuesReinstallsTheMenuAndWritesFourBytes) {
    dialog.open(box);
    click(ids::kPlayWelcomeTune); // off
    click(ids::kFahrenheit);
    click(ids::kTempComp);    // on
    click(ids::kConfirmExit); // on

    EXPECT_EQ(click(ids::kApply), DialogAction::kClose);

    EXPECT_EQ(meterdesk::app_settings_of(state), (AppSettings{false, false, true, true}));
    EXPECT_TRUE(state.temp_comp_active);
    const auto menus = ui.of_kind(Kind::install_menu);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].caption, "Zyn_Menu");
    EXPECT_EQ(folder.read("AppSettings.dat"), std::string("\x00\x00\x01\x01", 4));
    EXPECT_EQ(meterdesk::load_app_settings(folder.path() / "AppSettings.dat"),
              meterdesk::app_settings_of(state));
}

TEST_F(AppSettingsDialogTest, ApplyWritesToTheSettingsPathOfTheStartUp) {
    ScratchFolder other;
    state.settings_path = (other.path() / "AppSettings.dat").string();
    dialog.open(box);
    click(ids::kApply);
    EXPECT_EQ(other.read("AppSettings.dat"), std::string("\x01\x01\x00\x00", 4));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "AppSettings.dat"));
}

TEST_F(AppSettingsDialogTest, ApplyOutsideTheMeasurementViewKeepsThatViewsMenu) {
    const std::pair<int, const char *> cases[] = {
        {meterdesk::kViewMeasurement, "Zyn_Menu"},
        {meterdesk::kViewTraceRunning, "Trace_Menu_1"},
        {meterdesk::kViewTraceComplete, "Trace_Menu_2"},
        {meterdesk::kViewTraceStopped, "Trace_Menu_3"},
        {meterdesk::kViewStatistics, "Stats_Menu"},
    };
    for (const auto &[view, menu] : cases) {
        state.view_mode = view;
        const auto mark = ui.size();
        dialog.open(box);
        click(ids::kApply);
        const auto menus = ui.of_kind(Kind::install_menu, mark);
        ASSERT_EQ(menus.size(), 1u) << view;
        EXPECT_EQ(menus[0].caption, menu) << view;
    }
}

TEST_F(AppSettingsDialogTest, CancelDropsTheWorkingValues) {
    const std::string old_file("\x01\x01\x00\x00", 4);
    folder.write("AppSettings.dat", old_file);
    dialog.open(box);
    click(ids::kPlayWelcomeTune);
    click(ids::kFahrenheit);
    click(ids::kTempComp);

    EXPECT_EQ(click(ids::kCancel), DialogAction::kClose);

    EXPECT_EQ(meterdesk::app_settings_of(state), AppSettings{});
    EXPECT_FALSE(state.temp_comp_active);
    EXPECT_EQ(ui.size(), 0u);
    EXPECT_EQ(folder.read("AppSettings.dat"), old_file);

    // The next opening shows the application's values again, not the dropped ones.
    dialog.open(box);
    EXPECT_EQ(shown(), AppSettings{});
}

TEST_F(AppSettingsDialogTest, UnwritableFileIsSilentAndTheValuesStillTakeEffect) {
    state.app_dir = (folder.path() / "no such folder").string();
    dialog.open(box);
    click(ids::kConfirmExit);
    EXPECT_EQ(click(ids::kApply), DialogAction::kClose);
    EXPECT_TRUE(state.confirm_exit);
    EXPECT_EQ(ui.count(Kind::message), 0);
}

TEST_F(AppSettingsDialogTest, ChangingTheTemperatureUnitRedrawsTheStatusPanel) {
    dialog.open(box);
    click(ids::kTempComp);
    click(ids::kApply);
    EXPECT_FALSE(state.status_repaint_request) << "the unit did not change";

    dialog.open(box);
    click(ids::kFahrenheit);
    click(ids::kApply);
    EXPECT_TRUE(state.status_repaint_request);
}

} // namespace
