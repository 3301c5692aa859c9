#include "meterdesk/factory/cf_table_programming.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/cf_record_file.h"
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

const char *const kNothingWritten = "Nothing was written to the sensor.";
const char *const kStoppedAnswering =
    "The sensor stopped answering: what it now holds could not be checked.";
const char *const kStoppedBeforeWriting =
    "The sensor stopped answering before the table was sent. Nothing was written to the sensor.";

// The "CFT>" area as the sensor holds it: header, one word per point, checksum.
struct StoredArea {
    Word header{};
    std::vector<Word> words;
    Word checksum{};

    bool operator==(const StoredArea &) const = default;

    // Header and checksum agree with the data: the library loads it at the next connect.
    bool complete() const {
        std::uint32_t sum = 0;
        for (unsigned char b : header)
            sum += static_cast<std::uint32_t>(static_cast<signed char>(b));
        for (const Word &word : words)
            for (unsigned char b : word) sum += b;
        return std::memcmp(header.data(), "CFT>", 4) == 0 && little_endian(sum) == checksum;
    }
};

bool read_area(SensorRecord *sensor, int points, StoredArea &area) {
    area.words.assign(static_cast<std::size_t>(points), Word{});
    bool read = send(sensor, "MI3\n") && read_word(sensor, area.header);
    for (std::size_t i = 0; read && i < area.words.size(); ++i)
        read = read_word(sensor, area.words[i]);
    return read && read_word(sensor, area.checksum);
}

// The stored table: header, points, checksum; then every word read back and compared. The
// area held before is read first, so that a failed write can say what the sensor now holds.
bool write_stored_table(Ui &ui, SensorRecord *sensor, const std::vector<double> &factors,
                        int points) {
    StoredArea wanted;
    std::memcpy(wanted.header.data(), "CFT>", 4);
    std::uint32_t sum = kHeaderSum;
    for (int i = 0; i < points; ++i) {
        const Word word = single_bytes(factors[static_cast<std::size_t>(i)]);
        for (unsigned char b : word) sum += b;
        wanted.words.push_back(word);
    }
    wanted.checksum = little_endian(sum);

    StoredArea before;
    if (!read_area(sensor, points, before)) {
        report_failure(ui, kStoppedBeforeWriting);
        return false;
    }

    bool sent = send(sensor, "MI3\n") && send(sensor, "FX6\n") && send(sensor, "MWCFT>");
    for (std::size_t i = 0; sent && i < wanted.words.size(); ++i)
        sent = write_word(sensor, wanted.words[i].data());
    sent = sent && write_word(sensor, wanted.checksum.data());

    StoredArea now;
    if (!sent || !read_area(sensor, points, now)) {
        report_failure(ui, kStoppedAnswering);
        return false;
    }
    if (now == wanted) return true;
    if (now == before) {
        report_failure(ui, kNothingWritten);
    } else if (now.complete()) {
        report_failure(ui, "The sensor holds a complete table, but not the one written.");
    } else {
        report_failure(ui, "The sensor's stored table is incomplete: until it is written again "
                           "it uses 100 % at every frequency.");
    }
    return false;
}

// The five fields of each legacy command as the sensor answers "FRCF<k>?".
bool read_legacy_fields(SensorRecord *sensor, int commands, std::vector<std::string> &fields) {
    fields.assign(static_cast<std::size_t>(commands), {});
    for (int k = 1; k <= commands; ++k) {
        char reply[128] = {}; // the library writes at most a 72-byte line, without a NUL
        if (!send(sensor, "FRCF" + printf_int(k) + "?\n") || SensorMessageQuery(sensor, reply) == 0)
            return false;
        fields[static_cast<std::size_t>(k - 1)] = std::string(reply).substr(0, 20);
    }
    return true;
}

std::string point_field(const std::vector<std::string> &fields, int point) {
    const std::string &command = fields[static_cast<std::size_t>(point / kLegacyFieldsPerCommand)];
    const std::size_t at = static_cast<std::size_t>(4 * (point % kLegacyFieldsPerCommand));
    return at < command.size() ? command.substr(at, 4) : std::string();
}

