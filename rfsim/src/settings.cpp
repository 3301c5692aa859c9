#include "settings.h"

#include "model_table.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

namespace rfsim {

const Equation simulated_default_equation = [] {
    Equation e = library_default_equation;
    e[0] += 0.1;
    return e;
}();

std::optional<double> parse_number(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string format_number(double value) {
    // Whole numbers (frequencies, serials) read best without an exponent.
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return std::to_string(static_cast<long long>(value));
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("nan");
}

namespace {

std::optional<uint64_t> parse_unsigned(std::string_view text, uint64_t max) {
    uint64_t value = 0;
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value > max) return std::nullopt;
    return value;
}

std::optional<bool> parse_flag(std::string_view text) {
    if (text == "1" || text == "yes" || text == "true" || text == "on") return true;
    if (text == "0" || text == "no" || text == "false" || text == "off") return false;
    return std::nullopt;
}

// Numbers separated by blanks and/or commas.
std::optional<std::vector<double>> parse_list(std::string_view text) {
    std::vector<double> values;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ',')) ++i;
        size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\t' && text[j] != ',') ++j;
        if (j > i) {
            auto v = parse_number(text.substr(i, j - i));
            if (!v) return std::nullopt;
            values.push_back(*v);
        }
        i = j;
    }
    return values;
}

std::string format_list(const double *values, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) out += ' ';
        out += format_number(values[i]);
    }
    return out;
}

template <typename Enum>
struct Choice {
    std::string_view name;
    Enum value;
};

template <typename Enum, size_t N>
std::optional<Enum> parse_choice(std::string_view text, const Choice<Enum> (&choices)[N]) {
    for (const auto &c : choices)
        if (c.name == text) return c.value;
    return std::nullopt;
}

template <typename Enum, size_t N>
std::string format_choice(Enum value, const Choice<Enum> (&choices)[N]) {
    for (const auto &c : choices)
        if (c.value == value) return std::string(c.name);
    return {};
}

constexpr Choice<Kind> kinds[] = {
    {"sensor", Kind::sensor}, {"programmer", Kind::programmer}, {"other", Kind::other}};
constexpr Choice<Ready> readies[] = {
    {"yes", Ready::yes}, {"after_reset", Ready::after_reset}, {"never", Ready::never}};
constexpr Choice<Timing> timings[] = {{"fast", Timing::fast}, {"realistic", Timing::realistic}};
constexpr Choice<AreaForm> area_forms[] = {{"present", AreaForm::present},
                                           {"absent", AreaForm::absent},
                                           {"bad_checksum", AreaForm::bad_checksum}};
constexpr Choice<StoreWrites> store_write_forms[] = {
    {"ok", StoreWrites::ok},
    {"ignored", StoreWrites::ignored},
    {"stamps_ignored", StoreWrites::stamps_ignored}};
constexpr Choice<TcdForm> tcd_forms[] = {{"10", TcdForm::ten},
                                         {"7", TcdForm::seven},
                                         {"absent", TcdForm::absent},
                                         {"bad_checksum", TcdForm::bad_checksum}};
constexpr Choice<bool> checksum_forms[] = {{"ok", true}, {"bad", false}};
constexpr Choice<Chip> chips[] = {{"ft232r", Chip::ft232r},
                                  {"ft2232h", Chip::ft2232h},
                                  {"ft232h", Chip::ft232h},
                                  {"ftx", Chip::ftx}};
constexpr Choice<EepromMode> eeprom_modes[] = {{"stored", EepromMode::stored},
                                               {"ft232r", EepromMode::ft232r},
                                               {"blank", EepromMode::blank},
                                               {"absent", EepromMode::absent},
                                               {"write_fails", EepromMode::write_fails},
                                               {"corrupts", EepromMode::corrupts}};

using Setter = std::function<bool(DeviceSettings &, std::string_view)>;
using Getter = std::function<std::string(const DeviceSettings &)>;

struct Key {
    std::string_view name;
    unsigned effects;
    Setter set;
    Getter get;
};

Setter number_setter(double DeviceSettings::*field, double lo, double hi) {
    return [field, lo, hi](DeviceSettings &s, std::string_view v) {
        auto n = parse_number(v);
        if (!n || *n < lo || *n > hi) return false;
        s.*field = *n;
        return true;
    };
}

Getter number_getter(double DeviceSettings::*field) {
    return [field](const DeviceSettings &s) { return format_number(s.*field); };
}

Setter text_setter(std::string DeviceSettings::*field, bool DeviceSettings::*given,
                   size_t max_length) {
    return [field, given, max_length](DeviceSettings &s, std::string_view v) {
        if (v.size() > max_length) return false;
        s.*field = std::string(v);
        s.*given = true;
        return true;
    };
}

