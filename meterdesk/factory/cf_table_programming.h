// Writing a complete frequency/cal-factor table into the sensor's calibration store.
//
// Sensors from firmware 4.5 keep the table as the "CFT>" area: a header, one IEEE single per
// point and a checksum, written with "MW" and read back with "MR4" byte for byte (a checksum
// comparison alone would pass a write that never took, since the old area is consistent too).
// Older firmware keeps the legacy "FRCF" fields, read back with "FRCF<k>?". What the sensor held
// is read before the write, so that a failed write can say what it holds now. A verified table
// is then stamped with the date (a measured one first gets its record file). The library's
// reader is paused for the whole write and resumed on every path.
#pragma once

#include "meterdesk/factory/cf_record_file.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kCfTableQuestionCaption = "Frequency/Cal Factor Table";
inline constexpr const char *kCfTableFailureCaption = "Cal Factor Table";

// The legacy "FRCF" commands of a model: 5 for model index 0 and 2, 4 for 1, 6 for 3; none for
// the others (model 4 needs the stored table).
int legacy_cf_commands(int model_index);

// Where the factors come from: the table edited in the editor, or factors measured by the test
// procedure. They differ in how a legacy field is rounded.
enum class CfTableSource { kEdited, kMeasured };

// A legacy field: the factor x 1000 as "%04d", truncated after adding 0.0001 for an edited
// table, rounded half up for a measured one; limited to four digits.
std::string legacy_cf_field(double factor, CfTableSource source);

enum class CfProgramOutcome {
    kWritten,          // written, read back as written, and stamped
    kWrittenUnstamped, // written and read back; the date stamp was not confirmed
    kCancelled,        // the user declined; the sensor was not touched
    kRefused,          // this sensor's firmware cannot take the table; not touched
    kFailed,           // the table did not read back as written (the message says what the
                       // sensor now holds); programming_done stays clear
};

inline bool table_in_sensor(CfProgramOutcome outcome) {
    return outcome == CfProgramOutcome::kWritten || outcome == CfProgramOutcome::kWrittenUnstamped;
}

// Before the sensor is touched: clears programming_done, asks the question (unless `ask` is
// false or cf_skip_question was set, which it clears) and applies the firmware guard. Returns
// kWritten when the write may go ahead, else kCancelled (programming_done set) or kRefused.
CfProgramOutcome confirm_cf_table_programming(AppState &state, Ui &ui, bool ask = true);

// Why a table cannot be written, before anything is sent: a model without a table (the
// 75-110 GHz model, unknown models), fewer factors than the model's points, or a factor that
// is not a number or outside 50..150 % (above that a legacy field would need five digits).
std::optional<std::string> cf_table_refusal(int model_index, int firmware_number,
                                            const std::vector<double> &factors);

// Writes the first points of `factors` (fractions) into a sensor the caller has taken over,
// verifies them, stamps the date `today` and sets programming_done.
CfProgramOutcome write_cf_table(AppState &state, Ui &ui, SensorRecord *sensor,
                                const std::vector<double> &factors, CfTableSource source,
                                const std::tm &today);

// The same for factors measured by the test procedure; between the verified write and the
// stamp, the record file is written (an older one archived in "Vault"). A record file that
// cannot be written is reported by name and the table is left unstamped.
CfProgramOutcome write_measured_cf_table(AppState &state, Ui &ui, SensorRecord *sensor,
                                         const std::vector<MeasuredCfRow> &rows,
                                         const std::tm &today);

} // namespace meterdesk
