#include "meterdesk/core/simulated_source.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/number_text.h"

#include <rfsim/rfsim.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace meterdesk {

namespace ids = simulated_source;

namespace {

constexpr int kMaxDevices = 32;
constexpr std::array<double, 3> kUnitHz = {1e3, 1e6, 1e9};
constexpr double kTemperatureMinimum = -55.0;
constexpr double kTemperatureMaximum = 125.0;

std::optional<std::string> get_key(int device, const char *key) {
    char value[256];
    const int length = rfsim_get(device, key, value, static_cast<int>(sizeof value));
    if (length < 0) return std::nullopt;
    return std::string(value);
}

// "%.6f" without the trailing zeros: "50", "2.45", "0.009".
std::string trimmed(double value) {
    std::string text = printf_fixed(value, 6);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

constexpr std::array<int, 11> kSensorControls = {ids::kPowerBar,
                                                 ids::kPowerEdit,
                                                 ids::kRfOff,
                                                 ids::kFrequencyEdit,
                                                 ids::kFrequencyUnit,
                                                 ids::kTemperatureEdit,
                                                 ids::kAirTemperatureEdit,
                                                 ids::kNoiseEdit,
                                                 ids::kPlugged,
                                                 ids::kSilent,
                                                 ids::kFrequencyNote};

} // namespace

bool simulated_bus_chosen(const char *rfsense_sim, const char *rfsense_link) {
    const std::string_view sim = rfsense_sim != nullptr ? rfsense_sim : "";
    const std::string_view link = rfsense_link != nullptr ? rfsense_link : "";
    return !sim.empty() || link == "sim";
}

std::vector<SimulatedDevice> simulated_devices() {
    std::vector<SimulatedDevice> devices;
    for (int position = 0; position < kMaxDevices; ++position) {
        auto kind = get_key(position, "kind");
        if (!kind) break;
        devices.push_back({position, get_key(position, "serial").value_or(""), *kind});
    }
    return devices;
}

SimulatedSource::SimulatedSource(const AppState &state) : state_(state) {}

void SimulatedSource::open(Controls &controls) {
    controls.set_caption(ids::kCaption);
    const auto devices = simulated_devices();
    std::vector<std::string> items;
    for (const SimulatedDevice &d : devices)
        items.push_back(printf_int(d.position) + "   " + d.serial + "   " + d.kind);
    controls.set_items(ids::kDevices, items);
    if (device_ >= static_cast<int>(devices.size())) device_ = 0;
    if (!devices.empty()) controls.set_selection(ids::kDevices, device_);
    controls.set_items(ids::kFrequencyUnit, {"kHz", "MHz", "GHz"});
    controls.set_selection(ids::kFrequencyUnit, 1);
    controls.set_scroll_range(ids::kPowerBar, ids::kPowerMinimum, ids::kPowerMaximum);
    controls.set_text(ids::kFrequencyNote, ids::kFrequencyNoteText);
    read_all(controls);
}

void SimulatedSource::enable_for_kind(Controls &controls, bool sensor) {
    for (int id : kSensorControls) controls.set_enabled(id, sensor);
}

void SimulatedSource::read_all(Controls &controls) {
    controls.set_text(ids::kStatus, "");
    const bool sensor = read("kind").value_or("") == "sensor";
    enable_for_kind(controls, sensor);
    for (int unit : {ids::kTemperatureUnit, ids::kAirTemperatureUnit})
        controls.set_text(unit, state_.temperature_celsius ? "'C" : "'F");
    show_power(controls);
    show_frequency(controls);
    show_temperature(controls, ids::kTemperatureEdit, "temperature_c");
    show_temperature(controls, ids::kAirTemperatureEdit, "air_temperature_c");
    controls.set_text(ids::kNoiseEdit, trimmed(read_number(read("noise_uv").value_or("0"))));
    show_flag(controls, ids::kPlugged, "plugged");
    show_flag(controls, ids::kSilent, "silent");
}

std::optional<std::string> SimulatedSource::read(const char *key) const {
    return get_key(device_, key);
}

std::optional<std::string> SimulatedSource::apply(Controls &controls, const char *key,
                                                  const std::string &value) {
    if (rfsim_set(device_, key, value.c_str()) != 0) {
        controls.set_text(ids::kStatus, rfsim_error());
        return std::nullopt;
    }
    controls.set_text(ids::kStatus, "");
    return read(key);
}

void SimulatedSource::show_power(Controls &controls) {
    const std::string power = read("power_dbm").value_or("off");
    const bool off = power == "off";
    controls.set_checked(ids::kRfOff, off);
    if (!off) {
        const double dbm = read_number(power);
        power_position_ = static_cast<int>(std::lround(dbm * 100));
        controls.set_text(ids::kPowerEdit, printf_fixed(dbm, 2));
    }
    controls.set_scroll_position(ids::kPowerBar, power_position_);
}

double SimulatedSource::unit_hz(const Controls &controls) const {
    const int unit = std::clamp(controls.selection(ids::kFrequencyUnit), 0, 2);
    return kUnitHz[static_cast<std::size_t>(unit)];
}

void SimulatedSource::show_frequency(Controls &controls) {
    const double hz = read_number(read("frequency_hz").value_or("0"));
    controls.set_text(ids::kFrequencyEdit, trimmed(hz / unit_hz(controls)));
}

void SimulatedSource::show_temperature(Controls &controls, int id, const char *key) {
    const double celsius = read_number(read(key).value_or("25"));
    controls.set_text(id,
                      printf_fixed(state_.temperature_celsius ? celsius : celsius * 1.8 + 32, 1));
}

void SimulatedSource::show_flag(Controls &controls, int id, const char *key) {
    controls.set_checked(id, read(key).value_or("0") == "1");
}

void SimulatedSource::apply_power(Controls &controls, double dbm) {
    apply(controls, "power_dbm", printf_fixed(dbm, 2));
    show_power(controls);
}

DialogAction SimulatedSource::clicked(Controls &controls, int id) {
    switch (id) {
    case ids::kDevices:
        if (controls.selection(ids::kDevices) >= 0) device_ = controls.selection(ids::kDevices);
        read_all(controls);
        return DialogAction::kStay;
    case ids::kRfOff:
        if (controls.checked(ids::kRfOff))
            apply(controls, "power_dbm", "off");
        else
            apply(controls, "power_dbm", printf_fixed(power_position_ / 100.0, 2));
        show_power(controls);
        return DialogAction::kStay;
    case ids::kFrequencyUnit:
        show_frequency(controls);
        return DialogAction::kStay;
    case ids::kPlugged:
        apply(controls, "plugged", controls.checked(id) ? "1" : "0");
        show_flag(controls, id, "plugged");
        return DialogAction::kStay;
    case ids::kSilent:
        apply(controls, "silent", controls.checked(id) ? "1" : "0");
        show_flag(controls, id, "silent");
        return DialogAction::kStay;
    case ids::kClose:
        return DialogAction::kClose;
    default:
        return DialogAction::kStay;
    }
}

void SimulatedSource::edited(Controls &controls, int id) {
    const double value = read_number(controls.text(id), kValueEditChars);
    switch (id) {
    case ids::kPowerEdit:
        if (std::isfinite(value)) {
            apply_power(controls, value);
        } else {
            controls.set_text(ids::kStatus, "The power must be a number of dBm.");
            show_power(controls);
        }
        return;
    case ids::kFrequencyEdit:
        if (std::isfinite(value) && value > 0) {
            apply(controls, "frequency_hz", trimmed(value * unit_hz(controls)));
        } else {
            controls.set_text(ids::kStatus, "The frequency must be greater than zero.");
        }
        show_frequency(controls);
        return;
    case ids::kTemperatureEdit:
    case ids::kAirTemperatureEdit: {
        const char *key = id == ids::kTemperatureEdit ? "temperature_c" : "air_temperature_c";
        const double celsius = state_.temperature_celsius ? value : (value - 32) / 1.8;
        if (in_range(celsius, kTemperatureMinimum, kTemperatureMaximum))
            apply(controls, key, trimmed(celsius));
        else
            controls.set_text(ids::kStatus, "The temperature must be between -55 and 125 'C.");
        show_temperature(controls, id, key);
        return;
    }
    case ids::kNoiseEdit:
        if (std::isfinite(value) && value >= 0)
            apply(controls, "noise_uv", trimmed(value));
        else
            controls.set_text(ids::kStatus, "The noise must be zero or more microvolts.");
        controls.set_text(ids::kNoiseEdit, trimmed(read_number(read("noise_uv").value_or("0"))));
        return;
    default:
        return;
    }
}

void SimulatedSource::scrolled(Controls &controls, int id, ScrollAction action, int drag_position) {
    if (id != ids::kPowerBar) return;
    int position = power_position_;
    switch (action) {
    case ScrollAction::kThumbTrack:
    case ScrollAction::kThumbPosition:
        position = drag_position;
        break;
    case ScrollAction::kLineUp:
        position -= 1;
        break;
    case ScrollAction::kLineDown:
        position += 1;
        break;
    case ScrollAction::kPageUp:
        position -= 100;
        break;
    case ScrollAction::kPageDown:
        position += 100;
        break;
    case ScrollAction::kTop:
        position = ids::kPowerMinimum;
        break;
    case ScrollAction::kBottom:
        position = ids::kPowerMaximum;
        break;
    case ScrollAction::kEndScroll:
        controls.set_scroll_position(id, power_position_);
        return;
    }
    position = std::clamp(position, ids::kPowerMinimum, ids::kPowerMaximum);
    if (position == power_position_ && !controls.checked(ids::kRfOff)) {
        controls.set_scroll_position(id, power_position_);
        return;
    }
    power_position_ = position;
    apply_power(controls, position / 100.0);
}

} // namespace meterdesk
