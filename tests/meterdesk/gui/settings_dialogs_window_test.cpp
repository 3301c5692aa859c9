// The measurement settings' modal dialogs in the running application: the frequency box from
// toolbar button 9002 (Apply moves an open control panel, the sensor's loss closes the box),
// the cal-factor table editor from command 40045, and Save / Recall Setup from the File menu.
#include "meterdesk/core/command_ids.h"
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/command_handler.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/settings/freq_cf_table_box.h"
#include "meterdesk/ui/settings/measurement_control_panel.h"
#include "meterdesk/ui/settings/measurement_frequency_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include "meterdesk/base/paths.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>
#include <fstream>

namespace meterdesk_test {
namespace {

using meterdesk::ui::control_name;

template <typename Widget = QWidget>
Widget *child(QWidget &dialog, int id) {
    auto *widget = dialog.findChild<Widget *>(control_name(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}

void click(QWidget &dialog, int id) {
    if (auto *button = child<QAbstractButton>(dialog, id))
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void save_screenshot(QWidget &widget, const QString &name) {
    EXPECT_TRUE(widget.grab().save(QString(METERDESK_SCREENSHOT_DIR) + "/" + name + ".png"));
}

class SettingsDialogsWindowTest : public MeterAppTest {
  protected:
    QWidget *panel() { return app->panels().panel(meterdesk::ui::kControlPanel); }
};

TEST_F(SettingsDialogsWindowTest, FrequencyBoxFromItsButtonMovesTheOpenPanel) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    key(Qt::Key_C);
    ASSERT_TRUE(wait([&] { return panel()->isVisible(); }));

    bool seen = false;
    WhenShown<meterdesk::ui::MeasurementFrequencyBox> box([&](QDialog &dialog) {
        seen = true;
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(dialog.windowTitle(), "Measurement Frequency");
        EXPECT_TRUE(state().frequency_box_open);
        auto *edit = child<QLineEdit>(dialog, 1063);
        EXPECT_EQ(edit->text(), "50.0");
        save_screenshot(dialog, "frequency_box");
        edit->selectAll();
        QTest::keyClicks(edit, "2.4");
        click(dialog, 1301);                   // GHz
        QTest::keyClick(edit, Qt::Key_Return); // Apply is the default button
    });
    click_button(9002);
    ASSERT_TRUE(seen);
    EXPECT_EQ(state().meas_frequency_hz, 2.4e9);
    EXPECT_FALSE(state().frequency_box_open);
    EXPECT_EQ(child<QLineEdit>(*panel(), 1063)->text(), "2.40");
    EXPECT_TRUE(child<QAbstractButton>(*panel(), 1301)->isChecked());
}

TEST_F(SettingsDialogsWindowTest, FrequencyBoxEndsWithTheSensor) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    bool seen = false;
    QTimer give_up;
    give_up.setSingleShot(true);
    QObject::connect(&give_up, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget()) modal->close();
        ADD_FAILURE() << "the box stayed open without its sensor";
    });
    WhenShown<meterdesk::ui::MeasurementFrequencyBox> box([&](QDialog &) {
        seen = true;
        set("plugged", "0");
        give_up.start(10000);
    });
    click_button(9002);
    give_up.stop();
    ASSERT_TRUE(seen);
    EXPECT_FALSE(state().frequency_box_open);
    EXPECT_FALSE(state().sensor_connected);

