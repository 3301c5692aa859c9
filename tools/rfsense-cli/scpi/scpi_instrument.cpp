#include "scpi/scpi_instrument.h"

#include "scpi/scpi_values.h"

#include <rfsim/rfsim.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

namespace rfsense::scpi {
namespace {

constexpr int kMaxAverageLength = 1000;
constexpr const char *kSystemVersion = "1999.0";
constexpr double kMaxSimulatedDevice = 255;

// The frequency span of the sensor's model ("10MHz to 40GHz" in its model text).
struct Span {
    std::string text = "10MHz to 40GHz"; // what the library accepts for unknown sensors
    double minimum_hz = 10e6;
    double maximum_hz = 40e9;
};

Span model_span(SensorRecord *record) {
    Span span;
    char serial[20] = {};
    char model[28] = {};
    if (SensorDetails(record, serial, model) != SENSOR_DONE) return span;
    const char *open = std::strchr(model, '(');
    const char *close = open != nullptr ? std::strchr(open, ')') : nullptr;
    if (close == nullptr) return span;
    const std::string text(open + 1, close);
    const auto to = text.find(" to ");
    if (to == std::string::npos) return span;
    const auto low = parse_numeric(text.substr(0, to), Quantity::kFrequency);
    const auto high = parse_numeric(text.substr(to + 4), Quantity::kFrequency);
    if (low && high) span = {text, low->value, high->value};
    return span;
}

// Commas and semicolons would split the reply of *IDN?.
std::string field(const char *text) {
    std::string value(text);
    for (char &c : value) {
        if (c == ',' || c == ';' || c == '\n' || c == '\r') c = ' ';
    }
    return value;
}

std::string number_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

using Handler = std::function<std::optional<std::string>(Instrument &, const ProgramMessage &)>;

} // namespace

Instrument::Instrument(SensorConnection &sensor, bool simulated)
    : connection_(sensor), simulated_(simulated) {}

std::string Instrument::execute(std::string_view line) {
    const ParsedLine parsed = parse_line(line);
    std::string replies;
    for (const ProgramMessage &message : parsed.messages) {
        if (Reply reply = run(message)) {
            if (!replies.empty()) replies += ';';
            replies += *reply;
        }
    }
    if (parsed.error) status_.push_error(parsed.error->code, parsed.error->text);
    return replies;
}

SensorRecord *Instrument::sensor() {
    SensorRecord *record = connection_.get();
    if (record != nullptr && connection_.take_new_session()) {
        take_defaults(record);
        apply_settings(record);
    }
    return record;
}

SensorRecord *Instrument::connected_sensor() {
    SensorRecord *record = sensor();
    if (record == nullptr) status_.push_error(kHardwareError, "sensor not connected");
    return record;
}

void Instrument::sensor_lost() {
    connection_.lost();
    last_reading_.reset();
    status_.push_error(kHardwareError, "sensor not connected");
}

bool Instrument::check(int32_t result, std::string_view what) {
    if (result == SENSOR_DONE) return true;
    if (result == SENSOR_NOT_CONNECTED) {
        sensor_lost();
        return false;
    }
    status_.push_error(kHardwareError, std::string(what) + " failed (library result " +
                                           std::to_string(result) + ")");
    return false;
}

void Instrument::take_defaults(SensorRecord *record) {
    SensorSettingsRecord current{};
    if (SensorSettings(record, &current) == SENSOR_DONE) defaults_.frequency_hz = current.frequency;
    int32_t filter[9] = {};
    if (SensorFilterSettingsQuery(record, filter) == SENSOR_DONE) {
        for (int range = 0; range < 3; ++range) defaults_.average_length[range] = filter[6 + range];
    }
}

// A returning sensor gets the client's settings back.
void Instrument::apply_settings(SensorRecord *record) {
    if (settings_.frequency_hz) SensorFrequency(record, *settings_.frequency_hz);
    if (settings_.cal_factor_percent) SensorCalFactor(record, *settings_.cal_factor_percent);
    SensorOffset(record, settings_.offset_db);
    SensorOffsetState(record, settings_.offset_on ? 1 : 0);
    SensorDutyCycle(record, settings_.duty_percent);
    SensorDutyCycleState(record, settings_.duty_on ? 1 : 0);
    for (int32_t range = 0; range < 3; ++range) {
        if (const auto &length = settings_.average_length[range])
            SensorFilterSize(record, range, *length);
    }
    // The relative reference belonged to the previous session: relative mode ends with it.
    settings_.relative_on = false;
    SensorRelativeState(record, 0);
}

void Instrument::reset() {
    settings_ = Settings{};
    last_reading_.reset();
    fetch_fresh_ = true;
    SensorRecord *record = sensor();
    if (record == nullptr) return;
    SensorFrequency(record, defaults_.frequency_hz);
    for (int32_t range = 0; range < 3; ++range)
        SensorFilterSize(record, range, defaults_.average_length[range]);
    apply_settings(record);
}

bool Instrument::expect_parameters(const ProgramMessage &message, std::size_t minimum,
                                   std::size_t maximum) {
    if (message.parameters.size() < minimum) {
        status_.push_error(kMissingParameter, message.header);
        return false;
    }
    if (message.parameters.size() > maximum) {
        status_.push_error(kParameterNotAllowed, message.header);
        return false;
    }
    return true;
}

std::optional<bool> Instrument::boolean_parameter(const ProgramMessage &message) {
    if (!expect_parameters(message, 1, 1)) return std::nullopt;
    const auto value = parse_boolean(message.parameters[0]);
    if (!value)
        status_.push_error(kIllegalParameterValue,
                           "expected ON or OFF, not " + message.parameters[0]);
    return value;
}

std::optional<double> Instrument::numeric_parameter(const ProgramMessage &message,
                                                    Quantity quantity, std::string_view expected,
                                                    SpecialValues special) {
    if (!expect_parameters(message, 1, 1)) return std::nullopt;
    const auto value = parse_numeric(message.parameters[0], quantity);
    if (!value) {
        status_.push_error(kIllegalParameterValue,
                           "expected " + std::string(expected) + ", not " + message.parameters[0]);
        return std::nullopt;
    }
    switch (value->kind) {
    case NumericKind::kMinimum:
        return special.minimum;
    case NumericKind::kMaximum:
        return special.maximum;
    case NumericKind::kDefault:
        return special.fallback;
    case NumericKind::kNumber:
        break;
    }
    return value->value;
}

Instrument::Reply Instrument::run(const ProgramMessage &message) {
    using Self = Instrument;
    using M = const ProgramMessage &;
    static const std::vector<std::pair<const char *, Handler>> commands = {
        {"*IDN?", [](Self &s, M) { return s.identify(); }},
        {"*RST",
         [](Self &s, M) -> Reply {
             s.reset();
             return std::nullopt;
         }},
        {"*CLS",
         [](Self &s, M) -> Reply {
             s.status_.clear();
             return std::nullopt;
         }},
        {"*OPC",
         [](Self &s, M) -> Reply {
             s.status_.set_operation_complete();
             return std::nullopt;
         }},
        {"*OPC?", [](Self &, M) -> Reply { return "1"; }},
        {"*WAI", [](Self &, M) -> Reply { return std::nullopt; }},
        {"*ESR?", [](Self &s, M) -> Reply { return nr1(s.status_.read_event_status()); }},
        {"*ESE?", [](Self &s, M) -> Reply { return nr1(s.status_.event_enable()); }},
        {"*ESE",
         [](Self &s, M m) -> Reply {
             if (!s.expect_parameters(m, 1, 1)) return std::nullopt;
             const auto mask = parse_numeric(m.parameters[0], Quantity::kPlain);
             if (!mask || mask->kind != NumericKind::kNumber || mask->value < 0 ||
                 mask->value > 255)
                 s.status_.push_error(kDataOutOfRange, "allowed 0 to 255");
             else
                 s.status_.set_event_enable(static_cast<int>(std::lround(mask->value)));
             return std::nullopt;
         }},
        {"*STB?", [](Self &s, M) -> Reply { return nr1(s.status_.status_byte()); }},
        {"*TST?",
         [](Self &s, M) -> Reply {
             unsigned char over_range = 0;
             SensorRecord *record = s.sensor();
             return nr1(record != nullptr && SensorConnected(record, &over_range) != 0 ? 0 : 1);
         }},
        {"MEASure[:SCALar][:POWer][:AC]?", [](Self &s, M) { return s.reading(true); }},
        {"READ[:SCALar][:POWer][:AC]?", [](Self &s, M) { return s.reading(true); }},
        {"FETCh[:SCALar][:POWer][:AC]?", [](Self &s, M) { return s.reading(s.fetch_fresh_); }},
        {"CONFigure[:SCALar][:POWer][:AC]", [](Self &, M) -> Reply { return std::nullopt; }},
        {"INITiate[:IMMediate]",
         [](Self &s, M) -> Reply {
             s.fetch_fresh_ = true;
             return std::nullopt;
         }},
        {"INITiate:CONTinuous",
         [](Self &s, M m) -> Reply {
             if (const auto on = s.boolean_parameter(m)) s.settings_.continuous = *on;
             return std::nullopt;
         }},
        {"INITiate:CONTinuous?", [](Self &s, M) -> Reply { return nr1(s.settings_.continuous); }},
        {"UNIT:POWer", [](Self &s, M m) { return s.unit(m); }},
        {"UNIT:POWer?", [](Self &s, M) -> Reply { return s.settings_.watts ? "W" : "DBM"; }},
        {"[SENSe]:FREQuency[:CW]", [](Self &s, M m) { return s.frequency(m); }},
        {"[SENSe]:FREQuency[:CW]?", [](Self &s, M m) { return s.frequency(m); }},
        {"[SENSe]:CORRection:CFACtor", [](Self &s, M m) { return s.cal_factor(m); }},
        {"[SENSe]:CORRection:CFACtor?", [](Self &s, M m) { return s.cal_factor(m); }},
        {"[SENSe]:CORRection:OFFSet", [](Self &s, M m) { return s.offset(m); }},
        {"[SENSe]:CORRection:OFFSet?", [](Self &s, M m) { return s.offset(m); }},
        {"[SENSe]:CORRection:OFFSet:STATe", [](Self &s, M m) { return s.offset_state(m); }},
        {"[SENSe]:CORRection:OFFSet:STATe?", [](Self &s, M m) { return s.offset_state(m); }},
        {"[SENSe]:CORRection:DCYCle", [](Self &s, M m) { return s.duty_cycle(m); }},
        {"[SENSe]:CORRection:DCYCle?", [](Self &s, M m) { return s.duty_cycle(m); }},
        {"[SENSe]:CORRection:DCYCle:STATe", [](Self &s, M m) { return s.duty_cycle_state(m); }},
        {"[SENSe]:CORRection:DCYCle:STATe?", [](Self &s, M m) { return s.duty_cycle_state(m); }},
        {"[SENSe]:AVERage:COUNt", [](Self &s, M m) { return s.average_count(m); }},
        {"[SENSe]:AVERage:COUNt?", [](Self &s, M m) { return s.average_count(m); }},
        {"[SENSe]:AVERage:COUNt:AUTO", [](Self &s, M m) { return s.average_auto(m); }},
        {"[SENSe]:AVERage:COUNt:AUTO?", [](Self &s, M m) { return s.average_auto(m); }},
        {"CALCulate:RELative[:STATe]", [](Self &s, M m) { return s.relative_state(m); }},
        {"CALCulate:RELative[:STATe]?", [](Self &s, M m) { return s.relative_state(m); }},
        {"CALCulate:RELative[:MAGNitude]:AUTO", [](Self &s, M m) { return s.relative_once(m); }},
        {"CALibration:ZERO:AUTO", [](Self &s, M m) { return s.zero(m); }},
        {"[SENSe]:TEMPerature?", [](Self &s, M) { return s.temperature(); }},
        {"SYSTem:ERRor[:NEXT]?", [](Self &s, M) -> Reply { return s.status_.pop_error(); }},
        {"SYSTem:ERRor:COUNt?",
         [](Self &s, M) -> Reply { return nr1(static_cast<long long>(s.status_.error_count())); }},
        {"SYSTem:VERSion?", [](Self &, M) -> Reply { return kSystemVersion; }},
        {"SIMulation:SET", [](Self &s, M m) { return s.simulation(m); }},
        {"SIMulation:GET?", [](Self &s, M m) { return s.simulation(m); }},
    };
    // The commands whose handlers do not read parameters take none.
    static const std::vector<std::string_view> reading_parameters = {
        "*ESE",
        "INITiate:CONTinuous",
        "UNIT:POWer",
        "CONFigure[:SCALar][:POWer][:AC]",
        "[SENSe]:AVERage:COUNt?",
        "SIMulation:GET?"};
    for (const auto &[pattern, handler] : commands) {
        if (!pattern_matches(pattern, message)) continue;
        if (!simulated_ && std::string_view(pattern).starts_with("SIM")) break;
        const bool takes_parameters =
            (!message.query && !message.common) ||
            std::find(reading_parameters.begin(), reading_parameters.end(), pattern) !=
                reading_parameters.end();
        const bool plain_command =
            std::string_view(pattern) == "*RST" || std::string_view(pattern) == "*CLS" ||
            std::string_view(pattern) == "*OPC" || std::string_view(pattern) == "*WAI" ||
            std::string_view(pattern) == "INITiate[:IMMediate]";
        if ((!takes_parameters || plain_command) && !message.parameters.empty()) {
            status_.push_error(kParameterNotAllowed, message.header);
            return std::nullopt;
        }
        return handler(*this, message);
    }
    status_.push_error(kUndefinedHeader, message.header);
    return std::nullopt;
}

Instrument::Reply Instrument::identify() {
    SensorRecord *record = sensor();
    char serial[20] = {};
    char model[28] = {};
    char firmware[32] = {};
    char library[32] = {};
    SensorDLL_Revision(library);
    if (record == nullptr) {
        status_.push_error(kHardwareError, "sensor not connected");
        return "Zyn Quorix,no sensor,0,lib " + field(library);
    }
    if (!check(SensorDetails(record, serial, model), "reading the sensor details") ||
        !check(SensorFW_Revision(record, firmware), "reading the firmware revision"))
        return "Zyn Quorix,no sensor,0,lib " + field(library);
    const std::string maker = std::strncmp(serial, "206", 3) == 0 ? "Marrick" : "Zyn Quorix";
    return maker + "," + field(model) + "," + field(serial) + "," + field(firmware) + " lib " +
           field(library);
}

std::optional<double> Instrument::read_power(bool in_watts) {
    SensorRecord *record = connected_sensor();
    if (record == nullptr) return std::nullopt;
    double value = 0.0;
    const int32_t result =
        in_watts ? SensorPowerLin(record, &value) : SensorPowerLog(record, &value);
    // An over-range reading is still the reading (the sensor's limit); only a loss fails.
    if (result == SENSOR_NOT_CONNECTED) {
        sensor_lost();
        return std::nullopt;
    }
    if (!std::isfinite(value)) return kNotANumber;
    return value;
}

Instrument::Reply Instrument::reading(bool fresh) {
    const bool watts = settings_.watts;
    if (!fresh && last_reading_ && last_in_watts_ == watts) return nr3(*last_reading_);
    const auto value = read_power(watts);
    if (!value) return nr3(kNotANumber);
    last_reading_ = *value;
    last_in_watts_ = watts;
    fetch_fresh_ = false;
    return nr3(*value);
}

Instrument::Reply Instrument::unit(const ProgramMessage &message) {
    if (!expect_parameters(message, 1, 1)) return std::nullopt;
    const std::string &choice = message.parameters[0];
    if (parse_choice(choice, "DBM"))
        settings_.watts = false;
    else if (parse_choice(choice, "W") || parse_choice(choice, "WATT"))
        settings_.watts = true;
    else
        status_.push_error(kIllegalParameterValue, "expected DBM or W, not " + choice);
    return std::nullopt;
}

Instrument::Reply Instrument::frequency(const ProgramMessage &message) {
    SensorRecord *record = connected_sensor();
    if (message.query) {
        if (!expect_parameters(message, 0, 0)) return std::nullopt;
        SensorSettingsRecord current{};
        if (record == nullptr) return nr3(settings_.frequency_hz.value_or(kNotANumber));
        if (!check(SensorSettings(record, &current), "reading the frequency"))
            return nr3(kNotANumber);
        return nr3(current.frequency);
    }
    const Span span = record != nullptr ? model_span(record) : Span{};
    const auto hz = numeric_parameter(message, Quantity::kFrequency, "a frequency",
                                      {span.minimum_hz, span.maximum_hz, defaults_.frequency_hz});
    if (!hz || record == nullptr) return std::nullopt;
    const int32_t result = SensorFrequency(record, *hz);
    if (result == SENSOR_FREQUENCY_OUT_OF_RANGE) {
        status_.push_error(kDataOutOfRange,
                           "frequency " + number_text(*hz) + " Hz, allowed " + span.text);
        return std::nullopt;
    }
    if (!check(result, "setting the frequency")) return std::nullopt;
    settings_.frequency_hz = *hz;
    // The new frequency takes its cal factor from the sensor's table again.
    settings_.cal_factor_percent.reset();
    return std::nullopt;
}

Instrument::Reply Instrument::cal_factor(const ProgramMessage &message) {
    SensorRecord *record = connected_sensor();
    if (message.query) {
        if (!expect_parameters(message, 0, 0)) return std::nullopt;
        double fraction = 0.0;
        if (record == nullptr) return nr3(kNotANumber);
        if (!check(SensorCfQuery(record, &fraction), "reading the cal factor"))
            return nr3(kNotANumber);
        return nr3(fraction * 100.0);
    }
    const auto percent =
        numeric_parameter(message, Quantity::kPercent, "a cal factor in %", {50.0, 150.0, 100.0});
    if (!percent || record == nullptr) return std::nullopt;
    const int32_t result = SensorCalFactor(record, *percent);
    if (result == SENSOR_CAL_FACTOR_OUT_OF_RANGE) {
        status_.push_error(kDataOutOfRange,
                           "cal factor " + number_text(*percent) + " PCT, allowed 50 to 150 PCT");
        return std::nullopt;
    }
    if (check(result, "setting the cal factor")) settings_.cal_factor_percent = *percent;
    return std::nullopt;
}

Instrument::Reply Instrument::offset(const ProgramMessage &message) {
    if (message.query) {
        if (!expect_parameters(message, 0, 0)) return std::nullopt;
        return nr3(settings_.offset_db);
    }
    const auto db =
        numeric_parameter(message, Quantity::kDecibel, "an offset in dB", {-50.0, 100.0, 0.0});
    if (!db) return std::nullopt;
    SensorRecord *record = connected_sensor();
    if (record == nullptr) return std::nullopt;
    const int32_t result = SensorOffset(record, *db);
    if (result == SENSOR_OFFSET_OUT_OF_RANGE) {
        status_.push_error(kDataOutOfRange,
                           "offset " + number_text(*db) + " DB, allowed -50 to 100 DB");
        return std::nullopt;
    }
    if (!check(result, "setting the offset")) return std::nullopt;
    settings_.offset_db = *db;
    // Setting an offset switches it on, as the meter's own entry does.
    if (check(SensorOffsetState(record, 1), "switching the offset on")) settings_.offset_on = true;
    return std::nullopt;
}

// An ON|OFF setting of the sensor and its query.
Instrument::Reply Instrument::switch_state(const ProgramMessage &message, bool &setting,
                                           int32_t (*apply)(SensorRecord *, unsigned char),
                                           std::string_view what) {
    if (message.query) return nr1(setting);
    const auto on = boolean_parameter(message);
    if (!on) return std::nullopt;
    SensorRecord *record = connected_sensor();
    if (record == nullptr) return std::nullopt;
    if (check(apply(record, *on ? 1 : 0), what)) setting = *on;
    return std::nullopt;
}

Instrument::Reply Instrument::offset_state(const ProgramMessage &message) {
    return switch_state(message, settings_.offset_on, SensorOffsetState, "switching the offset");
}

Instrument::Reply Instrument::duty_cycle(const ProgramMessage &message) {
    if (message.query) {
        if (!expect_parameters(message, 0, 0)) return std::nullopt;
        return nr3(settings_.duty_percent);
    }
    const auto percent =
        numeric_parameter(message, Quantity::kPercent, "a duty cycle in %", {0.001, 100.0, 100.0});
    if (!percent) return std::nullopt;
    SensorRecord *record = connected_sensor();
    if (record == nullptr) return std::nullopt;
    // 0 % would divide every reading by zero.
    const int32_t result =
        *percent > 0.0 ? SensorDutyCycle(record, *percent) : SENSOR_DUTY_CYCLE_OUT_OF_RANGE;
    if (result == SENSOR_DUTY_CYCLE_OUT_OF_RANGE) {
        status_.push_error(kDataOutOfRange, "duty cycle " + number_text(*percent) +
                                                " PCT, allowed above 0 to 100 PCT");
        return std::nullopt;
    }
    if (!check(result, "setting the duty cycle")) return std::nullopt;
    settings_.duty_percent = *percent;
    if (check(SensorDutyCycleState(record, 1), "switching the duty cycle on"))
        settings_.duty_on = true;
    return std::nullopt;
}

Instrument::Reply Instrument::duty_cycle_state(const ProgramMessage &message) {
    return switch_state(message, settings_.duty_on, SensorDutyCycleState,
                        "switching the duty cycle");
}

Instrument::Reply Instrument::relative_state(const ProgramMessage &message) {
    return switch_state(message, settings_.relative_on, SensorRelativeState,
                        "switching relative mode");
}

Instrument::Reply Instrument::relative_once(const ProgramMessage &message) {
    if (!expect_parameters(message, 1, 1)) return std::nullopt;
    if (!parse_choice(message.parameters[0], "ONCE")) {
        status_.push_error(kIllegalParameterValue, "expected ONCE, not " + message.parameters[0]);
        return std::nullopt;
    }
    SensorRecord *record = connected_sensor();
    if (record == nullptr) return std::nullopt;
    // Relative mode goes on and the present reading becomes its reference (the library takes
    // a reference only in relative mode).
    if (check(SensorRelativeState(record, 1), "switching relative mode on") &&
        check(SensorRelativeSet(record), "taking the relative reference"))
        settings_.relative_on = true;
    return std::nullopt;
}

// SENSe:AVERage:COUNt <n>[,<range>]: the average length of every range, or of range 0..2.
Instrument::Reply Instrument::average_count(const ProgramMessage &message) {
    if (!expect_parameters(message, message.query ? 0 : 1, message.query ? 1 : 2))
        return std::nullopt;
    const std::size_t range_at = message.query ? 0 : 1;
    int first = 0;
    int last = 2;
    if (message.parameters.size() > range_at) {
        const auto range = parse_numeric(message.parameters[range_at], Quantity::kPlain);
        if (!range || range->kind != NumericKind::kNumber || range->value < 0 || range->value > 2 ||
            range->value != std::floor(range->value)) {
            status_.push_error(kDataOutOfRange,
                               "range " + message.parameters[range_at] + ", allowed 0 to 2");
            return std::nullopt;
        }
        first = last = static_cast<int>(range->value);
    }
    SensorRecord *record = sensor();
    if (record == nullptr) {
        status_.push_error(kHardwareError, "sensor not connected");
        return message.query ? Reply(nr1(0)) : std::nullopt;
    }
    if (message.query) {
        int32_t filter[9] = {};
        if (!check(SensorFilterSettingsQuery(record, filter), "reading the averaging"))
            return nr1(0);
        return nr1(filter[6 + first]);
    }
    const auto value = parse_numeric(message.parameters[0], Quantity::kPlain);
    double length = value ? value->value : -1;
    if (value && value->kind == NumericKind::kMinimum) length = 1;
    if (value && value->kind == NumericKind::kMaximum) length = kMaxAverageLength;
    if (!value || length < 1 || length > kMaxAverageLength || length != std::floor(length) ||
        value->kind == NumericKind::kDefault) {
        if (value && value->kind == NumericKind::kDefault) {
            for (int range = first; range <= last; ++range) {
                if (check(SensorFilterSize(record, range, defaults_.average_length[range]),
                          "setting the averaging"))
                    settings_.average_length[range].reset();
            }
            return std::nullopt;
        }
        status_.push_error(kDataOutOfRange, "average count " + message.parameters[0] +
                                                ", allowed 1 to " +
                                                std::to_string(kMaxAverageLength));
        return std::nullopt;
    }
    for (int range = first; range <= last; ++range) {
        if (!check(SensorFilterSize(record, range, static_cast<int32_t>(length)),
                   "setting the averaging"))
            return std::nullopt;
        settings_.average_length[range] = static_cast<int>(length);
    }
    return std::nullopt;
}

// AUTO ON (or ONCE) gives every range the length the sensor started with; AUTO? tells whether
// all of them have it.
Instrument::Reply Instrument::average_auto(const ProgramMessage &message) {
    if (message.query) {
        bool automatic = true;
        for (const auto &length : settings_.average_length) automatic &= !length.has_value();
        return nr1(automatic);
    }
    if (!expect_parameters(message, 1, 1)) return std::nullopt;
    const bool once = parse_choice(message.parameters[0], "ONCE");
    const auto on = once ? std::optional<bool>(true) : parse_boolean(message.parameters[0]);
    if (!on) {
        status_.push_error(kIllegalParameterValue,
                           "expected ON, OFF or ONCE, not " + message.parameters[0]);
        return std::nullopt;
    }
    if (!*on) return std::nullopt; // the present lengths stay as set
    SensorRecord *record = connected_sensor();
    if (record == nullptr) return std::nullopt;
    for (int range = 0; range < 3; ++range) {
        if (!check(SensorFilterSize(record, range, defaults_.average_length[range]),
                   "setting the averaging"))
            return std::nullopt;
        settings_.average_length[range].reset();
    }
    return std::nullopt;
}

Instrument::Reply Instrument::zero(const ProgramMessage &message) {
    if (!expect_parameters(message, 1, 1)) return std::nullopt;
    if (!parse_choice(message.parameters[0], "ONCE")) {
        status_.push_error(kIllegalParameterValue, "expected ONCE, not " + message.parameters[0]);
        return std::nullopt;
    }
    SensorRecord *record = connected_sensor();
    if (record == nullptr) return std::nullopt;
    const int32_t result = SensorZero(record);
    if (result == SENSOR_ZERO_TOO_LARGE) {
        status_.push_error(kZeroRefused,
                           "offset too large: switch the RF power off and zero again");
        return std::nullopt;
    }
    check(result, "zeroing");
    last_reading_.reset();
    return std::nullopt;
}

Instrument::Reply Instrument::temperature() {
    SensorRecord *record = sensor();
    if (record == nullptr) {
        status_.push_error(kHardwareError, "sensor not connected");
        return nr3(kNotANumber);
    }
    double celsius = 0.0;
    if (!check(SensorTemperature(record, &celsius), "reading the temperature"))
        return nr3(kNotANumber);
    return nr3(celsius);
}

namespace {

// A quoted string parameter without its quotes (a doubled quote inside stands for one).
std::optional<std::string> unquoted(const std::string &text) {
    if (text.size() < 2 || (text.front() != '"' && text.front() != '\'') ||
        text.back() != text.front())
        return std::nullopt;
    const char quote = text.front();
    std::string value;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        value += text[i];
        if (text[i] == quote) ++i; // skips the second of a doubled quote
    }
    return value;
}

} // namespace

