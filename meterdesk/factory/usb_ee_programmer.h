// The USB EE programmer (resource "USB_EE_ProgBox", command 40060): writes the configuration
// EEPROM of a sensor's USB bridge (manufacturer, manufacturer id, description, serial number),
// through the session's bridge when a sensor is connected, else through the first attached
// bridge that belongs to a sensor. Nothing is written without a question, into a bridge whose
// chip this program cannot verify, or with strings the EEPROM cannot hold; every write is read
// back and compared, and the outcome names what the bridge now holds.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/core/sensor_takeover.h"

namespace rfsense::link {
class Bus;
class Device;
struct UsbEepromRecord;
} // namespace rfsense::link

namespace meterdesk {

struct AppState;
class Ui;
enum class BrandRow;

namespace usb_ee_prog_box {

inline constexpr const char *kResourceName = "USB_EE_ProgBox";
inline constexpr const char *kCaption = "USB EE Programmer";
inline constexpr const char *kMessageCaption = "USB EE Program";
inline constexpr int kSerialEdit = 1445;
inline constexpr int kManufacturerEdit = 1403; // read-only
inline constexpr int kDescriptionList = 1446;
inline constexpr int kZynLabel = 1686; // "Zyn Quorix"
inline constexpr int kProgram = 1447;
inline constexpr int kRead = 1443; // opens the viewer (the Qt dialog does)
inline constexpr int kHelp = 1444; // no action
inline constexpr int kCancel = 1442;

} // namespace usb_ee_prog_box

class UsbEeProgrammerDialog {
  public:
    UsbEeProgrammerDialog(AppState &state, Ui &ui, rfsense::link::Bus &bus,
                          TakeoverTiming timing = {});

    void open(Controls &controls);

    // The user chose a description.
    void description_chosen(Controls &controls);

    // "Zyn Quorix" (arrives with the box showing its new state), "Program", "Cancel".
    DialogAction clicked(Controls &controls, int id);

  private:
    DialogAction program(Controls &controls);
    // Programs one bridge; true after a verified write. `device_text` names the bridge in the
    // question when it was found on the bus rather than through the session.
    bool program_bridge(rfsense::link::Device &device, const rfsense::link::UsbEepromRecord &record,
                        const std::string &device_text);
    void refuse(const std::string &text);

    AppState &state_;
    Ui &ui_;
    rfsense::link::Bus &bus_;
    TakeoverTiming timing_;
};

} // namespace meterdesk
