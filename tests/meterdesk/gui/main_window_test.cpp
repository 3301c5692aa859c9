// The meter application on screen: start-up, the readout, losing and finding the sensor, the
// mode shortcuts, the toolbar buttons, closing, and the screens as they are drawn.
#include "meterdesk/base/paths.h"
#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/measurement_mode.h"
#include "meterdesk/core/readout_glyphs.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/qt_ui.h"
#include "meterdesk/ui/toolbar_set.h"
#include "meterdesk/ui/zeroing_progress_box.h"

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QToolBar>

#include <algorithm>
#include <fstream>
#include <vector>

namespace meterdesk_test {
namespace {

using meterdesk::RepaintRequest;

const QColor kSplashFrame(0, 0, 170);

// The rows of the numeric readout for a display setup.
QRect readout_row(int display_setup, int readout_top) {
    return QRect(0, meterdesk::readout_glyph_y(display_setup, readout_top), 594,
                 meterdesk::kDigitGlyphHeight);
}

TEST_F(MeterAppTest, StartsWithTheSplashThenShowsTheReadoutWithTheModelLabel) {
    configure();
    auto c = config();
    c.window.splash_period_ms = 1000; // time enough to look at it on a busy machine
    make(c);
    start();
    EXPECT_TRUE(state().splash_shown);
    EXPECT_EQ(painter().draw_count(RepaintRequest::kSplash), 1);
    EXPECT_GT(pixels_of(image(), QRect(80, 160, 446, 2), kSplashFrame), 400); // the frame's top
    EXPECT_GT(dark_pixels(image(), QRect(175, 50, 252, 80)), 100);            // the logo
    EXPECT_EQ(window().windowTitle(), "Zyn Quorix USB Power Sensor");
    screenshot("splash");

    ASSERT_TRUE(wait_measuring());
    EXPECT_FALSE(state().splash_shown);
    EXPECT_EQ(window().installed_menu(), "Zyn_Menu");
    EXPECT_EQ(painter().frame_label(), "RX4LO - s/n RX100001");
    // The sensor commands are enabled on connect, those that have something to do: the zero
    // among them.
    for (int id : meterdesk::kConnectionDependentCommands)
        EXPECT_EQ(window().command_enabled(id), app->commands().handles(id)) << id;
    EXPECT_TRUE(window().command_enabled(meterdesk::kCmdZeroSensor));
    EXPECT_TRUE(window().toolbars().toolbar(0)->isVisible());

    // -10 dBm at 3 places: "-10.000" with its last digit in the cell that starts at x 240 and
    // the dBm glyph from x 280; nothing in between.
    ASSERT_TRUE(wait_next_readout());
    EXPECT_EQ(painter().readout_text().substr(0, 4), "-10.");
    const QRect row = readout_row(0, 20);
    EXPECT_GT(dark_pixels(image(), QRect(240, row.y(), 31, row.height())), 50);
    EXPECT_EQ(dark_pixels(image(), QRect(271, row.y(), 280 - 271, row.height())), 0);
    EXPECT_GT(dark_pixels(image(), QRect(280, row.y(), 113, row.height())), 50);
    // Seven characters: the minus in the cell from x 54, white between it and the frame's left
    // edge at x 30, which runs whole past the digits.
    EXPECT_GT(dark_pixels(image(), QRect(240 - 6 * 31, row.y(), 31, row.height())), 50);
    EXPECT_EQ(dark_pixels(image(), QRect(31, row.y(), 240 - 6 * 31 - 31, row.height())), 0);
    EXPECT_EQ(dark_pixels(image(), QRect(30, row.y(), 1, row.height())), row.height());
    // The status panel at the right says the sensor wants a zero.
    EXPECT_GT(pixels_of(image(), QRect(445, 40, 149, 60), QColor(90, 130, 210)), 20);
    screenshot("numeric");
    // The whole window as the user sees it: menu bar, toolbar and the screen.
    window().grab().save(QString(METERDESK_SCREENSHOT_DIR) + "/numeric_window.png");
}

TEST_F(MeterAppTest, UnpluggingShowsNoSensorAndGreysTheSensorCommandsReplugRestores) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());