// SIMulation:SET <device>,"<key>","<value>" and SIMulation:GET? <device>,"<key>": the keys of
// the simulated bus ("plugged", "power_dbm", ...), as its configuration names them.
Instrument::Reply Instrument::simulation(const ProgramMessage &message) {
    if (!expect_parameters(message, message.query ? 2 : 3, message.query ? 2 : 3))
        return std::nullopt;
    const auto device = parse_numeric(message.parameters[0], Quantity::kPlain);
    const auto key = unquoted(message.parameters[1]);
    const auto value =
        message.query ? std::optional<std::string>("") : unquoted(message.parameters[2]);
    // The bus holds a handful of devices; a bound keeps the number an int.
    if (!device || device->kind != NumericKind::kNumber || device->value < 0 ||
        device->value > kMaxSimulatedDevice || device->value != std::floor(device->value) || !key ||
        !value) {
        status_.push_error(kIllegalParameterValue, "expected a device number and quoted strings");
        return message.query ? Reply("\"\"") : std::nullopt;
    }
    const int index = static_cast<int>(device->value);
    if (message.query) {
        char text[256] = {};
        if (rfsim_get(index, key->c_str(), text, sizeof text) < 0) {
            status_.push_error(kIllegalParameterValue, rfsim_error());
            return Reply("\"\"");
        }
        // A quote inside the value is doubled, as string replies need.
        std::string reply = "\"";
        for (const char *c = text; *c != '\0'; ++c) reply.append(*c == '"' ? 2 : 1, *c);
        return reply + "\"";
    }
    if (rfsim_set(index, key->c_str(), value->c_str()) != 0)
        status_.push_error(kIllegalParameterValue, rfsim_error());
    return std::nullopt;
}

} // namespace rfsense::scpi
