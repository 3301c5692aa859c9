#include "meterdesk/factory/cf_record_file.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/settings_files.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace meterdesk {

namespace {

constexpr std::array<const char *, 12> kMonths = {"January",   "February", "March",    "April",
                                                  "May",       "June",     "July",     "August",
                                                  "September", "October",  "November", "December"};

constexpr std::array<const char *, 5> kBrandAModels = {"RX1", "RX2LOKAN", "RX3LOKAN", "RX4LO",
                                                       "RX5L"};
constexpr std::array<const char *, 5> kBrandBModels = {"71308", "71312", "71318", "71326", "71340"};

// The old record's calibration date: its third line from the 11th character on.
std::string recorded_date(const std::string &record) {
    std::istringstream lines(record);
    std::string line;
    for (int i = 0; i < 3 && std::getline(lines, line); ++i) {
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line.size() > 10 ? line.substr(10) : std::string();
}

bool write_text(const std::filesystem::path &file, const std::string &text) {
    return replace_file_contents(file, reinterpret_cast<const unsigned char *>(text.data()),
                                 text.size());
}

} // namespace

std::string calibration_date_line(const std::tm &date) {
    char text[64];
    std::snprintf(text, sizeof text, "Calibrated %d %s %02d", date.tm_mday,
                  kMonths[static_cast<std::size_t>(date.tm_mon % 12)], (date.tm_year + 1900) % 100);
    return text;
}

std::string cf_record_text(const std::string &serial, int model_index,
                           const std::vector<MeasuredCfRow> &rows, const std::tm &date) {
    const std::size_t model = static_cast<std::size_t>(std::clamp(model_index, 0, 4));
    const bool brand_a = !serial.empty() && (serial[0] == 'R' || serial[0] == 'X');
    std::string text = brand_a ? std::string("Zyn Quorix Model ") + kBrandAModels[model]
                               : std::string("Marrick Model ") + kBrandBModels[model];
    text += "\nSerial Number " + serial + "\n";
    text += calibration_date_line(date) + "\n\n";
    text += "Frequency   Cal Factor\n----------------------\n";
    for (const MeasuredCfRow &row : rows) {
        char line[96];
        std::snprintf(line, sizeof line, "%-7s     %.1f%%\n", row.label.substr(0, 15).c_str(),
                      row.factor * 100.0);
        text += line;
    }
    return text;
}

std::filesystem::path cf_record_folder(bool marrick) {
    return paths::resolve(paths::test_root(marrick), "Cal Factors");
}

RecordWrite write_cf_record(const std::filesystem::path &folder, const std::string &serial,
                            const std::string &text) {
    RecordWrite result;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::filesystem::path record = folder / (serial + ".txt");
    if (std::filesystem::exists(record)) {
        std::ifstream in(record, std::ios::binary);
        std::ostringstream old;
        old << in.rdbuf();
        const std::filesystem::path vault = paths::resolve(folder, "Vault");
        std::filesystem::create_directories(vault, ignored);
        const std::string stem = serial + recorded_date(old.str());
        std::filesystem::path copy = vault / (stem + ".txt");
        for (int n = 2; std::filesystem::exists(copy); ++n)
            copy = vault / (stem + " (" + std::to_string(n) + ").txt");
        if (!in || !write_text(copy, old.str())) {
            result.failed_file = copy;
            return result;
        }
        result.vault_copy = copy;
    }
    if (!write_text(record, text)) {
        result.failed_file = record;
        return result;
    }
    result.written = true;
    return result;
}

} // namespace meterdesk
