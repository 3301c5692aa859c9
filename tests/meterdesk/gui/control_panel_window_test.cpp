// The measurement control panel in the running application: Ctrl+C and toolbar button 9000
// open it with every control of the resource, the keyboard walks its groups in order (arrows
// within a radio group), Enter applies, Escape closes, and the toolbar's mode, display and
// resolution buttons update it while it is open. Screenshots of the panel in dBm, in linear
// power with relative mode on, and in Temperature mode.
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/settings/control_panel_ids.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/settings/measurement_control_panel.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace meterdesk_test {
namespace {

namespace ids = meterdesk::control_panel;
using meterdesk::ui::control_name;

class ControlPanelWindowTest : public MeterAppTest {
  protected:
    meterdesk::ui::MeasurementControlPanel *panel() {
        return dynamic_cast<meterdesk::ui::MeasurementControlPanel *>(
            app->panels().panel(meterdesk::ui::kControlPanel));
    }
    template <typename Widget = QWidget>
    Widget *control(int id) {
        auto *widget = panel()->findChild<Widget *>(control_name(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
    // A click where the user clicks: on a check box's or radio button's indicator (a wide
    // check box takes no clicks in its empty part).
    void click(int id) {
        auto *button = control<QAbstractButton>(id);
        ASSERT_NE(button, nullptr);
        const bool indicator = qobject_cast<QPushButton *>(button) == nullptr;
        QTest::mouseClick(button, Qt::LeftButton, {},
                          indicator ? QPoint(6, button->height() / 2) : button->rect().center());
    }
    void type(int id, const QString &text) {
        auto *edit = control<QLineEdit>(id);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void save(const QString &name) {
        QTest::qWait(20);
        ASSERT_TRUE(panel()->grab().save(QString(METERDESK_SCREENSHOT_DIR) + "/" + name + ".png"));
    }
    // Opens the panel with Ctrl+C on a measuring sensor.
    void open_panel() {
        ASSERT_TRUE(wait_measuring());
        key(Qt::Key_C);
        ASSERT_NE(panel(), nullptr);
        ASSERT_TRUE(wait([&] { return panel()->isVisible(); }));
    }
};

TEST_F(ControlPanelWindowTest, CtrlCAndButton9000OpenThePanelWithEveryControl) {
    configure();
    start();
    ASSERT_NE(panel(), nullptr);
    EXPECT_FALSE(panel()->isVisible()) << "created hidden";
    open_panel();
    EXPECT_EQ(panel()->windowTitle().toStdString(),
              "Measurement Control Panel for " + state().sensor_model.get());
    EXPECT_FALSE(panel()->isModal());
    EXPECT_TRUE(state().panel_open);
    for (int id : ids::kAllControls) EXPECT_NE(control(id), nullptr) << id;
    EXPECT_EQ(control<QAbstractButton>(ids::kLog)->text(), "Log Power(dBm)");
    EXPECT_EQ(control<QAbstractButton>(ids::kLinear)->text(), "Linear Power (Watts)");
    EXPECT_EQ(control<QGroupBox>(ids::kOffsetGroup)->title(), "Measurement Offset (dB)");
    EXPECT_EQ(control<QLineEdit>(ids::kFrequencyEdit)->text(), "50.0");
    EXPECT_EQ(control<QLineEdit>(ids::kFrequencyEdit)->alignment(), Qt::AlignCenter);
    EXPECT_FALSE(control(ids::kVolts)->isEnabled());
    auto *maxmin = control<QAbstractButton>(ids::kMaxMinRecord)->parentWidget();
    ASSERT_NE(qobject_cast<QGroupBox *>(maxmin), nullptr);
    EXPECT_EQ(qobject_cast<QGroupBox *>(maxmin)->title(), "Max && Min"); // shown "Max & Min"
    save("control_panel_dbm");

    click(ids::kClose);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_TRUE(state().panel_open);
    click_button(9000);
    EXPECT_TRUE(panel()->isVisible());
}

TEST_F(ControlPanelWindowTest, TabWalksTheGroupsInOrderEnterAppliesEscapeCloses) {
    configure();
    start();
    open_panel();
    control(ids::kLog)->setFocus();
    QTest::qWait(10);
    QStringList visited;
    for (int i = 0; i < 60; ++i) {
        QWidget *focus = panel()->focusWidget();
        if (focus == nullptr) break;
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // Enabled controls of each group in turn; greyed ones are passed over.
    const QStringList order = {"id1218", "id1063", "id1328", "id1105", "id1225", "id1280",
                               "id1290", "id1205", "id1198", "id1208", "id1327"};
    int last = -1;
    for (const QString &name : order) {
        const int at = static_cast<int>(visited.indexOf(name));
        EXPECT_GT(at, last) << name.toStdString() << " in " << visited.join(" ").toStdString();
        last = std::max(last, at);
    }
    for (const char *greyed : {"id1106", "id1016", "id1281"}) // offset off, table, relative off
        EXPECT_FALSE(visited.contains(greyed)) << greyed;

    // Arrow keys move within a radio group, and the move selects.
    control(ids::kNumeric)->setFocus();
    QTest::keyClick(panel()->focusWidget(), Qt::Key_Down);
    EXPECT_EQ(state().display_setup, 1);
    EXPECT_TRUE(control<QRadioButton>(ids::kMeter)->isChecked());

    // Enter presses Apply from an edit.
    type(ids::kFrequencyEdit, "2");
    click(ids::kGhz);
    control(ids::kFrequencyEdit)->setFocus();
    QTest::keyClick(control(ids::kFrequencyEdit), Qt::Key_Return);
    EXPECT_EQ(state().meas_frequency_hz, 2e9);
    EXPECT_TRUE(panel()->isVisible());

    // A refused value: the message, then the focus back on the edit with its text selected.
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    type(ids::kFrequencyEdit, "99");
    click(ids::kApply);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0], "Frequency|Valid frequency range: 10MHz to 26.5GHz");
    EXPECT_EQ(panel()->focusWidget(), control(ids::kFrequencyEdit));
    EXPECT_TRUE(wait([&] { return panel()->isActiveWindow(); }, 2000));
    EXPECT_EQ(control<QLineEdit>(ids::kFrequencyEdit)->selectedText(), "99");
    EXPECT_EQ(state().meas_frequency_hz, 2e9);

    QTest::keyClick(control(ids::kFrequencyEdit), Qt::Key_Escape);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_TRUE(state().panel_open);
}

TEST_F(ControlPanelWindowTest, ToolbarButtonsUpdateAnOpenPanel) {
    configure();
    start();
    open_panel();
    click_button(9003); // log -> linear
    EXPECT_EQ(state().meas_mode, meterdesk::kModeLinear);
    EXPECT_TRUE(control<QRadioButton>(ids::kLinear)->isChecked());
    EXPECT_EQ(control<QLabel>(ids::kRelativeUnitLabel)->text(), "(mW)");
    EXPECT_EQ(control<QGroupBox>(ids::kOffsetGroup)->title(), "Measurement Multiplier");

    click_button(9004); // numeric -> meter
    EXPECT_TRUE(control<QRadioButton>(ids::kMeter)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(ids::kNumeric)->isChecked());

    click_button(9005); // 3 -> 2 places
    EXPECT_TRUE(control<QRadioButton>(1286)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(1287)->isChecked());

    key(Qt::Key_T); // temperature, through the panel
    EXPECT_TRUE(control<QRadioButton>(ids::kTemperature)->isChecked());
    EXPECT_FALSE(control(ids::kApply)->isEnabled());
}

TEST_F(ControlPanelWindowTest, ScreenshotsInLinearWithRelativeModeAndInTemperature) {
    configure();
    start();
    open_panel();
    click(ids::kLinear);
    click(ids::kRelativeEnable);
    click(ids::kLimitsEnable);
    click(ids::kMeterAuto);
    click(ids::kOffsetEnable);
    EXPECT_EQ(control<QLabel>(ids::kHighLimitLabel)->text(), "High (%)");
    EXPECT_EQ(control<QLabel>(ids::kMeterMinLabel)->text(), "  Min (%)");
    EXPECT_FALSE(state().meter_auto);
    EXPECT_TRUE(control(ids::kMeterMinEdit)->isEnabled());
    EXPECT_FALSE(control(ids::kLimitsUnitList)->isEnabled()) << "relative mode: no units";
    save("control_panel_linear_relative");

    click(ids::kRelativeEnable);
    EXPECT_TRUE(control(ids::kLimitsUnitList)->isEnabled());
    EXPECT_EQ(control<QComboBox>(ids::kLimitsUnitList)->currentText(), "mW");
    EXPECT_TRUE(control(ids::kMeterUnitList)->isEnabled());
    EXPECT_EQ(control<QLabel>(ids::kMeterMaxLabel)->text(), "Max (mW)");
    save("control_panel_linear");

    click(ids::kTemperature);
    EXPECT_FALSE(control(ids::kApply)->isEnabled());
    EXPECT_FALSE(control(ids::kLimitsUnitList)->isEnabled());
    EXPECT_TRUE(control(ids::kClose)->isEnabled());
    save("control_panel_temperature");
}

} // namespace
} // namespace meterdesk_test