Getter text_getter(std::string DeviceSettings::*field) {
    return [field](const DeviceSettings &s) { return s.*field; };
}

template <typename Enum, size_t N>
std::pair<Setter, Getter> choice_key(Enum DeviceSettings::*field,
                                     const Choice<Enum> (&choices)[N]) {
    return {
        [field, &choices](DeviceSettings &s, std::string_view v) {
            auto c = parse_choice(v, choices);
            if (!c) return false;
            s.*field = *c;
            return true;
        },
        [field, &choices](const DeviceSettings &s) { return format_choice(s.*field, choices); }};
}

std::pair<Setter, Getter> flag_key(bool DeviceSettings::*field) {
    return {[field](DeviceSettings &s, std::string_view v) {
                auto f = parse_flag(v);
                if (!f) return false;
                s.*field = *f;
                return true;
            },
            [field](const DeviceSettings &s) { return std::string(s.*field ? "1" : "0"); }};
}

const std::vector<Key> &key_table() {
    static const std::vector<Key> table = [] {
        std::vector<Key> keys;
        auto add = [&keys](std::string_view name, unsigned effects,
                           std::pair<Setter, Getter> access) {
            keys.push_back({name, effects, std::move(access.first), std::move(access.second)});
        };
        add("kind", effect_names | effect_cal_factors, choice_key(&DeviceSettings::kind, kinds));
        add("description", effect_names | effect_cal_factors,
            {text_setter(&DeviceSettings::description, &DeviceSettings::description_given, 63),
             text_getter(&DeviceSettings::description)});
        add("serial", effect_names,
            {text_setter(&DeviceSettings::serial, &DeviceSettings::serial_given, 15),
             text_getter(&DeviceSettings::serial)});
        add("identity", effect_none,
            {text_setter(&DeviceSettings::identity, &DeviceSettings::identity_given, 200),
             text_getter(&DeviceSettings::identity)});
        add("ready", effect_none, choice_key(&DeviceSettings::ready, readies));
        add("power_dbm", effect_none,
            {[](DeviceSettings &s, std::string_view v) {
                 if (v == "off") {
                     s.rf_on = false;
                     return true;
                 }
                 auto n = parse_number(v);
                 if (!n || *n < -150 || *n > 60) return false;
                 s.rf_on = true;
                 s.power_dbm = *n;
                 return true;
             },
             [](const DeviceSettings &s) {
                 return s.rf_on ? format_number(s.power_dbm) : std::string("off");
             }});
        add("frequency_hz", effect_none,
            {number_setter(&DeviceSettings::frequency_hz, 1.0, 1e12),
             number_getter(&DeviceSettings::frequency_hz)});
        add("temperature_c", effect_none,
            {number_setter(&DeviceSettings::temperature_c, -55.0, 125.0),
             number_getter(&DeviceSettings::temperature_c)});
        add("air_temperature_c", effect_none,
            {number_setter(&DeviceSettings::air_temperature_c, -55.0, 125.0),
             number_getter(&DeviceSettings::air_temperature_c)});
        add("noise_uv", effect_none,
            {number_setter(&DeviceSettings::noise_uv, 0.0, 1e6),
             number_getter(&DeviceSettings::noise_uv)});
        add("zero_offset_uv", effect_none,
            {[](DeviceSettings &s, std::string_view v) {
                 auto list = parse_list(v);
                 if (!list || list->size() != 3) return false;
                 for (double x : *list)
                     if (std::fabs(x) > 1e6) return false;
                 for (size_t i = 0; i < 3; ++i) s.zero_offset_uv[i] = (*list)[i];
                 return true;
             },
             [](const DeviceSettings &s) { return format_list(s.zero_offset_uv.data(), 3); }});
        add("equation", effect_equation,
            {[](DeviceSettings &s, std::string_view v) {
                 auto list = parse_list(v);
                 if (!list || list->size() != 13) return false;
                 for (size_t i = 0; i < 13; ++i) s.equation[i] = (*list)[i];
                 return true;
             },
             [](const DeviceSettings &s) { return format_list(s.equation.data(), 13); }});
        add("equation_checksum", effect_equation,
            choice_key(&DeviceSettings::equation_checksum_ok, checksum_forms));
        add("cal_factors", effect_cal_factors,
            {[](DeviceSettings &s, std::string_view v) {
                 auto list = parse_list(v);
                 if (!list || list->empty() || list->size() > 46) return false;
                 for (double x : *list)
                     if (!(x > 0.0) || x > 9.999) return false;
                 s.cal_factors = *list;
                 return true;
             },
             [](const DeviceSettings &s) {
                 auto f = effective_cal_factors(s, model_from_description(s.description));
                 return format_list(f.data(), f.size());
             }});
        add("cft", effect_cal_factors, choice_key(&DeviceSettings::cft, area_forms));
        add("tcd", effect_temperature, choice_key(&DeviceSettings::tcd, tcd_forms));
        add("lin", effect_linearity, choice_key(&DeviceSettings::lin, area_forms));
        add("diode_serial", effect_diode,
            {[](DeviceSettings &s, std::string_view v) {
                 auto n = parse_unsigned(v, std::numeric_limits<uint32_t>::max());
                 if (!n) return false;
                 s.diode_serial = static_cast<uint32_t>(*n);
                 return true;
             },
             [](const DeviceSettings &s) { return std::to_string(s.diode_serial); }});
        add("k_factor", effect_diode,
            {[](DeviceSettings &s, std::string_view v) {
                 auto n = parse_unsigned(v, std::numeric_limits<uint16_t>::max());
                 if (!n) return false;
                 s.k_factor = static_cast<uint16_t>(*n);
                 return true;
             },
             [](const DeviceSettings &s) { return std::to_string(s.k_factor); }});
        add("timing", effect_none, choice_key(&DeviceSettings::timing, timings));
        add("latency_ms", effect_none,
            {number_setter(&DeviceSettings::latency_ms, 0.0, 10000.0),
             number_getter(&DeviceSettings::latency_ms)});
        add("plugged", effect_plug, flag_key(&DeviceSettings::plugged));
        add("silent", effect_none, flag_key(&DeviceSettings::silent));
        add("store_writes", effect_none,
            choice_key(&DeviceSettings::store_writes, store_write_forms));
        add("fault", effect_fault,
            {[](DeviceSettings &s, std::string_view v) {
                 auto plan = parse_fault(v);
                 if (!plan) return false;
                 s.fault = *plan;
                 return true;
             },
             [](const DeviceSettings &s) { return format_fault(s.fault); }});
        add("chip", effect_none, choice_key(&DeviceSettings::chip, chips));
        add("eeprom", effect_eeprom, choice_key(&DeviceSettings::eeprom, eeprom_modes));
        add("seed", effect_seed,
            {[](DeviceSettings &s, std::string_view v) {
                 auto n = parse_unsigned(v, std::numeric_limits<uint64_t>::max());
                 if (!n) return false;
                 s.seed = *n;
                 return true;
             },
             [](const DeviceSettings &s) { return std::to_string(s.seed); }});
        return keys;
    }();
    return table;
}

