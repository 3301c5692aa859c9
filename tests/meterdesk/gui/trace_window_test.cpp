// The trace view on screen: a run from the control panel, the plot, the markers, files and
// printing, against the simulated sensor.
#include "meterdesk/gui/support/meter_app_fixture.h"

#include "meterdesk/trace/trace_file_commands.h"
#include "meterdesk/trace/trace_markers_box.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/print_service.h"
#include "meterdesk/ui/qt_ui.h"
#include "meterdesk/ui/trace/trace_panel.h"

#include <QAbstractPrintDialog>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <fstream>
#include <sstream>

namespace meterdesk_test {
namespace {

class TraceWindowTest : public MeterAppTest {
  protected:
    QWidget *panel() { return app->panels().panel(meterdesk::ui::kTraceBox); }

    template <typename T>
    T *control(QWidget *dialog, int id) {
        return dialog->findChild<T *>(QStringLiteral("id%1").arg(id));
    }

    // Opens the control panel from the Tools menu and starts a trace of `samples` points.
    void start_trace(const char *samples, const char *period) {
        window().menu_action(40033)->trigger();
        ASSERT_TRUE(wait([&] { return panel() != nullptr && panel()->isVisible(); }));
        control<QLineEdit>(panel(), 1109)->setText(samples);
        control<QLineEdit>(panel(), 1110)->setText(period);
        QTest::mouseClick(control<QPushButton>(panel(), 1111), Qt::LeftButton);
        ASSERT_TRUE(state().trace_running);
        EXPECT_FALSE(panel()->isVisible());
    }

    bool wait_status(const std::string &status, int ms = 15000) {
        return wait(
            [&] {
                return state().trace_status_text.get() == status && !window().repaints_pending();
            },
            ms);
    }