// "Points 1 to 10" (numbered from 1), runs joined with ", ".
std::string point_runs(const std::vector<bool> &marked) {
    std::string text;
    int count = 0;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (!marked[i] || (i > 0 && marked[i - 1])) continue;
        std::size_t j = i;
        while (j + 1 < marked.size() && marked[j + 1]) ++j;
        if (!text.empty()) text += ", ";
        text += std::to_string(i + 1);
        if (j > i) text += " to " + std::to_string(j + 1);
        count += static_cast<int>(j - i + 1);
    }
    return (count == 1 ? "Point " : "Points ") + text;
}

// What a legacy table that did not read back as written now holds, point by point: the points
// that hold the new factor (told only when a changed point took), and those holding neither
// the new nor the previous factor.
std::string legacy_state(const std::vector<std::string> &wanted,
                         const std::vector<std::string> &before,
                         const std::vector<std::string> &now, int points) {
    std::vector<bool> is_new(static_cast<std::size_t>(points));
    std::vector<bool> is_other(static_cast<std::size_t>(points));
    bool changed_point_took = false;
    bool any_other = false;
    for (int i = 0; i < points; ++i) {
        const std::string held = point_field(now, i);
        const std::string sent = point_field(wanted, i);
        const std::string previous = point_field(before, i);
        const auto at = static_cast<std::size_t>(i);
        is_new[at] = held == sent;
        is_other[at] = held != sent && held != previous;
        changed_point_took = changed_point_took || (is_new[at] && sent != previous);
        any_other = any_other || is_other[at];
    }
    std::string text;
    if (changed_point_took) {
        const bool one = std::count(is_new.begin(), is_new.end(), true) == 1;
        text = point_runs(is_new) + (one ? " holds the new factor" : " hold the new factors") +
               "; the others keep their previous ones.";
    } else if (!any_other) {
        text = kNothingWritten;
    }
    if (any_other) {
        if (!text.empty()) text += "\n";
        const bool one = std::count(is_other.begin(), is_other.end(), true) == 1;
        text += point_runs(is_other) + (one ? " holds" : " hold") +
                " neither the new nor the previous factor.";
    }
    return text;
}

