#include "sensor_firmware.h"

#include "intel_hex.h"
#include "model_table.h"
#include "physics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace rfsim {

namespace {

constexpr size_t max_line = 512;
constexpr size_t max_binary = 256;
constexpr size_t max_recorded_line = 160; // HEX records are at most 44 characters
constexpr int trigger_samples = 100;

// Conversion rates of filter commands 1..15.
constexpr std::array<double, 15> filter_rates_hz = {500,  250,  125,  62.5, 50,   39.2, 33.3, 19.6,
                                                    16.7, 16.7, 12.2, 10,   8.33, 6.25, 4.17};

std::string big_endian(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

uint32_t read_big_endian(std::string_view bytes) {
    uint32_t v = 0;
    for (char c : bytes) v = (v << 8) | static_cast<uint8_t>(c);
    return v;
}

// The decimal number that makes up all of `text`, if it does.
std::optional<int> whole_number(std::string_view text) {
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// The digit after `digit`, 9 wrapping to 0: one stored character changed.
char next_digit(char digit) {
    return digit == '9' ? '0' : static_cast<char>(digit + 1);
}

bool all_digits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

Clock::duration milliseconds(double ms) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(ms));
}

} // namespace

void LineLog::add(std::string line) {
    if (lines_.size() == limit_) lines_.pop_front();
    lines_.push_back(std::move(line));
}

std::string LineLog::joined() const {
    std::string out;
    for (const std::string &l : lines_) {
        out += l;
        out += '\n';
    }
    return out;
}

