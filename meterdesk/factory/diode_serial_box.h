// The diode serial number dialog (resource "DiodeSerialNumberBox", command 40064): the serial
// number and K-factor of the sensor's detector diode, written into the sensor's store and read
// back before the dialog reports success.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/core/sensor_takeover.h"

namespace meterdesk {

struct AppState;
class Ui;

namespace diode_serial_box {

inline constexpr const char *kResourceName = "DiodeSerialNumberBox";
inline constexpr const char *kCaption = "Diode Serial Number";
inline constexpr int kSerialEdit = 1721;  // "Diode Serial Number"
inline constexpr int kKFactorEdit = 1722; // "Diode K-Factor"
inline constexpr int kEnter = 1723;
inline constexpr int kCancel = 1724;

} // namespace diode_serial_box

class DiodeSerialDialog {
  public:
    DiodeSerialDialog(AppState &state, Ui &ui, TakeoverTiming timing = {});

    // Shows the diode data read from the sensor at its connect.
    void open(Controls &controls);

    // "Enter" validates, asks, writes and reads back; kClose only after a verified write.
    DialogAction clicked(Controls &controls, int id);

  private:
    DialogAction enter(Controls &controls);

    AppState &state_;
    Ui &ui_;
    TakeoverTiming timing_;
};

} // namespace meterdesk
