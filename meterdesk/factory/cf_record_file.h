// The record file of a measured cal-factor table: "<serial>.txt" in the test root's
// "Cal Factors" folder, with the model, the serial number, the calibration date and one line
// per measured point. An older record of the same sensor is first copied into "Vault", named
// after its own calibration date; a second copy of one date gets " (2)", " (3)", ... instead of
// overwriting the first.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace meterdesk {

struct MeasuredCfRow {
    std::string label;   // the frequency as the test procedure names it ("50MHz"), <= 15 chars
    double factor = 1.0; // fraction
};

// "Calibrated 5 March 06"
std::string calibration_date_line(const std::tm &date);

// The whole record: "Zyn Quorix Model RX4LO" (serial beginning R or X) or "Marrick Model
// 71326", "Serial Number ...", the date line and a blank line, the heading and one
// "%-7s     %.1f%%" line per row.
std::string cf_record_text(const std::string &serial, int model_index,
                           const std::vector<MeasuredCfRow> &rows, const std::tm &date);

// "Cal Factors" in the test root of the brand.
std::filesystem::path cf_record_folder(bool marrick);

struct RecordWrite {
    bool written = false;
    std::filesystem::path failed_file; // the file that could not be written
    std::optional<std::filesystem::path> vault_copy;
};

// Archives an existing record of `serial` into "Vault" and writes the new one (both through a
// temporary file and a rename).
RecordWrite write_cf_record(const std::filesystem::path &folder, const std::string &serial,
                            const std::string &text);

} // namespace meterdesk
