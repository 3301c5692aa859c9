// Statistics, the RF calculators and the simulated-source panel in the running application:
// Start, the progress box and the statistics view; BREAK; "Exit" by button and menu; printing
// the view; the calculators' scroll bars; the simulated source driving the readout.
#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/simulated_source.h"
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/trace/statistics.h"
#include "meterdesk/ui/command_handler.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/print_service.h"
#include "meterdesk/ui/settings/rf_calculator_boxes.h"
#include "meterdesk/ui/settings/simulated_source_box.h"
#include "meterdesk/ui/trace/stats_control_box.h"
#include "meterdesk/ui/trace/stats_progress_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QAbstractButton>
#include <QAbstractPrintDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>

#include <filesystem>
#include <string>

namespace meterdesk_test {
namespace {

using meterdesk::ui::control_name;
namespace ids = meterdesk::stats_box;

template <typename Widget = QWidget>
Widget *child(QWidget &dialog, int id) {
    auto *widget = dialog.findChild<Widget *>(control_name(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}

void click(QWidget &dialog, int id) {
    if (auto *button = child<QAbstractButton>(dialog, id)) button->click();
}

void save_screenshot(QWidget &widget, const QString &name) {
    std::filesystem::create_directories(METERDESK_SCREENSHOT_DIR);
    EXPECT_TRUE(widget.grab().save(QString(METERDESK_SCREENSHOT_DIR) + "/" + name + ".png"));
}

class StatsWindowTest : public MeterAppTest {
  protected:
    QWidget &stats_panel() { return *app->panels().panel(meterdesk::ui::kStatsBox); }

    // Shows the panel, checks N, bins and mode, and presses Start; waits for the view.
    void run_stats(int samples_radio, int bins_radio, int mode_radio) {
        app->commands().command(meterdesk::kCmdStats);
        ASSERT_TRUE(wait([&] { return stats_panel().isVisible(); }));
        click(stats_panel(), samples_radio);
        click(stats_panel(), bins_radio);
        click(stats_panel(), mode_radio);
        click(stats_panel(), ids::kStart);
        ASSERT_TRUE(wait([&] {
            return state().view_mode == meterdesk::kViewStatistics && !window().repaints_pending();
        }));
    }
};

TEST_F(StatsWindowTest, StartShowsTheBoxThenTheView) {
    configure("power_dbm = -10\nnoise_uv = 20\ntiming = realistic\nlatency_ms = 1\n");
    start();
    ASSERT_TRUE(wait_measuring());
    app->commands().command(meterdesk::kCmdStats);
    ASSERT_TRUE(wait([&] { return stats_panel().isVisible(); }));
    EXPECT_EQ(stats_panel().windowTitle(), "Stats Control");
    EXPECT_FALSE(child(stats_panel(), ids::kVolts)->isEnabled());
    save_screenshot(stats_panel(), "stats_control");

    bool box_seen = false;
    WhenShown<meterdesk::ui::StatsProgressBox> box([&](meterdesk::ui::StatsProgressBox &b) {
        box_seen = true;
        EXPECT_TRUE(b.isModal());
        QTest::qWait(200);
        save_screenshot(b, "stats_progress_box");
    });
    click(stats_panel(), 1006); // 100 readings, paced like a real sensor's
    click(stats_panel(), 1014); // 8 bins
    click(stats_panel(), ids::kStart);
    EXPECT_FALSE(stats_panel().isVisible());
    ASSERT_TRUE(wait(
        [&] {
            return state().view_mode == meterdesk::kViewStatistics && !window().repaints_pending();
        },
        60000));
    EXPECT_TRUE(box_seen);
    EXPECT_TRUE(wait([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_EQ(window().installed_menu(), "Stats_Menu");
    EXPECT_TRUE(state().stats_screen_shown);
    // Bars drawn in the bar colour.
    EXPECT_GT(pixels_of(image(), QRect(10, 45, 410, 190), QColor(100, 150, 200)), 500);
    screenshot("stats_view_dbm_8_bins");

    // "R" replays the view as it was.
    const QImage before = image().copy(0, 28, 594, 200);
    key(Qt::Key_R, Qt::NoModifier);
    ASSERT_TRUE(wait([&] { return !window().repaints_pending(); }));
    EXPECT_EQ(image().copy(0, 28, 594, 200), before);

    // Exit by the toolbar button.
    click_button(9037);
    ASSERT_TRUE(wait([&] { return state().view_mode == meterdesk::kViewMeasurement; }));
    EXPECT_EQ(window().installed_menu(), "Zyn_Menu");
    EXPECT_TRUE(wait_next_readout());
}

TEST_F(StatsWindowTest, LinearViewPrintsAndExitsFromTheMenu) {
    configure("power_dbm = -10\nnoise_uv = 20\n");
    start();
    ASSERT_TRUE(wait_measuring());
    run_stats(1008, 1015, 1606); // 1000 readings, 10 bins, linear
    const auto results = state().stats_results.get();
    ASSERT_TRUE(results);
    EXPECT_EQ(results->samples, 1000);
    EXPECT_EQ(results->bins, 10);
    EXPECT_NEAR(results->mean, 0.1, 0.01);
    screenshot("stats_view_linear_10_bins");

    const auto pdf = home.path() / "stats.pdf";
    app->printing().set_default_output_file(QString::fromStdString(pdf.string()));
    WhenShown<QAbstractPrintDialog> dialog([](QAbstractPrintDialog &d) { d.accept(); });
    window().menu_action(meterdesk::kCmdPrint)->trigger();
    ASSERT_TRUE(dialog.fired());
    ASSERT_TRUE(app->printing().wait_idle(std::chrono::seconds(20)));
    EXPECT_EQ(app->printing().pages_printed(), 1);
    QFile file(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));

    window().menu_action(meterdesk::kCmdLeaveStats)->trigger();
    ASSERT_TRUE(wait([&] { return state().view_mode == meterdesk::kViewMeasurement; }));
    EXPECT_FALSE(state().stats_screen_shown);
    EXPECT_TRUE(wait_next_readout());
}

TEST_F(StatsWindowTest, BreakInTheBoxReturnsToTheReadout) {
    configure("power_dbm = -10\ntiming = realistic\nlatency_ms = 5\n");
    start();
    ASSERT_TRUE(wait_measuring());
    app->commands().command(meterdesk::kCmdStats);
    ASSERT_TRUE(wait([&] { return stats_panel().isVisible(); }));
    WhenShown<meterdesk::ui::StatsProgressBox> box([&](meterdesk::ui::StatsProgressBox &b) {
        QTest::qWait(100);
        QTest::mouseClick(child<QAbstractButton>(b, meterdesk::ui::StatsProgressBox::kBreakId),
                          Qt::LeftButton);
    });
    click(stats_panel(), 1010); // 10000 readings: far longer than the test
    click(stats_panel(), ids::kStart);
    ASSERT_TRUE(wait([&] { return box.fired() && !state().stats_requested; }));
    EXPECT_TRUE(wait([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_FALSE(state().stats_valid);
    EXPECT_EQ(state().view_mode, meterdesk::kViewMeasurement);
    EXPECT_TRUE(state().live_readout_enabled);
    EXPECT_TRUE(wait_next_readout());
}

TEST_F(StatsWindowTest, CalculatorsScrollBarsFollowTheirRules) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());

    app->commands().command(40077);
    QWidget &mismatch = *app->panels().panel(meterdesk::ui::kMismatchCalculatorBox);
    ASSERT_TRUE(wait([&] { return mismatch.isVisible(); }));
    auto *source = child<QScrollBar>(mismatch, 1591);
    EXPECT_EQ(source->value(), 200);
    EXPECT_EQ(child<QLineEdit>(mismatch, 1598)->text(), "1.938 dB  (56.25%)");
    source->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(child<QLineEdit>(mismatch, 1593)->text(), "2.99");
    EXPECT_EQ(source->value(), 199);
    source->triggerAction(QAbstractSlider::SliderPageStepAdd); // other actions change nothing
    EXPECT_EQ(source->value(), 199);
    EXPECT_EQ(child<QLineEdit>(mismatch, 1593)->text(), "2.99");
    source->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    save_screenshot(mismatch, "mismatch_calculator");
    QTest::keyClick(&mismatch, Qt::Key_Escape);
    EXPECT_FALSE(mismatch.isVisible());

    app->commands().command(40080);
    QWidget &converter = *app->panels().panel(meterdesk::ui::kPowerUnitsConverterBox);
    ASSERT_TRUE(wait([&] { return converter.isVisible(); }));
    auto *bar = child<QScrollBar>(converter, 1578);
    EXPECT_EQ(child<QLineEdit>(converter, 1579)->text(), "-20.000dBm");
    EXPECT_EQ(child<QLineEdit>(converter, 1403)->text(), "10.000uW");
    bar->triggerAction(QAbstractSlider::SliderToMinimum); // restored
    EXPECT_EQ(bar->value(), 500);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(child<QLineEdit>(converter, 1579)->text(), "-19.900dBm");
    save_screenshot(converter, "power_units_converter");
    click(converter, 1580);
    EXPECT_FALSE(converter.isVisible());

    app->commands().command(40078);
    QWidget &microwave = *app->panels().panel(meterdesk::ui::kMicrowaveCalculatorBox);
    ASSERT_TRUE(wait([&] { return microwave.isVisible(); }));
    auto *entry = child<QLineEdit>(microwave, 1584);
    entry->setText("1.5");
    click(microwave, 1589);
    EXPECT_EQ(child<QLineEdit>(microwave, 1585)->text(), "0.200");
    save_screenshot(microwave, "microwave_calculator");
    {
        MessageBoxAnswerer answerer;
        entry->setText("0.5");
        click(microwave, 1582);
        entry->setText("1");
        click(microwave, 1589);
        ASSERT_TRUE(wait([&] { return !answerer.seen().isEmpty(); }));
        EXPECT_EQ(answerer.seen().front(), "Microwave Calculator|Reflection Co-efficient\nmust be "
                                           "less than one\nand greater than zero.");
    }
    EXPECT_EQ(child<QLineEdit>(microwave, 1585)->text(), "0.200");
}

class SimulatedSourceWindowTest : public StatsWindowTest {};

TEST_F(SimulatedSourceWindowTest, PanelDrivesTheReadoutAndThePlug) {
    configure("power_dbm = -10\n");
    auto c = config();
    c.simulated_bus = true;
    make(c);
    start();
    ASSERT_TRUE(wait_measuring());
    ASSERT_NE(window().menu_action(meterdesk::simulated_source::kCommand), nullptr);
    const QList<QAction *> top = window().menuBar()->actions();
    ASSERT_FALSE(top.isEmpty());
    EXPECT_EQ(top.back()->text(), "Simulated Source...");

    window().menu_action(meterdesk::simulated_source::kCommand)->trigger();
    QWidget &panel = *app->panels().panel(meterdesk::simulated_source::kResourceName);
    ASSERT_TRUE(wait([&] { return panel.isVisible(); }));
    auto *power = child<QLineEdit>(panel, meterdesk::simulated_source::kPowerEdit);
    EXPECT_EQ(power->text(), "-10.00");
    power->setText("-20");
    emit power->editingFinished();
    ASSERT_TRUE(wait([&] { return std::abs(state().reading_power - -20.0) < 0.05; }));
    ASSERT_TRUE(wait_next_readout());
    save_screenshot(panel, "simulated_source");
    screenshot("meter_at_minus_20_dbm");

    click(panel, meterdesk::simulated_source::kPlugged); // unplugged
    ASSERT_TRUE(wait([&] { return state().connection_state == meterdesk::kConnectionNoSensor; }));
    EXPECT_TRUE(panel.isVisible());
    click(panel, meterdesk::simulated_source::kPlugged); // plugged in again
    ASSERT_TRUE(wait_measuring());
}

TEST_F(SimulatedSourceWindowTest, NoPanelWithoutTheSimulatedBus) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    EXPECT_EQ(window().menu_action(meterdesk::simulated_source::kCommand), nullptr);
    EXPECT_EQ(app->panels().panel(meterdesk::simulated_source::kResourceName), nullptr);
}

} // namespace
} // namespace meterdesk_test