    set("plugged", "0");
    ASSERT_TRUE(wait([&] {
        return state().connection_state == meterdesk::kConnectionNoSensor &&
               painter().draw_count(RepaintRequest::kDisconnected) > 0 &&
               !window().repaints_pending();
    }));
    EXPECT_FALSE(state().measurement_frame_shown);
    EXPECT_GT(dark_pixels(image(), QRect(105, 80, 360, 50)), 1000); // "NO SENSOR"
    EXPECT_GT(dark_pixels(image(), QRect(95, 130, 380, 50)), 1000); // "CONNECTED"
    for (int id : meterdesk::kConnectionDependentCommands) {
        EXPECT_FALSE(window().command_enabled(id)) << id;
        ASSERT_NE(window().menu_action(id), nullptr) << id;
        EXPECT_FALSE(window().menu_action(id)->isEnabled()) << id;
    }
    EXPECT_FALSE(window().toolbars().toolbar(0)->isVisible());
    screenshot("disconnected");

    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());
    for (int id : meterdesk::kConnectionDependentCommands) {
        EXPECT_EQ(window().menu_action(id)->isEnabled(), app->commands().handles(id)) << id;
    }
    EXPECT_TRUE(window().menu_action(meterdesk::kCmdZeroSensor)->isEnabled());
    EXPECT_TRUE(window().toolbars().toolbar(0)->isVisible());
    EXPECT_EQ(painter().frame_label(), "RX4LO - s/n RX100001");
}

TEST_F(MeterAppTest, MenusReinstalledWithoutASensorKeepTheSensorCommandsGreyed) {
    configure("plugged = 0\n");
    start();
    ASSERT_TRUE(wait([&] { return window().installed_menu() == "Zyn_Menu"; }));
    ASSERT_TRUE(wait([&] { return !window().command_enabled(meterdesk::kCmdZeroSensor); }));
    app->ui().install_menu("Zyn_Menu"); // as the settings dialog's Apply does
    EXPECT_FALSE(window().menu_action(meterdesk::kCmdZeroSensor)->isEnabled());
    EXPECT_TRUE(window().menu_action(meterdesk::kCmdAbout)->isEnabled());
    // Every item of the standard menu is there with its id.
    for (int id : {40014, 40036, 40030, 40136, 40007, 40047, 40011, 40131, 40033, 40017, 40077,
                   40078, 40080, 40051, 40066, 40009})
        EXPECT_NE(window().menu_action(id), nullptr) << id;
}

TEST_F(MeterAppTest, ShortcutsSwitchTheMeasurementMode) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());

    key(Qt::Key_W);
    EXPECT_EQ(state().meas_mode, meterdesk::kModeLinear);
    ASSERT_TRUE(wait_next_readout());
    // -10 dBm is 100 uW.
    EXPECT_NEAR(std::stod(painter().readout_text()), 100.0, 0.5) << painter().readout_text();
    screenshot("watts");

    key(Qt::Key_T);
    EXPECT_EQ(state().meas_mode, meterdesk::kModeTemperature);
    ASSERT_TRUE(wait([&] {
        return state().temperature_screen_shown && painter().temperature_text() == "25.0" &&
               !window().repaints_pending();
    }));
    // 25.0 'C: the last digit in the cell from x 275, the 'C glyph at x 311.
    EXPECT_GT(dark_pixels(image(), QRect(275, 125, 31, 42)), 50);
    EXPECT_GT(dark_pixels(image(), QRect(311, 125, 54, 42)), 30);
    EXPECT_EQ(painter().frame_label(), "RX4LO - s/n RX100001");
    screenshot("temperature");

    key(Qt::Key_L);
    EXPECT_EQ(state().meas_mode, meterdesk::kModeLog);
    ASSERT_TRUE(wait_next_readout());
    EXPECT_FALSE(state().temperature_screen_shown);
    EXPECT_EQ(painter().readout_text().substr(0, 4), "-10.");

    // "R" repaints the window from the screen flags.
    const int frames = painter().draw_count(RepaintRequest::kFrame);
    key(Qt::Key_R, Qt::NoModifier);
    EXPECT_EQ(painter().frame_label(), "RX4LO - s/n RX100001");
    EXPECT_EQ(painter().draw_count(RepaintRequest::kFrame), frames); // replayed, not requested
    ASSERT_TRUE(wait_next_readout());
    EXPECT_GT(dark_pixels(image(), readout_row(0, 20)), 200);
}