// The legacy fields, each command read back with "FRCF<k>?".
bool write_legacy_table(Ui &ui, SensorRecord *sensor, const std::vector<double> &factors,
                        int points, int commands, CfTableSource source) {
    std::vector<std::string> wanted(static_cast<std::size_t>(commands));
    for (int k = 1; k <= commands; ++k) {
        std::string &digits = wanted[static_cast<std::size_t>(k - 1)];
        for (int j = 0; j < kLegacyFieldsPerCommand; ++j) {
            const int point = kLegacyFieldsPerCommand * (k - 1) + j;
            digits += point < points
                          ? legacy_cf_field(factors[static_cast<std::size_t>(point)], source)
                          : std::string("1000");
        }
    }
    std::vector<std::string> before;
    if (!read_legacy_fields(sensor, commands, before)) {
        report_failure(ui, kStoppedBeforeWriting);
        return false;
    }
    bool sent = true;
    for (int k = 1; sent && k <= commands; ++k)
        sent =
            send(sensor, "FRCF" + printf_int(k) + wanted[static_cast<std::size_t>(k - 1)] + "\n");
    std::vector<std::string> now;
    if (!sent || !read_legacy_fields(sensor, commands, now)) {
        report_failure(ui, kStoppedAnswering);
        return false;
    }
    if (now == wanted) return true;
    report_failure(ui, legacy_state(wanted, before, now, points));
    return false;
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

CfProgramOutcome confirm_cf_table_programming(AppState &state, Ui &ui, bool ask) {
    state.programming_done = false;
    if (state.cf_skip_question.exchange(false)) ask = false;
    if (ask &&
        ui.message(kCfTableQuestionCaption,
                   "This action will permanently\nover-write existing table\nin sensor EE.",
                   MessageButtons::kOkCancel, MessageIcon::kExclamation) != MessageAnswer::kOk) {
        state.programming_done = true;
        return CfProgramOutcome::kCancelled;
    }
    const int model = state.model_index;
    const int firmware = state.firmware_number;
    if (model == kModelRx5 && firmware < kStoredTableFirmware) {
        ui.message(kCfTableQuestionCaption, "RX5L requires FW Rev 4.5 min.", MessageButtons::kOk,
                   MessageIcon::kExclamation);
        return CfProgramOutcome::kRefused;
    }
    // The 75-110 GHz model and unknown models have no table to write.
    if (cf_table_points(model) == 0) {
        ui.message(kCfTableQuestionCaption,
                   "This sensor has no cal factor table.\nNothing was written to the sensor.",
                   MessageButtons::kOk, MessageIcon::kExclamation);
        return CfProgramOutcome::kRefused;
    }
    return CfProgramOutcome::kWritten;
}

std::optional<std::string> cf_table_refusal(int model_index, int firmware_number,
                                            const std::vector<double> &factors) {
    const int points = cf_table_points(model_index);
    if (points == 0 ||
        (firmware_number < kStoredTableFirmware && legacy_cf_commands(model_index) == 0))
        return std::string("This sensor has no cal factor table that can be written.");
    if (static_cast<int>(factors.size()) < points)
        return "The table holds " + printf_int(static_cast<long long>(factors.size())) +
               " points; this sensor needs " + printf_int(points) + ".";
    for (int i = 0; i < points; ++i) {
        const double percent = factors[static_cast<std::size_t>(i)] * 100.0;
        // 150 % is the highest factor a four-digit legacy field can carry as entered.
        if (!std::isfinite(percent) || percent < 50.0 || percent > 150.0)
            return "The cal factor of point " + printf_int(i + 1) + " is outside 50 to 150 %.";
    }
    return std::nullopt;
}

namespace {

CfProgramOutcome program_table(AppState &state, Ui &ui, SensorRecord *sensor,
                               const std::vector<double> &factors, CfTableSource source,
                               const std::tm &today, const std::vector<MeasuredCfRow> *rows) {
    const int model = state.model_index;
    const int points = cf_table_points(model);
    const bool stored = state.firmware_number >= kStoredTableFirmware;
    if (auto refusal = cf_table_refusal(model, state.firmware_number, factors)) {
        ui.message(kCfTableQuestionCaption, *refusal + "\nNothing was written to the sensor.",
                   MessageButtons::kOk, MessageIcon::kExclamation);
        return CfProgramOutcome::kRefused;
    }

    ReaderPause pause(sensor);
    const bool verified =
        stored ? write_stored_table(ui, sensor, factors, points)
               : write_legacy_table(ui, sensor, factors, points, legacy_cf_commands(model), source);
    if (!verified) return CfProgramOutcome::kFailed;

    if (rows != nullptr) {
        const std::string serial = state.sensor_serial.get();
        const RecordWrite record = write_cf_record(cf_record_folder(state.brand_marrick), serial,
                                                   cf_record_text(serial, model, *rows, today));
        if (!record.written) {
            ui.message(kCfTableFailureCaption,
                       "Can't create " + record.failed_file.string() +
                           "\n\nThe table was programmed, not stamped.",
                       MessageButtons::kOk, MessageIcon::kExclamation);
            return CfProgramOutcome::kWrittenUnstamped;
        }
    }

    const StampOutcome stamp = stamp_date(state, ui, sensor, StampKind::kCalFactors, today);
    const bool stamped = stamp == StampOutcome::kConfirmed || stamp == StampOutcome::kNotSupported;
    state.programming_done = true;
    return stamped ? CfProgramOutcome::kWritten : CfProgramOutcome::kWrittenUnstamped;
}

} // namespace

CfProgramOutcome write_cf_table(AppState &state, Ui &ui, SensorRecord *sensor,
                                const std::vector<double> &factors, CfTableSource source,
                                const std::tm &today) {
    return program_table(state, ui, sensor, factors, source, today, nullptr);
}

CfProgramOutcome write_measured_cf_table(AppState &state, Ui &ui, SensorRecord *sensor,
                                         const std::vector<MeasuredCfRow> &rows,
                                         const std::tm &today) {
    std::vector<double> factors;
    for (const MeasuredCfRow &row : rows) factors.push_back(row.factor);
    return program_table(state, ui, sensor, factors, CfTableSource::kMeasured, today, &rows);
}

} // namespace meterdesk