    // Without a sensor the button is greyed, and the command opens nothing.
    app->commands().command(9002);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(SettingsDialogsWindowTest, TableEditorEditsAndSavesTheTableIntoTheSensor) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    const std::string serial = state().sensor_serial.get();
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    bool seen = false;
    WhenShown<meterdesk::ui::FreqCfTableBox> editor([&](QDialog &dialog) {
        seen = true;
        EXPECT_EQ(dialog.windowTitle(), "Frequency-Cal Factor Table");
        auto *table = child<QListWidget>(dialog, 1348);
        EXPECT_EQ(table->count(), 30);
        EXPECT_FALSE(child<QWidget>(dialog, 1354)->isEnabled());
        EXPECT_TRUE(child<QPushButton>(dialog, 1349)->isDefault()) << "Enter presses Edit";
        QTest::mouseClick(child<QAbstractButton>(dialog, 1349), Qt::LeftButton); // Edit
        EXPECT_TRUE(child<QWidget>(dialog, 1354)->isEnabled());
        auto *frequencies = child<QComboBox>(dialog, 1350);
        frequencies->setCurrentIndex(4); // 1 GHz, as a user's choice reports it
        emit frequencies->activated(4);
        auto *factor = child<QLineEdit>(dialog, 1351);
        EXPECT_EQ(dialog.focusWidget(), factor);
        factor->selectAll();
        QTest::keyClicks(factor, "105");
        QTest::mouseClick(child<QAbstractButton>(dialog, 1247), Qt::LeftButton); // Enter
        EXPECT_EQ(table->item(4)->text(), "1.0GHz\t105.0%");
        save_screenshot(dialog, "cal_factor_table_editor");
        QTest::mouseClick(child<QAbstractButton>(dialog, 1354), Qt::LeftButton); // Save Table
    });
    app->commands().command(40045);
    ASSERT_TRUE(seen);
    ASSERT_GE(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0],
              "Frequency/Cal Factor Table|This action will permanently\nover-write "
              "existing table\nin sensor EE.");
    EXPECT_EQ(answerer.seen().size(), 1) << answerer.seen().join("; ").toStdString();
    // The sensor was disconnected and comes back with the table it now holds.
    ASSERT_TRUE(wait([&] {
        return state().sensor_connected && std::abs(state().cf_table_factor[4] - 1.05) < 1e-6;
    }));
    EXPECT_EQ(state().sensor_serial.get(), serial);
}

TEST_F(SettingsDialogsWindowTest, SaveAndRecallFromTheFileMenu) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    const std::filesystem::path folder = meterdesk::paths::setup_folder(state().app_dir.get());
    ASSERT_TRUE(std::filesystem::is_directory(folder));
    const std::filesystem::path file = folder / "bench"; // a name without a dot
    std::ofstream(file) << "an older setup";

    // Save: the dialog starts in the setup folder, lists every file and asks nothing itself;
    // the program asks before it replaces the file.
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    bool saw_save = false;
    WhenShown<QFileDialog> save_dialog([&](QFileDialog &d) {
        saw_save = true;
        EXPECT_EQ(d.directory().absolutePath().toStdString(), folder.string());
        EXPECT_EQ(d.nameFilters(), QStringList{"All Files (*)"});
        EXPECT_TRUE(d.testOption(QFileDialog::DontConfirmOverwrite));
        d.selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog &>(d).accept();
    });
    state().trace_samples = 123;
    window().menu_action(meterdesk::kCmdSaveSetup)->trigger();
    ASSERT_TRUE(saw_save);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0].toStdString(),
              "Save Setup To File|File " + file.string() + " alreday exists.\nOK to replace?");
    std::ifstream in(file, std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(saved.starts_with("RX4LOKAN SETUP FILE")) << saved;

    // Recall from the File menu: the setup comes back and the program says so.
    state().trace_samples = 10;
    WhenShown<QFileDialog> open_dialog([&](QFileDialog &d) {
        d.selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog &>(d).accept();
    });
    window().menu_action(meterdesk::kCmdRecallSetup)->trigger();
    EXPECT_TRUE(open_dialog.fired());
    EXPECT_EQ(state().trace_samples, 123);
    ASSERT_EQ(answerer.seen().size(), 2);
    EXPECT_EQ(answerer.seen()[1],
              "Recall Setup From File|New settings loaded.\nSensor zero recommended");
}

} // namespace
} // namespace meterdesk_test
