#include "meterdesk/factory/cf_table_programming.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/cf_table_text.h"
#include "meterdesk/factory/date_stamp.h"
#include "meterdesk/settings/number_text.h"

#include <rfsense/rfsense.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace meterdesk {

namespace {

constexpr int kStoredTableFirmware = 45;  // 4.5
constexpr std::uint32_t kHeaderSum = 283; // 'C' + 'F' + 'T' + '>'
constexpr int kLegacyFieldsPerCommand = 5;

using Word = std::array<unsigned char, 4>;

// The library's reader stays parked while the table goes out, whatever path ends the write.
class ReaderPause {
  public:
    explicit ReaderPause(SensorRecord *sensor) : sensor_(sensor) { SensorComms(sensor_, 0); }
    ~ReaderPause() { SensorComms(sensor_, 1); }
    ReaderPause(const ReaderPause &) = delete;
    ReaderPause &operator=(const ReaderPause &) = delete;

  private:
    SensorRecord *sensor_;
};

bool send(SensorRecord *sensor, const void *bytes, std::size_t count) {
    return SensorMessage(sensor, static_cast<const char *>(bytes), static_cast<int32_t>(count)) !=
           0;
}
bool send(SensorRecord *sensor, const std::string &text) {
    return send(sensor, text.data(), text.size());
}

Word little_endian(std::uint32_t value) {
    return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

Word single_bytes(double factor) {
    const float single = static_cast<float>(factor);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    return little_endian(bits);
}

// "FX6\n" then "MW" and four bytes: one write into the selected area.
bool write_word(SensorRecord *sensor, const void *four_bytes) {
    std::string command = "MW";
    command.append(static_cast<const char *>(four_bytes), 4);
    return send(sensor, "FX6\n") && send(sensor, command);
}

bool read_word(SensorRecord *sensor, Word &word) {
    return send(sensor, "MR4\n") &&
           SensorMessageDataQuery(sensor, reinterpret_cast<char *>(word.data()), 4) != 0;
}

void report_failure(Ui &ui, const std::string &what_the_sensor_holds) {
    ui.message(kCfTableFailureCaption, "FLASH write failed.\n\n" + what_the_sensor_holds,
               MessageButtons::kOk, MessageIcon::kExclamation);
}

const char *const kSensorLost =
    "The sensor stopped answering during the write: what its table now holds is not known.";

// The stored table: header, points, checksum; then every word read back and compared.
bool write_stored_table(Ui &ui, SensorRecord *sensor, const std::vector<double> &factors,
                        int points) {
    std::vector<Word> words;
    std::uint32_t sum = kHeaderSum;
    for (int i = 0; i < points; ++i) {
        const Word word = single_bytes(factors[static_cast<std::size_t>(i)]);
        for (unsigned char b : word) sum += b;
        words.push_back(word);
    }
    const Word checksum = little_endian(sum);

    bool sent = send(sensor, "MI3\n") && send(sensor, "FX6\n") && send(sensor, "MWCFT>");
    for (std::size_t i = 0; sent && i < words.size(); ++i)
        sent = write_word(sensor, words[i].data());
    sent = sent && write_word(sensor, checksum.data());
    if (!sent) {
        report_failure(ui, kSensorLost);
        return false;
    }

    // Read back: every word against what was sent.
    Word header{};
    std::vector<Word> stored(words.size());
    Word stored_checksum{};
    bool read = send(sensor, "MI3\n") && read_word(sensor, header);
    for (std::size_t i = 0; read && i < stored.size(); ++i) read = read_word(sensor, stored[i]);
    read = read && read_word(sensor, stored_checksum);
    if (!read) {
        report_failure(ui, kSensorLost);
        return false;
    }
    if (std::memcmp(header.data(), "CFT>", 4) == 0 && stored == words &&
        stored_checksum == checksum)
        return true;

    // What is there now: a complete area (header and a matching checksum) that is not the one
    // sent, or a damaged one that the library will refuse at the next connect.
    std::uint32_t stored_sum = 0;
    for (unsigned char b : header)
        stored_sum += static_cast<std::uint32_t>(static_cast<signed char>(b));
    for (const Word &word : stored)
        for (unsigned char b : word) stored_sum += b;
    const bool complete =
        std::memcmp(header.data(), "CFT>", 4) == 0 && little_endian(stored_sum) == stored_checksum;
    report_failure(ui, complete
                           ? "The sensor did not take the new table: it still holds a complete "
                             "table, but not the one written."
                           : "The table in the sensor does not read back as written and is "
                             "damaged: from the next connection every cal factor will be "
                             "100 %. Save the table again.");
    return false;
}

// The legacy fields, each command read back with "FRCF<k>?".
bool write_legacy_table(Ui &ui, SensorRecord *sensor, const std::vector<double> &factors,
                        int points, int commands, CfTableSource source) {
    std::vector<std::string> fields(static_cast<std::size_t>(commands));
    for (int k = 1; k <= commands; ++k) {
        std::string &digits = fields[static_cast<std::size_t>(k - 1)];
        for (int j = 0; j < kLegacyFieldsPerCommand; ++j) {
            const int point = kLegacyFieldsPerCommand * (k - 1) + j;
            digits += point < points
                          ? legacy_cf_field(factors[static_cast<std::size_t>(point)], source)
                          : std::string("1000");
        }
        if (!send(sensor, "FRCF" + printf_int(k) + digits + "\n")) {
            report_failure(ui, kSensorLost);
            return false;
        }
    }
    for (int k = 1; k <= commands; ++k) {
        char reply[128] = {}; // the library writes at most a 72-byte line, without a NUL
        if (!send(sensor, "FRCF" + printf_int(k) + "?\n") ||
            SensorMessageQuery(sensor, reply) == 0) {
            report_failure(ui, kSensorLost);
            return false;
        }
        if (std::string(reply).substr(0, 20) != fields[static_cast<std::size_t>(k - 1)]) {
            report_failure(ui, "The table in the sensor does not read back as written: it holds "
                               "other factors than the ones sent.");
            return false;
        }
    }
    return true;
}

} // namespace

int legacy_cf_commands(int model_index) {
    switch (model_index) {
    case kModelRx1:
    case kModelRx3:
        return 5;
    case kModelRx2:
        return 4;
    case kModelRx4:
        return 6;
    default:
        return 0;
    }
}

std::string legacy_cf_field(double factor, CfTableSource source) {
    double thousandths = source == CfTableSource::kMeasured ? std::floor(factor * 1000.0 + 0.5)
                                                            : std::trunc(factor * 1000.0 + 0.0001);
    if (!std::isfinite(thousandths)) thousandths = 1000.0;
    const long long value = static_cast<long long>(std::clamp(thousandths, 0.0, 9999.0));
    std::string text = printf_int(value);
    text.insert(0, 4 - text.size(), '0');
    return text;
}

CfProgramOutcome confirm_cf_table_programming(const AppState &state, Ui &ui, bool ask) {
    if (ask &&
        ui.message(kCfTableQuestionCaption,
                   "This action will permanently\nover-write existing table\nin sensor EE.",
                   MessageButtons::kOkCancel, MessageIcon::kExclamation) != MessageAnswer::kOk)
        return CfProgramOutcome::kCancelled;
    const int model = state.model_index;
    const int firmware = state.firmware_number;
    if (model == kModelRx5 && firmware < kStoredTableFirmware) {
        ui.message(kCfTableQuestionCaption, "RX5L requires FW Rev 4.5 min.", MessageButtons::kOk,
                   MessageIcon::kExclamation);
        return CfProgramOutcome::kRefused;
    }
    // The 75-110 GHz model and unknown models have no table to write.
    if (cf_table_points(model) == 0) return CfProgramOutcome::kRefused;
    return CfProgramOutcome::kWritten;
}

CfProgramOutcome write_cf_table(const AppState &state, Ui &ui, SensorRecord *sensor,
                                const std::vector<double> &factors, CfTableSource source,
                                const std::tm &today) {
    const int model = state.model_index;
    const int points = cf_table_points(model);
    const bool stored = state.firmware_number >= kStoredTableFirmware;
    if (points == 0 || static_cast<int>(factors.size()) < points ||
        (!stored && legacy_cf_commands(model) == 0))
        return CfProgramOutcome::kRefused;

    ReaderPause pause(sensor);
    const bool verified =
        stored ? write_stored_table(ui, sensor, factors, points)
               : write_legacy_table(ui, sensor, factors, points, legacy_cf_commands(model), source);
    if (!verified) return CfProgramOutcome::kFailed;

    const StampOutcome stamp = stamp_date(state, ui, sensor, StampKind::kCalFactors, today);
    const bool stamped = stamp == StampOutcome::kConfirmed || stamp == StampOutcome::kNotSupported;
    return stamped ? CfProgramOutcome::kWritten : CfProgramOutcome::kWrittenUnstamped;
}

} // namespace meterdesk
