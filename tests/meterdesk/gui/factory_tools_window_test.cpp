// The calibration support, USB EE and FLASH tools in the running application on the simulated
// sensor: each opens from its command id (the date stamps also from Ctrl+X) with its controls
// named by id, and the USB EE programmer writes a bridge and its viewer reads it back.
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/command_handler.h"
#include "meterdesk/ui/factory/calibration_boxes.h"
#include "meterdesk/ui/factory/pic_flash_program_box.h"
#include "meterdesk/ui/factory/usb_ee_boxes.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>

#include <rfsim/rfsim_bus.h>

#include <fstream>
#include <vector>

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

struct DialogCase {
    int command;
    const char *resource;
    const char *caption;
    std::vector<int> ids;
    int close_id;
};

class FactoryToolsWindowTest : public MeterAppTest {
  protected:
    // The program as --factory starts it: the factory menu in the measurement view.
    void start_factory() {
        auto c = config();
        c.factory_menu = true;
        make(std::move(c));
        start();
    }
};

TEST_F(FactoryToolsWindowTest, EachDialogOpensFromItsFactoryMenuItem) {
    configure("description = USB Power Sensor RX4LO\n");
    start_factory();
    ASSERT_TRUE(wait_measuring());
    const std::vector<DialogCase> cases = {
        {40082, "DateStampsBox", "Calibration Date Stamps", {1711, 1712, 1713, 1714}, 1715},
        {40064, "DiodeSerialNumberBox", "Diode Serial Number", {1721, 1722, 1723}, 1724},
        {40034,
         "TempCompBox",
         "Temperature Compensation",
         {1731, 1732, 1733, 1734, 1736, 1737},
         1735},
        {40139,
         "LinCorPramsBox",
         "Linearity Correction (12GHz to 18.5GHz)",
         {1741, 1742, 1744},
         1743},
        {40153, "FILO_SizeBox", "Moving Filter Size (FILO)", {1751, 1752, 1753, 1754}, 1755},
        {40041,
         "FilterSettingsBox",
         "Filter Settings",
         {1761, 1762, 1763, 1764, 1765, 1766, 1767, 1768, 1769, 1773, 1774},
         1775},
        {40060,
         "USB_EE_ProgBox",
         "USB EE Programmer",
         {1445, 1403, 1446, 1686, 1447, 1443, 1444},
         1442},
        {40059,
         "PicFlashProgramBox",
         "Microcontorller FLASH Programmer",
         {1452, 1403, 1402, 1453, 1450, 1451},
         1441},
    };
    for (const auto &c : cases) {
        bool seen = false;
        WhenShown<QDialog> shown([&](QDialog &dialog) {
            seen = true;
            EXPECT_EQ(dialog.objectName(), c.resource);
            EXPECT_EQ(dialog.windowTitle(), c.caption);
            EXPECT_TRUE(dialog.isModal());
            for (int id : c.ids) child(dialog, id);
            save_screenshot(dialog, QString("factory_") + c.resource);
            click(dialog, c.close_id);
        });
        QAction *item = window().menu_action(c.command);
        ASSERT_NE(item, nullptr) << c.command;
        ASSERT_TRUE(item->isEnabled()) << c.command;
        item->trigger();
        EXPECT_TRUE(seen) << c.resource;
    }
}

TEST_F(FactoryToolsWindowTest, DateStampsAlsoFromCtrlX) {
    configure();
    start_factory();
    ASSERT_TRUE(wait_measuring());
    set("stamp.eq", "150611");
    bool seen = false;
    WhenShown<meterdesk::ui::DateStampsBox> shown([&](QDialog &dialog) {
        seen = true;
        EXPECT_EQ(child<QLineEdit>(dialog, 1711)->text(), "15-06-2011");
        EXPECT_EQ(child<QLineEdit>(dialog, 1712)->text(), "< Not set yet >");
        EXPECT_EQ(child<QLineEdit>(dialog, 1713)->text(), "No TCD file");
        save_screenshot(dialog, "factory_date_stamps_filled");
        click(dialog, 1715);
    });
    key(Qt::Key_X);
    EXPECT_TRUE(seen);
}

