// The factory tools in the running application: the equation parameters, the test exec
// settings and the test control panel with its fit check open from their commands, and a
// firmware download runs from the File menu to the sensor's reconnect.
#include "meterdesk/core/command_ids.h"
#include "meterdesk/factory/equation_dialogs.h"
#include "meterdesk/factory/firmware_download.h"
#include "meterdesk/factory/test_control_panel.h"
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/factory/equation_boxes.h"
#include "meterdesk/ui/factory/test_control_panel_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>

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

void save_screenshot(QWidget &widget, const QString &name) {
    QDir().mkpath(QString(METERDESK_SCREENSHOT_DIR));
    EXPECT_TRUE(widget.grab().save(QString(METERDESK_SCREENSHOT_DIR) + "/" + name + ".png"));
}

std::string sim_get(const char *key) {
    std::string value(1 << 16, '\0');
    const int length = rfsim_get(0, key, value.data(), static_cast<int>(value.size()));
    value.resize(static_cast<std::size_t>(std::max(length, 0)));
    return value;
}

// The meter started with --factory: the factory menu is installed and its items open the tools.
class FactoryDialogsWindowTest : public MeterAppTest {
  protected:
    void start_factory() {
        auto c = config();
        c.factory_menu = true;
        make(std::move(c));
        start();
        ASSERT_TRUE(wait_measuring());
    }
    void menu(int command_id) {
        QAction *action = window().menu_action(command_id);
        ASSERT_NE(action, nullptr) << command_id;
        ASSERT_TRUE(action->isEnabled()) << command_id;
        action->trigger();
    }
};

TEST_F(FactoryDialogsWindowTest, EquationDialogsOpenFromTheirCommands) {
    configure();
    start_factory();

    WhenShown<meterdesk::ui::EquationPramsBox> prams([&](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Equation Parameters");
        auto *list = child<QListWidget>(dialog, meterdesk::equation_prams_box::kList);
        EXPECT_EQ(list->count(), 20);
        EXPECT_EQ(list->item(0)->text(), "Polynomial");
        EXPECT_TRUE(list->item(1)->text().startsWith("Pram  1 = 0.45"));
        save_screenshot(dialog, "equation_prams_box");
        child<QAbstractButton>(dialog, meterdesk::equation_prams_box::kClose)->click();
    });
    menu(40057);
    EXPECT_TRUE(prams.fired());

    WhenShown<meterdesk::ui::TestExecSettingsBox> settings([&](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Test Exec Settings");
        EXPECT_EQ(child<QLineEdit>(dialog, meterdesk::test_exec_box::kCheckLimit)->text(),
                  "0.050dB");
        save_screenshot(dialog, "test_exec_settings_box");
        child<QAbstractButton>(dialog, meterdesk::test_exec_box::kCancel)->click();
    });
    menu(40089);
    EXPECT_TRUE(settings.fired());
}

TEST_F(FactoryDialogsWindowTest, TestControlPanelAndItsFitCheck) {
    configure("serial = RXZ0042\n");
    start_factory();
    const auto levmar = home.path() / "Levmar";
    std::filesystem::create_directories(levmar);
    std::ofstream(levmar / "data_to_fit.dat") << "-25 0.0001\n-24 0.00013\n-23 0.00016\n";
    std::ofstream(levmar / "fn_dn_ou.dat")
        << "x\n\n0.35 47.0 -0.17\n\n38.9 0.66 -0.15 1.99\n\n-49.5 0.98 0.89\n\n0 1 1\n";

    bool checked = false;
    WhenShown<meterdesk::ui::EquationCheckBox> check([&](QDialog &dialog) {
        checked = true;
        EXPECT_EQ(dialog.windowTitle(), "Equation Fit");
        auto *list = child<QListWidget>(dialog, meterdesk::equation_check_box::kList);
        EXPECT_EQ(list->count(), 3 + 9);
        save_screenshot(dialog, "equation_check_box");
        dialog.accept();
    });
    WhenShown<meterdesk::ui::TestControlPanelBox> panel([&](QDialog &dialog) {
        namespace ids = meterdesk::test_panel;
        EXPECT_EQ(dialog.windowTitle(), "Sensor Calibration & Test Control Panel");
        EXPECT_EQ(child<QLineEdit>(dialog, ids::kType)->text(), "RX4LO");
        EXPECT_EQ(child<QLineEdit>(dialog, ids::kSerial)->text(), "RXZ0042");
        child<QAbstractButton>(dialog, ids::kSerialFileNames)->click();
        EXPECT_TRUE(child<QLineEdit>(dialog, ids::kResultsEdit)->text().endsWith("RXZ0042.txt"));
        save_screenshot(dialog, "test_control_panel");
        child<QAbstractButton>(dialog, ids::kCheck)->click();
        child<QAbstractButton>(dialog, ids::kClose)->click();
    });
    menu(40067);
    EXPECT_TRUE(panel.fired());
    EXPECT_TRUE(checked);
    EXPECT_TRUE(state().serial_file_names);
}

TEST_F(FactoryDialogsWindowTest, FirmwareDownloadFromTheFileMenu) {
    configure("timing = realistic\nlatency_ms = 2\n");
    start_factory();
    const auto source = app_dir.path() / "Firmware" / "fw.hex";
    std::filesystem::create_directories(source.parent_path());
    std::ofstream(source) << ":020000040000FA\n"
                             ":10100000A5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A590\n"
                             ":00000001FF\n";
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    WhenShown<QFileDialog> dialog([&](QFileDialog &d) {
        EXPECT_EQ(d.directory().absolutePath().toStdString(), source.parent_path().string());
        d.selectFile(QString::fromStdString(source.string()));
        static_cast<QDialog &>(d).accept();
    });
    const int frames = painter().draw_count(meterdesk::RepaintRequest::kFrame);
    // The progress box, while the download runs (a few hundred lines at 2 ms each).
    bool box_seen = false;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (box_seen || !widget->isVisible() ||
                widget->objectName() != meterdesk::kFirmwareProgressBox)
                continue;
            box_seen = true;
            EXPECT_NE(widget->findChild<QProgressBar *>(control_name(1166)), nullptr);
            save_screenshot(*widget, "firmware_progress_box");
        }
    });
    watch.start();
    menu(meterdesk::kCmdFirmwareDownload);
    ASSERT_TRUE(dialog.fired());
    ASSERT_TRUE(wait([&] {
        return sim_get("firmware_lines").size() > 0 &&
               painter().draw_count(meterdesk::RepaintRequest::kFrame) > frames;
    }));
    ASSERT_TRUE(wait_measuring());
    ASSERT_GE(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0].toStdString(),
              std::string("Sensor Firmware Download|") + meterdesk::kFirmwareCaution);
    EXPECT_EQ(answerer.seen().size(), 1) << answerer.seen().join("\n").toStdString();
    std::ifstream copy(meterdesk::firmware_copy_path());
    const std::string text{std::istreambuf_iterator<char>(copy), {}};
    EXPECT_EQ(sim_get("firmware_lines"), text);
    EXPECT_TRUE(box_seen);
    EXPECT_TRUE(wait_next_readout(15000)); // the sensor measures again after the reconnect
    screenshot("firmware_download_done");
}

} // namespace
} // namespace meterdesk_test
