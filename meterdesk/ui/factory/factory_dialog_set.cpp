#include "meterdesk/ui/factory/factory_dialog_set.h"

#include "meterdesk/ui/dialog_set.h"
#include "meterdesk/ui/factory/calibration_boxes.h"
#include "meterdesk/ui/factory/flash_prog_progress_box.h"
#include "meterdesk/ui/factory/pic_flash_program_box.h"
#include "meterdesk/ui/factory/usb_ee_boxes.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/qt_ui.h"

#include "link/link.h"

namespace meterdesk::ui {

namespace {

constexpr int kCmdTempComp = 40034;
constexpr int kCmdFilterSettings = 40041;
constexpr int kCmdProgramFlash = 40059;
constexpr int kCmdProgramUsbEe = 40060;
constexpr int kCmdDiodeSerial = 40064;
constexpr int kCmdDateStamps = 40082;
constexpr int kCmdLinearity = 40139;
constexpr int kCmdFiloSize = 40153;

} // namespace

void register_factory_dialogs(PanelRegistry &panels, const DialogContext &context) {
    AppState &state = context.state;
    Ui &ui = context.ui;
    panels.add_dialog(kCmdDateStamps, [&state](QWidget *owner) {
        DateStampsBox box(state, owner);
        box.run();
    });
    panels.add_dialog(kCmdDiodeSerial, [&state, &ui](QWidget *owner) {
        DiodeSerialNumberBox box(state, ui, owner);
        box.run();
    });
    panels.add_dialog(kCmdTempComp, [&state, &ui](QWidget *owner) {
        TempCompBox box(state, ui, owner);
        box.run();
    });
    panels.add_dialog(kCmdLinearity, [&state, &ui](QWidget *owner) {
        LinCorPramsBox box(state, ui, owner);
        box.run();
    });
    panels.add_dialog(kCmdFiloSize, [&state, &ui](QWidget *owner) {
        FiloSizeBox box(state, ui, owner);
        box.run();
    });
    panels.add_dialog(kCmdFilterSettings, [&state, &ui](QWidget *owner) {
        FilterSettingsBox box(state, ui, owner);
        box.run();
    });
    // The bridges are reached through the program's own link layer, which shares the bus with
    // the sensor library's.
    panels.add_dialog(kCmdProgramUsbEe, [&state, &ui](QWidget *owner) {
        UsbEeProgBox box(state, ui, rfsense::link::active_bus(), owner);
        box.run();
    });
    // The FLASH programmer streams on the composition root's FlashProgrammerThread.
    if (FlashProgrammer *programmer = context.flash_programmer) {
        panels.add_dialog(kCmdProgramFlash, [&state, &ui, programmer](QWidget *owner) {
            PicFlashProgramBox box(state, ui, *programmer, owner);
            box.run();
        });
        if (auto *qt_ui = dynamic_cast<QtUi *>(&ui))
            qt_ui->set_progress_box_factory(pic_flash_box::kProgressBox,
                                            make_flash_prog_progress_box);
    }
}

} // namespace meterdesk::ui