TEST_F(MeterAppTest, FahrenheitTemperatureKeepsClearOfTheLabels) {
    configure("temperature_c = 40\n");
    start();
    ASSERT_TRUE(wait_measuring());
    key(Qt::Key_T);
    ASSERT_TRUE(wait([&] {
        return state().temperature_screen_shown && painter().temperature_text() == "40.0" &&
               !window().repaints_pending();
    }));
    // Left of the five cells (the first from x 275 - 4 x 31 = 151) only the labels "SENSOR" at
    // (90, 130) and "TEMPERATURE" at (60, 150) are drawn, inside the frame from x 30.
    const QRect labels(31, 125, 151 - 31, 42);
    const QImage celsius = image().copy(labels);
    EXPECT_GT(dark_pixels(celsius, celsius.rect()), 100);

    // 104.0 'F has five characters: its "1" fills the fifth cell, the labels stay as they were.
    QMetaObject::invokeMethod(&window(), [&] { state().temperature_celsius = false; });
    ASSERT_TRUE(wait(
        [&] { return painter().temperature_text() == "104.0" && !window().repaints_pending(); }));
    EXPECT_EQ(image().copy(labels), celsius);
    EXPECT_GT(dark_pixels(image(), QRect(151, 125, 31, 42)), 50);
    EXPECT_GT(dark_pixels(image(), QRect(311, 125, 54, 42)), 30); // the 'F glyph
    screenshot("temperature_fahrenheit");
}

TEST_F(MeterAppTest, ToolbarTogglesLogLinearCyclesDisplaySetupAndStepsResolution) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());

    click_button(9003);
    EXPECT_EQ(state().meas_mode, meterdesk::kModeLinear);
    click_button(9003);
    EXPECT_EQ(state().meas_mode, meterdesk::kModeLog);

    // Numeric -> meter -> both -> numeric.
    click_button(9004);
    EXPECT_EQ(state().display_setup, 1);
    EXPECT_EQ(state().readout_top, 0);
    ASSERT_TRUE(wait_next_readout());
    // -10 dBm on the auto-scaled window -20..+10 dBm: the needle two thirds along.
    EXPECT_EQ(painter().meter_caption(), "dBm (Auto Scaled)");
    const int t = 35;
    const int needle_x = 50 + 330 * 10 / 30;
    EXPECT_GT(pixels_of(image(), QRect(needle_x - 2, t + 118, 5, 15), QColor(220, 80, 30)), 20);
    EXPECT_EQ(dark_pixels(image(), readout_row(0, 20).intersected(QRect(0, 0, 30, 300))), 0);
    screenshot("meter");

    click_button(9004);
    EXPECT_EQ(state().display_setup, 2);
    ASSERT_TRUE(wait_next_readout());
    EXPECT_GT(dark_pixels(image(), QRect(240, 70, 31, 42)), 50); // the digits' row
    EXPECT_GT(pixels_of(image(), QRect(needle_x - 2, 85 + 118, 5, 15), QColor(220, 80, 30)), 20);
    screenshot("both");

    click_button(9004);
    EXPECT_EQ(state().display_setup, 0);

    // Resolution 3 -> 2 -> 1 -> 0 -> 3.
    std::vector<int> places;
    for (int i = 0; i < 4; ++i) {
        click_button(9005);
        places.push_back(state().resolution_places);
    }
    EXPECT_EQ(places, (std::vector<int>{2, 1, 0, 3}));
    click_button(9005);
    ASSERT_TRUE(wait_next_readout());
    EXPECT_EQ(painter().readout_text(), "-10.00");

    // Not in temperature mode (display setup) nor in volts or temperature (resolution).
    key(Qt::Key_T);
    click_button(9004);
    EXPECT_EQ(state().display_setup, 0);
    click_button(9005);
    EXPECT_EQ(state().resolution_places, 2);
    meterdesk::apply_measurement_mode(state(), app->ui(), meterdesk::kModeVolts);
    click_button(9005);
    EXPECT_EQ(state().resolution_places, 2);
}

