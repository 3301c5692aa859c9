// The Qt faces of the USB EE programmer ("USB_EE_ProgBox") and its viewer
// ("Usb_EE_ViewerBox"). The decisions are UsbEeProgrammerDialog's and UsbEeViewerDialog's.
#pragma once

#include "meterdesk/factory/usb_ee_programmer.h"
#include "meterdesk/factory/usb_ee_viewer.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk::ui {

class UsbEeViewerBox : public QDialog {
    Q_OBJECT
  public:
    UsbEeViewerBox(AppState &state, Ui &ui, QWidget *owner = nullptr);
    // Reads the EEPROM; false (the user told why) when there is nothing to show.
    bool load();
    // load(), then the viewer until it is closed.
    int run();

  private:
    UsbEeViewerDialog logic_;
    QtControls controls_;
};

class UsbEeProgBox : public QDialog {
    Q_OBJECT
  public:
    UsbEeProgBox(AppState &state, Ui &ui, rfsense::link::Bus &bus, QWidget *owner = nullptr);
    int run();

  private:
    void clicked(int id);

    AppState &state_;
    Ui &ui_;
    UsbEeProgrammerDialog logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