const Key *find_key(std::string_view name) {
    for (const Key &k : key_table())
        if (k.name == name) return &k;
    return nullptr;
}

} // namespace

std::optional<unsigned> set_key(DeviceSettings &s, std::string_view key, std::string_view value,
                                std::string &error) {
    const Key *k = find_key(key);
    if (k == nullptr) {
        error = "unknown key '" + std::string(key) + "'";
        return std::nullopt;
    }
    DeviceSettings changed = s;
    if (!k->set(changed, value)) {
        error = "bad value '" + std::string(value) + "' for key '" + std::string(key) + "'";
        return std::nullopt;
    }
    s = std::move(changed);
    return k->effects;
}

std::optional<std::string> get_key(const DeviceSettings &s, std::string_view key) {
    const Key *k = find_key(key);
    if (k == nullptr) return std::nullopt;
    return k->get(s);
}

void resolve_defaults(DeviceSettings &s, int position) {
    if (!s.description_given) {
        switch (s.kind) {
        case Kind::sensor:
            s.description = "USB Power Sensor RX4LO";
            break;
        case Kind::programmer:
            s.description = "USB PIC Programmer";
            break;
        case Kind::other:
            s.description = "USB Serial Converter";
            break;
        }
    }
    if (!s.identity_given)
        s.identity = s.kind == Kind::programmer ? "PIC PROGRAMMER V2.1" : "USB SENSOR V4.7";
    if (!s.serial_given) s.serial = "RX" + std::to_string(100001 + position);
}

std::vector<double> default_cal_factors(int model) {
    std::vector<double> factors;
    for (double f : frequency_table(model))
        factors.push_back(std::round((1.01 - 0.0045 * f * 1e-9) * 1000.0) / 1000.0);
    if (factors.empty() && model != millimetre_model)
        factors.assign(static_cast<size_t>(cal_points(model)), 1.0);
    factors.resize(static_cast<size_t>(cal_points(model)), 1.0);
    return factors;
}

std::vector<double> effective_cal_factors(const DeviceSettings &s, int model) {
    if (s.cal_factors.empty()) return default_cal_factors(model);
    std::vector<double> factors = s.cal_factors;
    factors.resize(static_cast<size_t>(cal_points(model)), 1.0);
    return factors;
}

} // namespace rfsim