// A stand-in for the measurement control panel, to see when the window opens it.
void register_control_panel(meterdesk::ui::PanelRegistry &panels) {
    panels.add_panel(meterdesk::ui::kControlPanel, {[](QWidget *owner) {
                                                        auto *panel = new QDialog(owner);
                                                        panel->setObjectName("ControlPanel");
                                                        return panel;
                                                    },
                                                    {},
                                                    {}});
}

TEST_F(MeterAppTest, ControlPanelShortcutDoesNothingWithoutASensor) {
    configure("plugged = 0\n");
    make(config());
    register_control_panel(app->panels());
    start();
    QWidget *panel = app->panels().panel(meterdesk::ui::kControlPanel);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible()); // created hidden
    ASSERT_TRUE(wait([&] { return state().connection_state == meterdesk::kConnectionNoSensor; }));

    MessageBoxAnswerer answerer;
    key(Qt::Key_C);
    QTest::qWait(50);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(answerer.seen().isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The mode keys need a sensor too.
    key(Qt::Key_T);
    EXPECT_EQ(state().meas_mode, meterdesk::kModeLog);

    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());
    key(Qt::Key_C);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(MeterAppTest, ClosingWithConfirmExitAsksAndLeavesPosDatAlone) {
    configure();
    const unsigned char settings[] = {1, 1, 0, 1}; // tune, 'C, no compensation, confirm exit
    std::ofstream(app_dir.path() / "AppSettings.dat", std::ios::binary)
        .write(reinterpret_cast<const char *>(settings), sizeof settings);
    start();
    ASSERT_TRUE(state().confirm_exit);
    QSignalSpy quit(&window(), &meterdesk::ui::MainWindow::quit_requested);

    MessageBoxAnswerer answerer(QMessageBox::Cancel);
    window().close();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(quit.count(), 0);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0], "Zyn Quorix USB Power Sensor|OK to close?");

    // "Exit" asks its own question.
    ASSERT_TRUE(wait([&] { return window().menu_action(meterdesk::kCmdExit) != nullptr; }));
    window().menu_action(meterdesk::kCmdExit)->trigger();
    EXPECT_TRUE(window().isVisible());
    ASSERT_EQ(answerer.seen().size(), 2);
    EXPECT_EQ(answerer.seen()[1], "Zyn Quorix USB Sensor|OK to exit?");

    answerer.set_button(QMessageBox::Ok);
    window().close();
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(std::filesystem::exists(meterdesk::paths::window_position_file()));
}

TEST_F(MeterAppTest, ExitWithoutConfirmationSavesThePositionThatTheNextStartRestores) {
    configure();
    start();
    ASSERT_FALSE(state().confirm_exit);
    ASSERT_TRUE(wait([&] { return window().menu_action(meterdesk::kCmdExit) != nullptr; }));
    window().move(123, 77);
    QTest::qWait(1);
    QSignalSpy quit(&window(), &meterdesk::ui::MainWindow::quit_requested);
    window().menu_action(meterdesk::kCmdExit)->trigger();
    EXPECT_EQ(quit.count(), 1);
    const auto rect = meterdesk::load_window_position(meterdesk::paths::window_position_file());
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(rect->left, window().frameGeometry().x());
    EXPECT_EQ(rect->top, window().frameGeometry().y());
    EXPECT_GT(rect->width(), 0);

    ASSERT_TRUE(app->shutdown());
    app.reset();
    start();
    EXPECT_EQ(window().frameGeometry().topLeft(), QPoint(rect->left, rect->top));
}

TEST_F(MeterAppTest, APositionOffEveryScreenIsBroughtBackInside) {
    configure("plugged = 0\n");
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Where a removed monitor was: far right and below, or far left and above.
    for (const QPoint corner :
         {QPoint(area.right() + 4000, area.bottom() + 3000), QPoint(-5000, -4000)}) {
        const meterdesk::WindowRect saved{corner.y() + 325, corner.x(), corner.x() + 600,
                                          corner.y()};
        ASSERT_TRUE(
            meterdesk::save_window_position(meterdesk::paths::window_position_file(), saved));
        start();
        const QRect frame = window().frameGeometry();
        EXPECT_TRUE(area.contains(frame))
            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        ASSERT_TRUE(app->shutdown());
        app.reset();
    }
}

