#include "meterdesk/factory/diode_serial_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/sensor_exchange.h"
#include "meterdesk/factory/whole_number.h"
#include "meterdesk/settings/refusal.h"

#include <string>

namespace meterdesk {

namespace ids = diode_serial_box;

namespace {

constexpr std::size_t kEditChars = 10;
constexpr int kKFactorFirmware = 20; // the sensor answers "K?" from firmware 2.0

// The bytes of "DSN" + serial and "K" + K-factor, most significant byte first, each after the
// "FX" that announces the binary command. Each byte goes as a write of its own.
bool write_diode_data(SensorRecord *sensor, std::uint32_t serial, std::uint32_t k_factor) {
    bool sent = send_bytes(sensor, "FX7\n") && send_bytes(sensor, "DSN");
    for (int shift = 24; sent && shift >= 0; shift -= 8)
        sent = send_bytes(sensor, std::string(1, static_cast<char>(serial >> shift & 0xFF)));
    sent = sent && send_bytes(sensor, "FX3\n") && send_bytes(sensor, "K");
    for (int shift = 8; sent && shift >= 0; shift -= 8)
        sent = send_bytes(sensor, std::string(1, static_cast<char>(k_factor >> shift & 0xFF)));
    return sent;
}

std::string pair_text(long long serial, long long k_factor) {
    return "serial number " + std::to_string(serial) + ", K-factor " + std::to_string(k_factor);
}

} // namespace

DiodeSerialDialog::DiodeSerialDialog(AppState &state, Ui &ui, TakeoverTiming timing)
    : state_(state), ui_(ui), timing_(timing) {}

void DiodeSerialDialog::open(Controls &controls) {
    controls.set_text(ids::kSerialEdit, std::to_string(state_.diode_serial.load()));
    controls.set_text(ids::kKFactorEdit, std::to_string(state_.diode_k_factor.load()));
}

DialogAction DiodeSerialDialog::clicked(Controls &controls, int id) {
    if (id == ids::kCancel) return DialogAction::kClose;
    if (id == ids::kEnter) return enter(controls);
    return DialogAction::kStay;
}

DialogAction DiodeSerialDialog::enter(Controls &controls) {
    const auto serial =
        whole_number_in(controls.text(ids::kSerialEdit), kEditChars, 100000, 999999);
    if (!serial) {
        show_refusal(ui_, controls,
                     {ids::kSerialEdit, ids::kCaption, "Valid serial numbers have 6 digits."});
        return DialogAction::kStay;
    }
    const auto k_factor = whole_number_in(controls.text(ids::kKFactorEdit), kEditChars, 0, 999);
    if (!k_factor) {
        show_refusal(
            ui_, controls,
            {ids::kKFactorEdit, "Diode K-factor invlaid.", "Valid K-factor range 0 to 999."});
        return DialogAction::kStay;
    }
    if (ui_.message(ids::kCaption,
                    "CAUTION\n\nThis procedure will\nover-write the current\nserial number and "
                    "K-factor in EE.",
                    MessageButtons::kOkCancel, MessageIcon::kExclamation) != MessageAnswer::kOk)
        return DialogAction::kStay;

    SensorTakeover takeover(state_, timing_);
    if (!takeover) {
        ui_.message(ids::kCaption, kNoSensorConnected, MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return DialogAction::kStay;
    }
    std::optional<std::uint32_t> serial_read;
    std::optional<std::uint32_t> k_read;
    const bool reads_k = state_.firmware_number >= kKFactorFirmware;
    {
        ReaderPause pause(takeover.sensor());
        if (write_diode_data(takeover.sensor(), static_cast<std::uint32_t>(*serial),
                             static_cast<std::uint32_t>(*k_factor))) {
            serial_read = query_value(takeover.sensor(), "DSN?\n", 4);
            if (reads_k) k_read = query_value(takeover.sensor(), "K?\n", 2);
        }
    }
    if (!serial_read || (reads_k && !k_read)) {
        ui_.message(ids::kCaption, kNoSensorConnected, MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return DialogAction::kStay;
    }
    const long long k_stored = reads_k ? static_cast<long long>(*k_read) : *k_factor;
    if (static_cast<long long>(*serial_read) != *serial || k_stored != *k_factor) {
        ui_.message(ids::kCaption,
                    "The sensor did not store the diode data.\n\nWritten: " +
                        pair_text(*serial, *k_factor) +
                        "\nRead back: " + pair_text(*serial_read, k_stored),
                    MessageButtons::kOk, MessageIcon::kExclamation);
        return DialogAction::kStay;
    }
    state_.diode_serial = static_cast<std::int32_t>(*serial);
    state_.diode_k_factor = static_cast<std::int32_t>(*k_factor);
    return DialogAction::kClose;
}

} // namespace meterdesk
