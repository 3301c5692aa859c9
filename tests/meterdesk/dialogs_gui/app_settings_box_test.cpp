// AppSettingsBox on screen: the controls the logic expects exist under their ids, real clicks
// reach the logic, Apply writes the four bytes of "AppSettings.dat" into the application
// folder, and Escape acts as Cancel.
#include "meterdesk/core/app_state.h"
#include "meterdesk/dialogs_gui/support/qt_helpers.h"
#include "meterdesk/support/fake_ui.h"
#include "meterdesk/support/scratch.h"
#include "meterdesk/ui/app_settings_box.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using meterdesk_test::FakeUi;
using meterdesk_test::ScratchFolder;
using Kind = meterdesk_test::UiCall::Kind;
namespace ids = meterdesk::app_settings_box;

class AppSettingsBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { state.app_dir = app.path().string(); }

    template <typename Widget>
    Widget *control(int id) {
        auto *widget = box.findChild<Widget *>(meterdesk::ui::control_name(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }

    void click(int id) {
        auto *button = control<QAbstractButton>(id);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    ScratchFolder app;
    meterdesk::AppState state;
    FakeUi ui;
    meterdesk::ui::AppSettingsBox box{state, ui};
};

TEST_F(AppSettingsBoxTest, HasTheControlsOfTheResource) {
    EXPECT_EQ(box.windowTitle(), "Application Settings");
    EXPECT_FALSE(box.isModal());
    EXPECT_FALSE(box.isVisible()) << "created hidden";
    EXPECT_EQ(control<QCheckBox>(ids::kPlayWelcomeTune)->text(), "Play welcome tune\non start-up");
    EXPECT_EQ(control<QRadioButton>(ids::kCelsius)->text(), "Celsius ('C)");
    EXPECT_EQ(control<QRadioButton>(ids::kFahrenheit)->text(), "Fahrenheit ('F)");
    EXPECT_EQ(control<QCheckBox>(ids::kTempComp)->text(), "Measurements\ntemperature\ncompensated");
    EXPECT_EQ(control<QCheckBox>(ids::kConfirmExit)->text(), "Confirm on Exit/Close");
    EXPECT_EQ(control<QPushButton>(ids::kApply)->text(), "Apply");
    EXPECT_EQ(control<QPushButton>(ids::kCancel)->text(), "Cancel");
}

TEST_F(AppSettingsBoxTest, ClicksAndApplyWriteTheFourBytesIntoTheApplicationFolder) {
    meterdesk::apply_app_settings(state, {true, true, false, false});
    box.open_settings();
    ASSERT_TRUE(box.isVisible());
    EXPECT_TRUE(control<QCheckBox>(ids::kPlayWelcomeTune)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(ids::kCelsius)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(ids::kTempComp)->isChecked());

    click(ids::kPlayWelcomeTune);
    click(ids::kFahrenheit);
    click(ids::kTempComp);
    EXPECT_FALSE(control<QRadioButton>(ids::kCelsius)->isChecked());
    EXPECT_FALSE(state.temp_comp_setting) << "nothing takes effect before Apply";
    EXPECT_FALSE(meterdesk_test::save_screenshot(box, "app_settings_box").isEmpty());

    click(ids::kApply);

    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(app.read("AppSettings.dat"), std::string("\x00\x00\x01\x00", 4));
    EXPECT_EQ(meterdesk::app_settings_of(state),
              (meterdesk::AppSettings{false, false, true, false}));
    EXPECT_TRUE(state.temp_comp_active);
    const auto menus = ui.of_kind(Kind::install_menu);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].caption, "Zyn_Menu");

    // Opened again, it shows what was applied.
    box.open_settings();
    EXPECT_FALSE(control<QCheckBox>(ids::kPlayWelcomeTune)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(ids::kFahrenheit)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(ids::kTempComp)->isChecked());
}

TEST_F(AppSettingsBoxTest, EscapeAndCancelDropTheChanges) {
    for (const bool escape : {true, false}) {
        box.open_settings();
        click(ids::kConfirmExit);
        click(ids::kFahrenheit);
        if (escape)
            QTest::keyClick(&box, Qt::Key_Escape);
        else
            click(ids::kCancel);
        EXPECT_FALSE(box.isVisible()) << escape;
        EXPECT_EQ(meterdesk::app_settings_of(state), meterdesk::AppSettings{}) << escape;
        EXPECT_FALSE(std::filesystem::exists(app.path() / "AppSettings.dat")) << escape;
        EXPECT_EQ(ui.size(), 0u) << escape;

        box.open_settings();
        EXPECT_FALSE(control<QCheckBox>(ids::kConfirmExit)->isChecked()) << escape;
        EXPECT_TRUE(control<QRadioButton>(ids::kCelsius)->isChecked()) << escape;
        box.hide();
    }
}

} // namespace