TEST_F(MeterAppTest, StatusPanelShowsTheAlarmsInRed) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    // -10 dBm against a high limit of -20 dBm, with a zero that has drifted.
    QMetaObject::invokeMethod(&window(), [&] {
        state().limits_enabled = true;
        state().limit_high_db = -20.0;
        state().offset_enabled = true;
        state().offset_db = 1.5;
        state().duty_cycle_enabled = true;
        state().duty_cycle_percent = 50.0;
        state().zero_done = true;
        state().zero_drift_warning = true;
        state().zero_temperature_shift = 6.2;
        state().status_repaint_request = true;
    });
    ASSERT_TRUE(wait([&] {
        return state().limit_high_alarm && !state().status_repaint_request &&
               !window().repaints_pending();
    }));
    ASSERT_TRUE(wait_next_readout());
    EXPECT_GT(pixels_of(image(), QRect(445, 40, 149, 200), QColor(250, 0, 0)), 100);
    screenshot("status_panel_alarms");
}

// Pixels in `area` that are not white (text edges included).
bool inked(QRgb p) {
    return std::min({qRed(p), qGreen(p), qBlue(p)}) < 235;
}

int inked_pixels(const QImage &image, const QRect &area) {
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (inked(image.pixel(x, y))) ++count;
    return count;
}

// Bands of consecutive rows of `area` that hold ink: lines of text that touch make one band.
int ink_bands(const QImage &image, const QRect &area) {
    int bands = 0;
    bool in_band = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const bool ink = inked_pixels(image, QRect(area.left(), y, area.width(), 1)) > 0;
        if (ink && !in_band) ++bands;
        in_band = ink;
    }
    return bands;
}

TEST_F(MeterAppTest, TheWidestStatusLinesFitInsideTheWindowWithoutTouching) {
    configure("power_dbm = 40\n"); // the sensor is overloaded
    start();
    ASSERT_TRUE(wait_measuring());
    ASSERT_TRUE(wait([&] { return state().sensor_overload.load(); }));
    QMetaObject::invokeMethod(&window(), [&] {
        state().temperature_celsius = false;
        state().zero_done = true;
        state().zero_drift_warning = true;
        state().zero_temperature_shift = 6.2; // "ZERO SENSOR (11.2'F SHIFT)"
        state().offset_enabled = true;
        state().offset_db = -10.0;
        state().duty_cycle_enabled = true;
        state().duty_cycle_percent = 100.0;
        state().relative_enabled = true;
        state().relative_ref_db = -10.0;
        state().maxmin_record = true;
        state().maxmin_reset_request = true;
        state().limits_enabled = true; // 40 dBm is above the high limit of 20 dBm
        state().status_repaint_request = true;
    });
    ASSERT_TRUE(wait([&] {
        return state().limit_high_alarm && !state().status_repaint_request &&
               !window().repaints_pending();
    }));
    ASSERT_TRUE(wait_next_readout());
    screenshot("status_panel_widest");

    // Drift warning, the overload block's three lines 10 pixels apart, frequency, offset, duty
    // cycle, the relative block of four lines 12 apart, and the high alarm with its hint.
    const QRect panel(446, 31, 594 - 446, 281 - 31);
    EXPECT_EQ(ink_bands(image(), panel), 1 + 3 + 1 + 1 + 1 + 4 + 2);
    // Nothing reaches the last three columns of the window.
    EXPECT_EQ(inked_pixels(image(), QRect(591, 31, 3, 250)), 0);
    // Every line is there, in red or in the panel's blue.
    EXPECT_GT(pixels_of(image(), QRect(446, 50, 148, 50), QColor(250, 0, 0)), 300);
    EXPECT_GT(pixels_of(image(), QRect(446, 200, 148, 35), QColor(250, 0, 0)), 150);
    EXPECT_GT(pixels_of(image(), QRect(446, 105, 148, 95), QColor(90, 130, 210)), 400);
}

