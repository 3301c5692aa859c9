// The USB EE viewer (resource "Usb_EE_ViewerBox", opened by the programmer's "Read"): every
// field of the connected sensor's bridge EEPROM, read through the session's bridge.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/core/sensor_takeover.h"

namespace meterdesk {

struct AppState;
class Ui;

namespace usb_ee_viewer_box {

inline constexpr const char *kResourceName = "Usb_EE_ViewerBox";
inline constexpr const char *kCaption = "USB EE Viewer";
inline constexpr const char *kMessageCaption = "USB EE Read";
inline constexpr int kList = 1448;
inline constexpr int kClose = 1449;

} // namespace usb_ee_viewer_box

class UsbEeViewerDialog {
  public:
    UsbEeViewerDialog(AppState &state, Ui &ui, TakeoverTiming timing = {});

    // Reads the EEPROM and fills the list. False, after telling the user why, when there is
    // nothing to show: the viewer is then not opened.
    bool open(Controls &controls);

    DialogAction clicked(Controls &controls, int id);

  private:
    AppState &state_;
    Ui &ui_;
    TakeoverTiming timing_;
};

} // namespace meterdesk