TEST_F(FactoryToolsWindowTest, UsbEeProgramAndViewRoundTrip) {
    configure("serial = RXZ0042\neeprom = ft232r\n");
    start_factory();
    ASSERT_TRUE(wait_measuring());
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    bool programmed = false;
    {
        WhenShown<meterdesk::ui::UsbEeProgBox> shown([&](QDialog &dialog) {
            programmed = true;
            EXPECT_EQ(child<QComboBox>(dialog, 1446)->currentIndex(), 3);
            auto *serial = child<QLineEdit>(dialog, 1445);
            EXPECT_EQ(serial->text(), "RXZ0042");
            serial->selectAll();
            QTest::keyClicks(serial, "RXZ0043");
            click(dialog, 1447);
        });
        app->commands().command(40060);
    }
    ASSERT_TRUE(programmed);
    EXPECT_EQ(state().sensor_serial.get(), "RXZ0043");
    ASSERT_GE(answerer.seen().size(), 2);
    EXPECT_TRUE(answerer.seen().back().startsWith("USB EE Program|Programmed USB EE successfully."))
        << answerer.seen().back().toStdString();

    bool viewed = false;
    WhenShown<meterdesk::ui::UsbEeViewerBox> viewer([&](QDialog &dialog) {
        viewed = true;
        auto *list = child<QListWidget>(dialog, 1448);
        EXPECT_EQ(list->item(0)->text(), "USB EE Data Read From Serial Number RXZ0043");
        save_screenshot(dialog, "factory_usb_ee_viewer_filled");
        click(dialog, 1449);
    });
    WhenShown<meterdesk::ui::UsbEeProgBox> programmer([&](QDialog &dialog) {
        save_screenshot(dialog, "factory_usb_ee_programmer_filled");
        click(dialog, 1443); // Read: the viewer runs inside
        click(dialog, 1442);
    });
    app->commands().command(40060);
    EXPECT_TRUE(viewed);
}

TEST_F(FactoryToolsWindowTest, FlashRunStreamsTheFileToTheProgrammer) {
    ASSERT_GE(rfsim_configure("[device]\n[device]\nkind = programmer\n"), 0) << rfsim_error();
    start_factory();
    ASSERT_TRUE(wait_measuring());
    const auto file = app_dir.path() / "firmware.hex";
    std::ofstream(file) << ":020000040000FA\n"
                           ":10000000000102030405060708090A0B0C0D0E0F78\n"
                           ":02400E00FF3A77\n"
                           ":00000001FF\n";
    state().flash_hex_path = file.string();
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    bool seen = false;
    WhenShown<meterdesk::ui::PicFlashProgramBox> shown([&](QDialog &dialog) {
        seen = true;
        EXPECT_EQ(child<QLineEdit>(dialog, 1452)->text().toStdString(), file.string());
        click(dialog, 1453);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return !answerer.seen().isEmpty() &&
                       answerer.seen().back().startsWith("FLASH Programming|");
            },
            10000));
        EXPECT_EQ(child<QLineEdit>(dialog, 1403)->text(), "PIC PROGRAMMER V2.1");
        save_screenshot(dialog, "factory_flash_programmer_after_run");
        click(dialog, 1441);
    });
    window().menu_action(40059)->trigger();
    ASSERT_TRUE(seen);
    ASSERT_EQ(answerer.seen().size(), 2);
    EXPECT_TRUE(answerer.seen()[0].startsWith("MicroController FLASH Programmer|CAUTION"));
    EXPECT_EQ(answerer.seen()[1].toStdString(),
              "FLASH Programming|FLASH programming complete.\n3 packets sent to PIC PROGRAMMER "
              "V2.1.");
    EXPECT_FALSE(state().programmer_connected);
}

TEST_F(FactoryToolsWindowTest, FlashFileDialogOffersHexFilesInEitherCaseAndCancelKeepsTheFolder) {
    configure();
    start_factory();
    ASSERT_TRUE(wait_measuring());
    bool asked = false;
    WhenShown<meterdesk::ui::PicFlashProgramBox> shown([&](QDialog &dialog) {
        WhenShown<QFileDialog> files([&](QFileDialog &d) {
            asked = true;
            EXPECT_EQ(d.nameFilters(), QStringList{"Hex Files (*.HEX *.hex)"});
            d.reject();
        });
        click(dialog, 1402);
        const QString shown_path = child<QLineEdit>(dialog, 1452)->text();
        EXPECT_TRUE(shown_path.endsWith("firmware", Qt::CaseInsensitive))
            << shown_path.toStdString();
        click(dialog, 1441);
    });
    window().menu_action(40059)->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(QString::fromStdString(state().flash_hex_path.get())
                    .endsWith("firmware", Qt::CaseInsensitive));
}

} // namespace
} // namespace meterdesk_test