std::string escape_bytes(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<uint8_t>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

SensorFirmware::SensorFirmware(const DeviceSettings &settings, StoredData &store,
                               ReplyQueue &replies)
    : settings_(settings), store_(store), replies_(replies), rng_(settings.seed) {}

void SensorFirmware::power_on(Clock::time_point now) {
    purge();
    fault_.disarm();
    current_fault_ = FaultKind::none;
    downloading_ = false;
    reset_seen_ = false;
    gain_ = 2;
    filter_command_ = 13;
    high_reference_ = false;
    selected_area_ = 0;
    triggered_ = false;
    busy_until_ = now;
    restart_conversions(now);
}

void SensorFirmware::purge() {
    line_.clear();
    line_overflow_ = false;
    binary_.clear();
    binary_expected_ = 0;
}

int SensorFirmware::range() const {
    if (gain_ == 1) return 0;
    return filter_command_ <= 8 ? 1 : 2;
}

void SensorFirmware::receive(const uint8_t *data, size_t count, Clock::time_point now) {
    for (size_t i = 0; i < count; ++i) {
        const char c = static_cast<char>(data[i]);
        if (binary_expected_ > 0) {
            binary_ += c;
            if (--binary_expected_ == 0) {
                std::string command = std::move(binary_);
                binary_.clear();
                if (!count_command()) return;
                handle_binary(command, now);
            }
            continue;
        }
        if (c != '\n') {
            if (line_.size() < max_line)
                line_ += c;
            else
                line_overflow_ = true;
            continue;
        }
        std::string line = std::move(line_);
        line_.clear();
        if (line_overflow_) {
            line_overflow_ = false;
            record("<line longer than 512 bytes dropped>");
            continue;
        }
        if (!count_command()) return;
        if (downloading_)
            handle_download_line(line, now);
        else
            handle_line(line, now);
    }
}

void SensorFirmware::record(std::string_view command) {
    last_command_ = escape_bytes(command);
    commands_.add(last_command_);
}

bool SensorFirmware::count_command() {
    current_fault_ = fault_.count();
    if (current_fault_ != FaultKind::unplug) return true;
    // Pulled out as the command arrives: it is never handled, and what follows is lost.
    fault_.spend();
    unplug_requested_ = true;
    purge();
    return false;
}

bool SensorFirmware::corrupt_this_write() {
    if (current_fault_ != FaultKind::corrupt) return false;
    fault_.spend();
    current_fault_ = FaultKind::none;
    return true;
}

void SensorFirmware::reply(std::string bytes, Clock::time_point now) {
    const Clock::time_point done = std::max(now, busy_until_);
    busy_until_ = done;
    if (settings_.silent || fault_.active(FaultKind::silent)) return;
    if (settings_.timing == Timing::fast)
        replies_.push(std::move(bytes), now);
    else
        replies_.push(std::move(bytes), done + milliseconds(settings_.latency_ms));
}

void SensorFirmware::restart_conversions(Clock::time_point now) {
    conversions_start_ = std::max(now, busy_until_);
    last_conversion_ = -1;
}

const Calibration &SensorFirmware::calibration() {
    if (!calibration_valid_) {
        const int model = model_from_description(settings_.description);
        calibration_ = decode_store(store_, model, firmware_revision(settings_.identity));
        if (model == millimetre_model) {
            calibration_.equation = settings_.equation;
            calibration_.equation[10] = 0;
            calibration_.equation[11] = 1;
            calibration_.equation[12] = 1;
        }
        calibration_valid_ = true;
    }
    return calibration_;
}

uint32_t SensorFirmware::convert_once() {
    double volts = 0.0;
    if (settings_.rf_on) {
        const Thermistor &t = sensor_thermistor;
        const double host_temp =
            thermistor_temperature(t, thermistor_code(t, settings_.temperature_c));
        volts = detector_volts(calibration(), model_from_description(settings_.description),
                               settings_.power_dbm, settings_.frequency_hz, host_temp);
    }
    double input =
        volts * gain_ / 2.0 + settings_.zero_offset_uv[static_cast<size_t>(range())] * 1e-6;
    if (settings_.noise_uv > 0) {
        std::normal_distribution<double> noise(0.0, settings_.noise_uv * 1e-6);
        input += noise(rng_);
    }
    return adc_code(input, high_reference_);
}

void SensorFirmware::reply_conversion(Clock::time_point now) {
    const uint32_t code = convert_once();
    if (settings_.timing == Timing::fast) {
        reply(big_endian(code, 4), now);
        return;
    }
    // Conversions run free from the last settings change: conversion k is complete at
    // start + (k + 1) × period. The newest one not yet returned is sent, or the next one.
    const Clock::time_point t = std::max(now, busy_until_);
    const double period_s = 1.0 / filter_rates_hz[static_cast<size_t>(filter_command_ - 1)];
    const double elapsed_s = std::chrono::duration<double>(t - conversions_start_).count();
    int64_t k = static_cast<int64_t>(std::floor(elapsed_s / period_s)) - 1;
    Clock::time_point done = t;
    if (k <= last_conversion_) {
        k = last_conversion_ + 1;
        done = conversions_start_ + milliseconds(static_cast<double>(k + 1) * period_s * 1000.0);
    }
    last_conversion_ = k;
    busy_until_ = done;
    reply(big_endian(code, 4), done);
}

FlashArea *SensorFirmware::selected_area() {
    switch (selected_area_) {
    case 2:
        return &store_.temperature;
    case 3:
        return &store_.cal_factors;
    case 4:
        return &store_.linearity;
    default:
        return nullptr;
    }
}

bool SensorFirmware::handle_stamp(std::string_view line, Clock::time_point now) {
    if (line.size() < 4 || line.substr(0, 2) != "DA") return false;
    std::string *stamp = nullptr;
    const std::string_view which = line.substr(2, 2);
    if (which == "EQ")
        stamp = &store_.stamp_equation;
    else if (which == "CF")
        stamp = &store_.stamp_cal_factors;
    else if (which == "LC")
        stamp = &store_.stamp_linearity;
    else
        return false;
    const std::string_view rest = line.substr(4);
    if (rest == "?") {
        reply((stamp->empty() ? std::string("000000") : *stamp) + "\n", now);
        return true;
    }
    if (rest.size() == 6 && all_digits(rest)) {
        if (settings_.store_writes == StoreWrites::ok) {
            *stamp = std::string(rest);
            if (corrupt_this_write()) stamp->back() = next_digit(stamp->back());
        }
        return true;
    }
    return false;
}

void SensorFirmware::handle_line(std::string_view line, Clock::time_point now) {
    record(line);
    if (line == "RST") {
        reset_seen_ = true;
        gain_ = 2;
        filter_command_ = 13;
        high_reference_ = false;
        selected_area_ = 0;
        triggered_ = false;
        restart_conversions(now);
    } else if (line == "INIT?") {
        const bool ready =
            settings_.ready == Ready::yes || (settings_.ready == Ready::after_reset && reset_seen_);
        reply(big_endian(ready ? 75 : 0, 2), now);
    } else if (line == "ID?") {
        reply(settings_.identity + "\n", now);
    } else if (line == "BI" || line == "CAL") {
        // no reply; the conversions go on as before
    } else if (line == "REF0" || line == "REF1") {
        high_reference_ = line == "REF0";
        restart_conversions(now);
    } else if (line.starts_with("GAIN")) {
        auto n = whole_number(line.substr(4));
        if (n && (*n == 1 || *n == 2)) {
            gain_ = *n;
            restart_conversions(now);
        }
    } else if (line.starts_with("FLT")) {
        auto n = whole_number(line.substr(3));
        if (n && *n >= 1 && *n <= 15) {
            filter_command_ = *n;
            restart_conversions(now);
        }
    } else if (line == "ADC?") {
        reply_conversion(now);
    } else if (line == "T1?" || line == "T2?" || line == "T3?") {
        const bool sensor = line == "T1?";
        const int code = sensor ? thermistor_code(sensor_thermistor, settings_.temperature_c)
                                : thermistor_code(air_thermistor, settings_.air_temperature_c);
        reply(big_endian(static_cast<uint32_t>(code), 2), now);
    } else if (line == "MI2" || line == "MI3" || line == "MI4") {
        selected_area_ = line[2] - '0';
        if (FlashArea *area = selected_area()) area->rewind();
    } else if (line.starts_with("MR")) {
        auto n = whole_number(line.substr(2));
        if (n && *n >= 1 && *n <= 64) {
            std::vector<uint8_t> bytes(static_cast<size_t>(*n), 0xFF);
            if (FlashArea *area = selected_area()) bytes = area->read(static_cast<size_t>(*n));
            reply(std::string(bytes.begin(), bytes.end()), now);
        }
    } else if (line.size() == 6 && line.starts_with("EQ") && line.ends_with("RD")) {
        auto k = whole_number(line.substr(2, 2));
        if (k && *k >= 1 && *k <= 13) {
            const auto *p = store_.equation.data() + 8 * (*k - 1);
            reply(std::string(p, p + 8) + "\n", now);
        }
    } else if (line == "EQCS?") {
        reply(std::string(store_.equation_checksum.begin(), store_.equation_checksum.end()) + "\n",
              now);
    } else if (line.size() == 6 && line.starts_with("FRCF") && line[5] == '?') {
        auto k = whole_number(line.substr(4, 1));
        if (k && *k >= 1 && *k <= 6) {
            const int points = cal_points(model_from_description(settings_.description));
            std::string text;
            for (int i = 5 * (*k - 1); i < 5 * *k; ++i) {
                char field[16];
                const int value =
                    i < points && i < 30 ? store_.legacy_factors[static_cast<size_t>(i)] : 1000;
                std::snprintf(field, sizeof field, "%04d", std::clamp(value, 0, 9999));
                text += field;
            }
            reply(text + "\n", now);
        }
    } else if (line.size() == 25 && line.starts_with("FRCF") && all_digits(line.substr(4))) {
        const int k = line[4] - '0';
        if (k >= 1 && k <= 6 && takes_writes()) {
            std::string digits(line.substr(5));
            if (corrupt_this_write()) digits[3] = next_digit(digits[3]);
            for (int j = 0; j < 5; ++j)
                store_.legacy_factors[static_cast<size_t>(5 * (k - 1) + j)] =
                    *whole_number(std::string_view(digits).substr(static_cast<size_t>(4 * j), 4));
            invalidate_calibration();
        }
    } else if (line == "DSN?") {
        reply(big_endian(store_.diode_serial, 4) + "\n", now);
    } else if (line == "K?") {
        reply(big_endian(store_.k_factor, 2) + "\n", now);
    } else if (line.starts_with("FX")) {
        auto n = whole_number(line.substr(2));
        if (n && *n >= 1 && static_cast<size_t>(*n) <= max_binary) {
            binary_.clear();
            binary_expected_ = static_cast<size_t>(*n);
        }
    } else if (line == "TRG.E" || line == "TRG.D") {
        triggered_ = line == "TRG.E";
    } else if (line == "TRG?") {
        // Without triggered acquisition the sensor has collected nothing: N = 0.
        const int samples = triggered_ ? trigger_samples : 0;
        uint64_t sum = 0;
        for (int i = 0; i < samples; ++i) sum += convert_once();
        reply(big_endian(static_cast<uint32_t>(samples), 2) +
                  big_endian(static_cast<uint32_t>(sum >> 32) & 0xFF, 1) +
                  big_endian(static_cast<uint32_t>(sum & 0xFFFFFFFFu), 4),
              now);
    } else if (line == "CLR") {
        clear_store(store_);
        invalidate_calibration();
    } else if (line == "DLOAD") {
        downloading_ = true;
        reply("0\n", now);
    } else {
        handle_stamp(line, now); // anything else is ignored, as the firmware does
    }
}

void SensorFirmware::handle_binary(std::string_view bytes, Clock::time_point now) {
    (void)now;
    record(bytes);
    auto payload = [&](size_t offset) { return bytes.substr(offset); };
    if (!takes_writes() && (bytes.starts_with("MW") || bytes.starts_with("EQ") ||
                            bytes.starts_with("DSN") || bytes.starts_with("K"))) {
        // A store that takes no writes: received, recorded, nothing changes.
    } else if (bytes.starts_with("MW")) {
        if (FlashArea *area = selected_area()) {
            std::string data(payload(2));
            if (!data.empty() && corrupt_this_write()) data[0] = static_cast<char>(data[0] ^ 0x01);
            area->write(reinterpret_cast<const uint8_t *>(data.data()), data.size());
            invalidate_calibration();
        }
    } else if (bytes.size() == 15 && bytes.starts_with("EQ") && bytes.substr(4, 2) == "WR" &&
               bytes[14] == '\n') {
        auto k = whole_number(bytes.substr(2, 2));
        if (k && *k >= 1 && *k <= 13) {
            uint8_t *stored = store_.equation.data() + 8 * static_cast<size_t>(*k - 1);
            for (size_t i = 0; i < 8; ++i) stored[i] = static_cast<uint8_t>(bytes[6 + i]);
            if (corrupt_this_write()) stored[0] ^= 0x01;
            invalidate_calibration();
        }
    } else if (bytes.size() == 9 && bytes.starts_with("EQCS") && bytes[8] == '\n') {
        for (size_t i = 0; i < 4; ++i)
            store_.equation_checksum[i] = static_cast<uint8_t>(bytes[4 + i]);
        if (corrupt_this_write()) store_.equation_checksum[0] ^= 0x01;
    } else if (bytes.size() == 9 && bytes.starts_with("TRG.L")) {
        store_.trigger_level = read_big_endian(payload(5));
    } else if (bytes.size() == 7 && bytes.starts_with("DSN")) {
        store_.diode_serial = read_big_endian(payload(3));
        if (corrupt_this_write()) store_.diode_serial ^= 0x01;
    } else if (bytes.size() == 3 && bytes.starts_with("K")) {
        store_.k_factor = static_cast<uint16_t>(read_big_endian(payload(1)));
        if (corrupt_this_write()) store_.k_factor ^= 0x01;
    }
}

void SensorFirmware::handle_download_line(std::string_view line, Clock::time_point now) {
    std::string_view text = line;
    if (text.ends_with('\r')) text.remove_suffix(1);
    firmware_lines_.add(escape_bytes(text.substr(0, max_recorded_line)));
    const HexRecordCheck check = check_hex_record(text);
    if (check == HexRecordCheck::malformed || corrupt_this_write()) {
        // A bad record ends the download; the old program keeps running.
        downloading_ = false;
        reply("E\n", now);
    } else if (check == HexRecordCheck::end_of_file) {
        downloading_ = false;
        reply("1\n", now);
    } else {
        reply("0\n", now);
    }
}

} // namespace rfsim