    // Pixels of the plot's blue curve inside the plot rectangle.
    int curve_pixels() { return pixels_of(image(), QRect(51, 41, 498, 208), QColor(0, 0, 255)); }
};

TEST_F(TraceWindowTest, TenPointsAtAFifthOfASecondReachComplete) {
    configure("power_dbm = -15\n");
    start();
    ASSERT_TRUE(wait_measuring());
    start_trace("10", "0.2");
    EXPECT_EQ(state().view_mode, meterdesk::kViewTraceRunning);
    ASSERT_TRUE(wait([&] { return state().trace_count >= 4 && !window().repaints_pending(); }));
    screenshot("trace_running");
    ASSERT_TRUE(wait_status("Trace Complete"));
    EXPECT_EQ(state().trace_count, 10);
    EXPECT_EQ(state().view_mode, meterdesk::kViewTraceComplete);
    EXPECT_TRUE(window().trace_edit(0)->isVisible());
    EXPECT_EQ(window().trace_edit(1)->text().toStdString(), "Trace Running");
    EXPECT_GT(curve_pixels(), 100);
    screenshot("trace_complete");

    // Exit returns to the measurement view and hides the two boxes.
    window().menu_action(40114)->trigger();
    EXPECT_EQ(state().view_mode, meterdesk::kViewMeasurement);
    EXPECT_FALSE(window().trace_edit(0)->isVisible());
}

TEST_F(TraceWindowTest, InitialisingScreen) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    start_trace("10", "5");
    ASSERT_TRUE(wait([&] {
        return painter().draw_count(meterdesk::RepaintRequest::kTraceScreen) > 0 &&
               !window().repaints_pending();
    }));
    EXPECT_GT(dark_pixels(image(), QRect(170, 110, 300, 40)), 100); // "Initialising TRACE"
    screenshot("trace_initialising");
    window().menu_action(40128)->trigger(); // Stop
    ASSERT_TRUE(wait([&] { return !state().trace_running; }));
    EXPECT_EQ(state().trace_status_text.get(), "Trace Stopped");
}

TEST_F(TraceWindowTest, TemperatureCurveAndClippedScale) {
    configure("power_dbm = 3\ntemperature_c = 33\n");
    start();
    ASSERT_TRUE(wait_measuring());
    window().menu_action(40033)->trigger();
    ASSERT_TRUE(wait([&] { return panel() != nullptr && panel()->isVisible(); }));
    control<QCheckBox>(panel(), 1116)->click(); // temperature on
    control<QCheckBox>(panel(), 1162)->click(); // manual level
    control<QLineEdit>(panel(), 1163)->setText("-10");
    control<QLineEdit>(panel(), 1164)->setText("0");
    control<QLineEdit>(panel(), 1109)->setText("10");
    control<QLineEdit>(panel(), 1110)->setText("0.2");
    QTest::mouseClick(control<QPushButton>(panel(), 1111), Qt::LeftButton);
    ASSERT_TRUE(wait_status("Trace Clipped"))
        << state().trace_status_text.get() << " " << state().trace_count << " "
        << state().trace_values[0] << " auto " << state().trace_autoscale << " " << state().plot_max
        << " " << state().trace_temperature;
    // The clipped curve runs along the top line; the temperature curve is red.
    EXPECT_GT(pixels_of(image(), QRect(51, 38, 498, 5), QColor(0, 0, 255)), 100);
    EXPECT_GT(pixels_of(image(), QRect(51, 41, 498, 208), QColor(255, 0, 0)), 100);
    EXPECT_GT(pixels_of(image(), QRect(554, 30, 40, 220), QColor(255, 0, 0)), 50);
    screenshot("trace_temperature_clipped");
}

TEST_F(TraceWindowTest, MarkersScrollSaveRecallAndPrint) {
    configure("power_dbm = -20\n");
    start();
    ASSERT_TRUE(wait_measuring());
    start_trace("10", "0.2");
    ASSERT_TRUE(wait_status("Trace Complete"));

    window().menu_action(40129)->trigger();
    QWidget *markers = app->panels().panel(meterdesk::kTraceMarkersBoxName);
    ASSERT_TRUE(markers != nullptr && markers->isVisible());
    QTest::mouseClick(control<QPushButton>(markers, 1555), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(markers, 1556), Qt::LeftButton);
    auto *list = control<QListWidget>(markers, 1569);
    ASSERT_TRUE(wait([&] { return list->count() == 7 && !window().repaints_pending(); }));
    const QString before = list->item(0)->text();
    auto *x1 = control<QScrollBar>(markers, 1572);
    x1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_TRUE(wait([&] { return list->count() == 7 && list->item(0)->text() != before; }));
    EXPECT_EQ(state().x1_pos, 102);
    EXPECT_EQ(x1->value(), 102);
    EXPECT_EQ(list->item(0)->text().toStdString(), "X1: 0.21 Seconds");
    screenshot("trace_markers");

    // Save, recall, save: the same bytes.
    const auto first = (home.path() / "first.trc").string();
    const auto second = (home.path() / "second.trc").string();
    ASSERT_TRUE(meterdesk::save_trace_file(state(), app->ui(), first));
    MessageBoxAnswerer answerer; // the recall asks before replacing the trace on screen
    ASSERT_TRUE(meterdesk::recall_trace_file(state(), app->ui(), first));
    ASSERT_TRUE(meterdesk::save_trace_file(state(), app->ui(), second));
    std::ifstream a(first, std::ios::binary), b(second, std::ios::binary);
    std::stringstream a_bytes, b_bytes;
    a_bytes << a.rdbuf();
    b_bytes << b.rdbuf();
    EXPECT_EQ(a_bytes.str(), b_bytes.str());
    EXPECT_EQ(a_bytes.str().size(), 8u + 4 + 4 + 8 + 1 + 4 + 1 + 1 + 1 + 80 + 4);

    // 9028 prints the plot.
    const auto pdf = home.path() / "trace.pdf";
    app->printing().set_default_output_file(QString::fromStdString(pdf.string()));
    WhenShown<QAbstractPrintDialog> dialog([](QAbstractPrintDialog &d) { d.accept(); });
    click_button(9028);
    ASSERT_TRUE(dialog.fired());
    ASSERT_TRUE(app->printing().wait_idle(std::chrono::seconds(20)));
    QFile file(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

} // namespace
} // namespace meterdesk_test
