#include "meterdesk/ui/factory/factory_dialog_set.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/firmware_download.h"
#include "meterdesk/ui/dialog_set.h"
#include "meterdesk/ui/factory/calibration_boxes.h"
#include "meterdesk/ui/factory/equation_boxes.h"
#include "meterdesk/ui/factory/firmware_progress_box.h"
#include "meterdesk/ui/factory/flash_prog_progress_box.h"
#include "meterdesk/ui/factory/pic_flash_program_box.h"
#include "meterdesk/ui/factory/test_control_panel_box.h"
#include "meterdesk/ui/factory/usb_ee_boxes.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/qt_ui.h"

#include "link/link.h"

#include <memory>

namespace meterdesk::ui {

namespace {

// Without a sound device the download's end is silent.
class NoSound : public Sound {
  public:
    void beep(int, int) override {}
    void play_wav(std::string_view) override {}
};

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
    MeasurementThread &measurement = context.measurement;

    // 40030: the firmware download job lives as long as the registry (its worker is the
    // FirmwareDownloadThread).
    static NoSound no_sound;
    auto download = std::make_shared<FirmwareDownload>(
        state, ui, context.sound != nullptr ? *context.sound : no_sound);
    panels.add_dialog(kCmdFirmwareDownload,
                      [download](QWidget *) { download->download_command(); });
    if (auto *qt_ui = dynamic_cast<QtUi *>(&ui))
        qt_ui->set_progress_box_factory(kFirmwareProgressBox, make_firmware_progress_box);

    panels.add_dialog(40057, [&state](QWidget *owner) {
        EquationPramsBox box(state, owner);
        box.run();
    });
    panels.add_dialog(40089, [&state, &ui](QWidget *owner) {
        TestExecSettingsBox box(state, ui, owner);
        box.run();
    });
    panels.add_dialog(40067, [&state, &ui, &measurement](QWidget *owner) {
        TestControlPanelLinks links;
        links.open_equation_check = [&state, &ui, owner] {
            EquationCheckBox check(state, ui, owner);
            check.run();
        };
        links.force_disconnect = [&measurement] { measurement.force_disconnect(); };
        {
            TestControlPanelBox box(state, ui, std::move(links), owner);
            box.run();
        }
        if (state.meas_mode == kModeTemperature) ui.repaint(RepaintRequest::kTemperatureLabels);
    });

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
