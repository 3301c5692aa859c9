#include "meterdesk/factory/usb_ee_viewer.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/sensor_exchange.h"
#include "meterdesk/factory/usb_ee_record.h"

#include "link/link.h"

#include <rfsense/rfsense.h>

namespace meterdesk {

namespace ids = usb_ee_viewer_box;
namespace link = rfsense::link;

UsbEeViewerDialog::UsbEeViewerDialog(AppState &state, Ui &ui, TakeoverTiming timing)
    : state_(state), ui_(ui), timing_(timing) {}

bool UsbEeViewerDialog::open(Controls &controls) {
    std::optional<link::UsbEepromRecord> record;
    std::string failure;
    if (state_.sensor_connected) {
        SensorTakeover takeover(state_, timing_, true);
        FT_HANDLE handle = nullptr;
        if (takeover && SensorUsbHandle(takeover.sensor(), &handle) != 0 && handle != nullptr) {
            ReaderPause pause(takeover.sensor());
            auto &device = *static_cast<link::Device *>(handle);
            link::UsbEepromRecord read;
            const link::Status status = device.ee_read(read);
            if (status == link::Status::ok) {
                record = read;
            } else {
                failure = device.last_error();
                if (failure.empty()) failure = link::status_text(status);
            }
        }
    }
    if (!record && failure.empty()) {
        ui_.message(ids::kMessageCaption, "No sensors found.", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return false;
    }
    if (!record) {
        ui_.message(ids::kMessageCaption, "The USB EE could not be read.\n\n" + failure,
                    MessageButtons::kOk, MessageIcon::kExclamation);
        return false;
    }
    controls.set_items(ids::kList, usb_ee_viewer_lines(*record));
    return true;
}

DialogAction UsbEeViewerDialog::clicked(Controls &, int id) {
    return id == ids::kClose ? DialogAction::kClose : DialogAction::kStay;
}

} // namespace meterdesk