// Counts the zero's progress boxes shown while it lives.
struct ProgressBoxShowings : QObject {
    ProgressBoxShowings() { qApp->installEventFilter(this); }
    ~ProgressBoxShowings() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show &&
            dynamic_cast<meterdesk::ui::ZeroingProgressBox *>(watched) != nullptr)
            ++count;
        return false;
    }
    int count = 0;
};

TEST_F(MeterAppTest, ZeroShowsTheProgressBoxAndMarksTheSensorZeroed) {
    configure("power_dbm = off\n");
    start();
    ASSERT_TRUE(wait_measuring());
    EXPECT_FALSE(state().zero_done);

    MessageBoxAnswerer answerer(QMessageBox::Ok);
    // A fast zero can open and close its box between two polls on a busy machine: the box's
    // show event is what counts.
    ProgressBoxShowings showings;
    key(Qt::Key_Z);
    ASSERT_TRUE(wait([&] { return state().zero_done && !app->ui().progress_widget("ZeroingProgressBox"); }));
    EXPECT_EQ(showings.count, 1);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0], "Sensor Zero|Ensure no power is being applied while zeroing.");
    EXPECT_TRUE(wait([&] { return state().live_readout_enabled.load(); }));
}

TEST_F(MeterAppTest, AboutSensorDetailsAndPreset) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());

    QString app_revision, dll_revision;
    WhenShown<QDialog> about([&](QDialog &box) {
        if (auto *label = box.findChild<QLabel *>("id1527")) app_revision = label->text();
        if (auto *label = box.findChild<QLabel *>("id1528")) dll_revision = label->text();
        box.accept();
    });
    window().menu_action(meterdesk::kCmdAbout)->trigger();
    EXPECT_TRUE(about.fired());
    EXPECT_EQ(app_revision, "4.1");
    EXPECT_FALSE(dll_revision.isEmpty());

    MessageBoxAnswerer answerer(QMessageBox::Ok);
    window().menu_action(meterdesk::kCmdSensorDetails)->trigger();
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_TRUE(answerer.seen()[0].startsWith("Sensor Details|"));
    EXPECT_TRUE(answerer.seen()[0].contains("\n\nFirmware: "));
    EXPECT_TRUE(answerer.seen()[0].endsWith("\n\nProduct Serial Number: RX100001"));

    // Preset: the sensor goes and comes back with the defaults.
    click_button(9003);
    click_button(9005);
    ASSERT_EQ(state().meas_mode, meterdesk::kModeLinear);
    window().menu_action(meterdesk::kCmdPreset)->trigger();
    EXPECT_EQ(answerer.seen().last(), "Zyn Quorix USB Sensor|OK to preset?");
    ASSERT_TRUE(wait([&] {
        return state().meas_mode == meterdesk::kModeLog && state().resolution_places == 3 &&
               state().connection_state == meterdesk::kConnectionMeasuring;
    }));
}

// The sensor received `command` among its last 256 commands.
bool sensor_received(const std::string &command) {
    std::string text(32768, '\0');
    const int size = rfsim_get(0, "commands", text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(0, std::min<int>(size, 32767))));
    return ("\n" + text + "\n").find("\n" + command + "\n") != std::string::npos;
}

TEST_F(MeterAppTest, CalAdcAndClearEeSendTheirCommandsClearEeOnlyAfterOk) {
    // Paced like the real sensor, so that the reader's "ADC?" stream does not push the commands
    // out of the simulator's record before they are looked at.
    configure("timing = realistic\n");
    start();
    ASSERT_TRUE(wait_measuring());
    app->commands().command(40046); // Cal ADC
    EXPECT_TRUE(sensor_received("CAL"));

    MessageBoxAnswerer answerer(QMessageBox::Cancel);
    app->commands().command(40088); // Clear EE
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0], "Zyn Quorix USB Sensor|CAUTION\n\nThis will clear the sensor "
                                  "EE.\nCal data etc will be lost.");
    EXPECT_FALSE(sensor_received("CLR"));
    answerer.set_button(QMessageBox::Ok);
    app->commands().command(40088);
    EXPECT_TRUE(sensor_received("CLR"));
}

} // namespace
} // namespace meterdesk_test
