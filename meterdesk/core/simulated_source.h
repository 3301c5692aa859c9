// The simulated-source panel's logic: it plays the signal source and the environment of the
// simulated sensors (applied power, frequency, temperatures, noise, plugged in, silent) while
// the meter runs, for demonstrations, training and screenshots. It exists only when the process
// runs on the simulated bus.
//
// This is the only part of the meter that talks to the simulator (rfsim.h). Every change goes
// out at once with rfsim_set, and each control then shows what rfsim_get reads back; a refused
// value shows the simulator's reason and puts the control back.
#pragma once

#include "meterdesk/base/controls.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk {

struct AppState;

// The library's rule: the simulated bus when RFSENSE_SIM is set and not empty, or when
// RFSENSE_LINK is "sim".
bool simulated_bus_chosen(const char *rfsense_sim, const char *rfsense_link);

struct SimulatedDevice {
    int position = 0;
    std::string serial;
    std::string kind; // "sensor", "programmer", "other"
};

// The devices on the simulated bus, in bus order.
std::vector<SimulatedDevice> simulated_devices();

namespace simulated_source {
inline constexpr const char *kResourceName = "SimulatedSourceBox";
inline constexpr const char *kCaption = "Simulated Source";
inline constexpr int kCommand = 41000; // "Simulated Source..."
inline constexpr int kDevices = 41001;
inline constexpr int kPowerBar = 41002; // -150.00 .. 60.00 dBm in 0.01 dB
inline constexpr int kPowerEdit = 41003;
inline constexpr int kRfOff = 41004;
inline constexpr int kFrequencyEdit = 41005;
inline constexpr int kFrequencyUnit = 41006; // kHz, MHz, GHz
inline constexpr int kFrequencyNote = 41007;
inline constexpr int kTemperatureEdit = 41008;
inline constexpr int kAirTemperatureEdit = 41009;
inline constexpr int kTemperatureUnit = 41010; // "'C" or "'F"
inline constexpr int kAirTemperatureUnit = 41016;
inline constexpr int kNoiseEdit = 41011;
inline constexpr int kPlugged = 41012;
inline constexpr int kSilent = 41013;
inline constexpr int kStatus = 41014; // the simulator's reason for a refusal
inline constexpr int kClose = 41015;
inline constexpr int kPowerMinimum = -15000;
inline constexpr int kPowerMaximum = 6000;
inline constexpr const char *kFrequencyNoteText =
    "The meter's own frequency (Control Panel) is set separately.";
} // namespace simulated_source

class SimulatedSource {
  public:
    explicit SimulatedSource(const AppState &state);

    // Showing the panel: the device list, then every value of the selected device.
    void open(Controls &controls);
    // A click on a check box or button, a new list choice; kClose hides the panel.
    DialogAction clicked(Controls &controls, int id);
    // An edit box was left or Enter was pressed in it.
    void edited(Controls &controls, int id);
    // The power bar: dragging applies live; the arrows step 0.01 dB, the page areas 1 dB.
    void scrolled(Controls &controls, int id, ScrollAction action, int drag_position);

    int device() const { return device_; }

  private:
    void read_all(Controls &controls);
    void enable_for_kind(Controls &controls, bool sensor);
    // rfsim_set then rfsim_get: the value read back, or nothing after a refusal (shown).
    std::optional<std::string> apply(Controls &controls, const char *key, const std::string &value);
    std::optional<std::string> read(const char *key) const;
    void show_power(Controls &controls);
    void show_frequency(Controls &controls);
    void show_temperature(Controls &controls, int id, const char *key);
    void show_flag(Controls &controls, int id, const char *key);
    void apply_power(Controls &controls, double dbm);
    double unit_hz(const Controls &controls) const;

    const AppState &state_;
    int device_ = 0;
    int power_position_ = -1000; // -10 dBm
};

} // namespace meterdesk
