// The configuration of one simulated device: every `key = value` the configuration text and
// rfsim_set accept, with their defaults, parsing and formatting.
#pragma once

#include "detector_math.h"
#include "fault.h"
#include "stored_data.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rfsim {

enum class Kind { sensor, programmer, other };
enum class Ready { yes, after_reset, never };
enum class Timing { fast, realistic };
// Whether the calibration store takes writes: a worn or write-protected store receives them
// and changes nothing, all of them or only the date stamps.
enum class StoreWrites { ok, ignored, stamps_ignored };
// The bridge chip a device reports (its D2XX type number follows from it).
enum class Chip { ft232r, ft2232h, ft232h, ftx };
// How the bridge's configuration EEPROM behaves: `stored` keeps the record as programmed;
// `ft232r` as the sensor's own chip does (no manufacturer-id field: it reads back as the
// serial number's first two characters; the serial is presented once given; 48 string
// characters in all); `blank` is an ft232r whose EEPROM is erased until programmed; `absent`
// has none; `write_fails` refuses every program; `corrupts` reports success but keeps a
// damaged serial number.
enum class EepromMode { stored, ft232r, blank, absent, write_fails, corrupts };

// The parameters of a default simulated sensor: the library's defaults with E0 raised by
// 0.1 dB, so that a session that falls back to the defaults reads visibly off.
extern const Equation simulated_default_equation;

struct DeviceSettings {
    Kind kind = Kind::sensor;
    std::string description; // resolved from the kind unless given
    std::string serial;      // resolved from the bus position unless given
    std::string identity;    // resolved from the kind unless given
    bool description_given = false;
    bool serial_given = false;
    bool identity_given = false;

    Ready ready = Ready::yes;
    bool rf_on = true;
    double power_dbm = -10.0;
    double frequency_hz = 50e6;
    double temperature_c = 25.0;
    double air_temperature_c = 25.0;
    double noise_uv = 0.0;
    std::array<double, 3> zero_offset_uv{3.0, 2.0, 1.0};
    Equation equation = simulated_default_equation;
    bool equation_checksum_ok = true;
    std::vector<double> cal_factors; // empty: the default curve for the model
    AreaForm cft = AreaForm::present;
    TcdForm tcd = TcdForm::ten;
    AreaForm lin = AreaForm::present;
    uint32_t diode_serial = 123456;
    uint16_t k_factor = 250;
    Timing timing = Timing::fast;
    double latency_ms = 1.0;
    bool plugged = true;
    bool silent = false;
    StoreWrites store_writes = StoreWrites::ok;
    FaultPlan fault; // counted from the moment it is set
    Chip chip = Chip::ft232r;
    EepromMode eeprom = EepromMode::stored;
    uint64_t seed = 1;
};

// What a changed key obliges the device to redo.
enum Effect : unsigned {
    effect_none = 0,
    effect_names = 1u << 0,       // description / serial / kind: EEPROM and bus listing
    effect_cal_factors = 1u << 1, // rebuild the cal-factor area and legacy factors
    effect_temperature = 1u << 2,
    effect_linearity = 1u << 3,
    effect_equation = 1u << 4,
    effect_diode = 1u << 5,
    effect_plug = 1u << 6,
    effect_seed = 1u << 7,
    effect_fault = 1u << 8, // start counting commands for the fault afresh
    effect_eeprom = 1u << 9, // the EEPROM's behaviour changed (a blank one is erased)
};

// Sets one key. Returns the effects, or nullopt with `error` naming the key (and the value).
std::optional<unsigned> set_key(DeviceSettings &s, std::string_view key, std::string_view value,
                                std::string &error);

// The value of a settable key in the form set_key accepts; nullopt for an unknown key.
std::optional<std::string> get_key(const DeviceSettings &s, std::string_view key);

// Fills description, identity and serial that were not given, from the kind and position.
void resolve_defaults(DeviceSettings &s, int position);

// The default cal-factor curve for a model: 1.01 at the lowest frequencies, falling by
// 0.0045 per GHz, in thousandths.
std::vector<double> default_cal_factors(int model);

// The factors the device stores: the configured ones (missing points 1.0), or the default curve.
std::vector<double> effective_cal_factors(const DeviceSettings &s, int model);

// Parses a number the way the configuration accepts it (locale-independent).
std::optional<double> parse_number(std::string_view text);
std::string format_number(double value);

} // namespace rfsim
