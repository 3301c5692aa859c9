#include "meterdesk/factory/usb_ee_programmer.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/search_hold.h"
#include "meterdesk/factory/sensor_exchange.h"
#include "meterdesk/factory/usb_ee_record.h"

#include "link/link.h"
#include "link/sensor_bridge.h"

#include <rfsense/rfsense.h>

#include <memory>

namespace meterdesk {

namespace ids = usb_ee_prog_box;
namespace link = rfsense::link;

namespace {

constexpr const char *kNoSensorsFound = "No sensors found.";
constexpr const char *kNothingWritten = "\n\nNothing was written.";

std::string chip_name(std::uint32_t type) {
    switch (type) {
    case link::kChipFt232r:
        return "FT232R";
    case link::kChipFt2232h:
        return "FT2232H";
    case link::kChipFt232h:
        return "FT232H";
    case link::kChipFtx:
        return "FT-X";
    default:
        return "type " + std::to_string(type);
    }
}

// The sentence of a failed link call, or the status's own when the device has none.
std::string sentence(const link::Device &device, link::Status status) {
    const std::string text = device.last_error();
    return text.empty() ? link::status_text(status) : text;
}

// What the bridge holds now, read afresh.
std::string now_holds(link::Device &device) {
    link::UsbEepromRecord held;
    if (device.ee_read(held) != link::Status::ok)
        return "The EEPROM of the USB bridge cannot be read: it may be blank.";
    return "The USB bridge now holds: manufacturer \"" + held.manufacturer + "\", description \"" +
           held.description + "\", serial number \"" + held.serial_number + "\".";
}

bool known_sensor(const link::UsbEepromRecord &present) {
    const std::string &id = present.manufacturer_id;
    return id.starts_with("RX") || id.starts_with("XR") || id.starts_with("20");
}

} // namespace

UsbEeProgrammerDialog::UsbEeProgrammerDialog(AppState &state, Ui &ui, link::Bus &bus,
                                             TakeoverTiming timing)
    : state_(state), ui_(ui), bus_(bus), timing_(timing) {}

void UsbEeProgrammerDialog::open(Controls &controls) {
    controls.set_text(ids::kManufacturerEdit, state_.brand_label.get());
    controls.set_text(ids::kSerialEdit, state_.sensor_serial.get());
    controls.set_items(ids::kDescriptionList, usb_ee_model_table());
    const int model = state_.model_index;
    int entry = -1;
    if (model >= kModelRx1 && model <= kModelRx5)
        entry = state_.brand_marrick ? model + kFirstMarrickModel : model;
    controls.set_selection(ids::kDescriptionList, entry);
    controls.set_checked(ids::kZynLabel, state_.zyn_label);
    controls.set_enabled(ids::kZynLabel, entry < kFirstMarrickModel);
}

void UsbEeProgrammerDialog::description_chosen(Controls &controls) {
    const int entry = controls.selection(ids::kDescriptionList);
    if (entry < 0) return;
    const BrandRow row = brand_row(entry, state_.zyn_label);
    controls.set_enabled(ids::kZynLabel, entry < kFirstMarrickModel);
    controls.set_text(ids::kManufacturerEdit, brand_row_text(row).manufacturer);
    controls.set_text(ids::kSerialEdit, reprefix_serial(controls.text(ids::kSerialEdit), row));
}

DialogAction UsbEeProgrammerDialog::clicked(Controls &controls, int id) {
    switch (id) {
    case ids::kZynLabel:
        state_.zyn_label = controls.checked(ids::kZynLabel);
        description_chosen(controls);
        break;
    case ids::kProgram:
        return program(controls);
    case ids::kCancel:
        return DialogAction::kClose;
    default:
        break;
    }
    return DialogAction::kStay;
}

void UsbEeProgrammerDialog::refuse(const std::string &text) {
    ui_.message(ids::kMessageCaption, text, MessageButtons::kOk, MessageIcon::kExclamation);
}

DialogAction UsbEeProgrammerDialog::program(Controls &controls) {
    const int entry = controls.selection(ids::kDescriptionList);
    if (entry < 0) {
        refuse("Select a description first.");
        return DialogAction::kStay;
    }
    const BrandRow row = brand_row(entry, state_.zyn_label);
    const std::string serial = controls.text(ids::kSerialEdit);
    if (!serial_fits_row(serial, row)) {
        refuse(brand_row_text(row).invalid_serial);
        controls.set_focus(ids::kSerialEdit);
        return DialogAction::kStay;
    }
    const link::UsbEepromRecord record = usb_ee_record(row, entry, serial);

    bool programmed = false;
    bool bridge_found = false;
    if (state_.sensor_connected) {
        // Through the session: its reader parked, the search held, the live readout off.
        SensorTakeover takeover(state_, timing_, true);
        FT_HANDLE handle = nullptr;
        if (takeover && SensorUsbHandle(takeover.sensor(), &handle) != 0 && handle != nullptr) {
            ReaderPause pause(takeover.sensor());
            bridge_found = true;
            programmed = program_bridge(*static_cast<link::Device *>(handle), record, {});
        }
    }
    if (!bridge_found) {
        SearchHold hold(state_, timing_.park_limit);
        std::uint32_t count = 0;
        if (bus_.list_devices(count) != link::Status::ok) count = 0;
        for (std::uint32_t index = 0; index < count && !bridge_found; ++index) {
            std::unique_ptr<link::Device> device;
            if (bus_.open(index, device) != link::Status::ok || !device) continue;
            link::DeviceInfo info;
            if (device->info(info) != link::Status::ok || !link::is_sensor_bridge(info.description))
                continue;
            bridge_found = true;
            programmed = program_bridge(*device, record, info.description);
        }
    }
    if (!bridge_found) {
        refuse(kNoSensorsFound);
        return DialogAction::kStay;
    }
    if (!programmed) return DialogAction::kStay;
    state_.sensor_serial = serial;
    state_.brand_marrick = row == BrandRow::kMarrick;
    state_.brand_label = brand_row_text(row).manufacturer;
    ui_.repaint(RepaintRequest::kFrame);
    return DialogAction::kClose;
}

bool UsbEeProgrammerDialog::program_bridge(link::Device &device,
                                           const link::UsbEepromRecord &record,
                                           const std::string &device_text) {
    const link::EepromSupport support = device.eeprom_support();
    if (!support.programmable) {
        link::DeviceInfo info;
        const std::string chip =
            device.info(info) == link::Status::ok ? chip_name(info.type) : "unknown";
        refuse("The EEPROM of this USB bridge (chip " + chip +
               ") cannot be programmed and verified by this program." + kNothingWritten);
        return false;
    }
    const std::size_t needed = string_characters(record);
    if (needed > support.string_characters) {
        refuse("Manufacturer, description and serial number need " + std::to_string(needed) +
               " characters; the EEPROM of this USB bridge holds " +
               std::to_string(support.string_characters) + "." + kNothingWritten);
        return false;
    }

    link::UsbEepromRecord present;
    const bool readable = device.ee_read(present) == link::Status::ok;
    std::string question =
        readable && known_sensor(present)
            ? "Found sensor.\nSerial number: " + present.serial_number + "\n\nOK to over-write EE?"
            : std::string("Unknown (new) sensor.\n\nOK to program EE?");
    if (!device_text.empty()) question += "\n\nUSB device: " + device_text;
    if (ui_.message(ids::kMessageCaption, question, MessageButtons::kOkCancel,
                    MessageIcon::kExclamation) != MessageAnswer::kOk)
        return false;

    std::string failure;
    const link::Status written = device.ee_program(record);
    if (written != link::Status::ok) {
        failure = sentence(device, written);
    } else {
        link::UsbEepromRecord read;
        const link::Status status = device.ee_read(read);
        if (status != link::Status::ok) {
            failure = "The EEPROM could not be read back: " + sentence(device, status);
        } else {
            for (const auto &line : eeprom_differences(record, read, support.keeps_manufacturer_id))
                failure += (failure.empty() ? "" : "\n") + line;
        }
    }
    if (!failure.empty()) {
        refuse("USB EE failed to program\n\n" + failure + "\n\n" + now_holds(device) +
               "\nProgram it again.");
        return false;
    }
    ui_.message(ids::kMessageCaption,
                "Programmed USB EE successfully.\nSerial number " + record.serial_number +
                    "\n\n       *** IMPORTANT ***\nDisconnect sensor and reconnect.",
                MessageButtons::kOk, MessageIcon::kExclamation);
    return true;
}

} // namespace meterdesk
