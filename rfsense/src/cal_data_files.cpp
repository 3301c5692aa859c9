// Calibration data kept in the data folder: "tcd.dat" (temperature compensation of sensors
// without a stored table) and "tessaline prams.txt" (band parameters of model 5).
#include "cal_data.h"

#include "rfsense/rfsense.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>

namespace rfsense::cal_data {

namespace {

// "tcd.dat": a 6-byte date, then four sections of an int32 mark and a 46 x 7 table of doubles,
// then an end mark. Section k's mark is at section_offset[k]; the mark after it closes it.
constexpr size_t section_offset[4] = {6, 2586, 5166, 7746};
constexpr int32_t section_mark[5] = {124, 185, 265, 400, 7510};
constexpr size_t table_bytes = 46 * 7 * 8;
// A real file is 10330 bytes; anything much larger is not one.
constexpr size_t tcd_file_limit = 65536;
// The band file is about 2 KB; only its first 88 lines are read.
constexpr size_t band_file_limit = 65536;

std::optional<int32_t> mark_at(std::string_view bytes, size_t offset) {
    if (offset + 4 > bytes.size()) return std::nullopt;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data() + offset);
    return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                                (uint32_t{b[3]} << 24));
}

double double_at(std::string_view bytes, size_t offset) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    return std::bit_cast<double>(value);
}

// The number a line of the band file holds, read the same way in every locale.
std::optional<double> number_in(std::string_view line) {
    line = line.substr(0, 79); // the longest line the format allows
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && line[i] == '+') ++i;
    double value = 0;
    const auto [end, error] = std::from_chars(line.data() + i, line.data() + line.size(), value);
    if (error != std::errc() || end == line.data() + i) return std::nullopt;
    return value;
}

} // namespace

int parse_tcd_file(std::string_view bytes, int model,
                   std::array<std::array<double, 10>, 46> &table) {
    table = {};
    int section = -1;
    switch (model) {
    case 0:
    case 1:
    case 6:
        section = 0;
        break;
    case 2:
        section = 1;
        break;
    case 3:
        section = 2;
        break;
    case 4:
        section = 3;
        break;
    default:
        return SENSOR_TCD_FILE_NO_SECTION;
    }
    const size_t at = section_offset[section];
    // Model 6 takes the first section whatever its mark says.
    if (model != 6 && mark_at(bytes, at) != section_mark[section])
        return SENSOR_TCD_FILE_NO_SECTION;
    if (mark_at(bytes, at + 4 + table_bytes) != section_mark[section + 1])
        return SENSOR_TCD_FILE_NO_SECTION;
    for (size_t row = 0; row < 46; ++row)
        for (size_t column = 0; column < 7; ++column)
            table[row][column] = double_at(bytes, at + 4 + (row * 7 + column) * 8);
    return 1;
}

int load_tcd_file(const std::string &path, int model,
                  std::array<std::array<double, 10>, 46> &table) {
    table = {};
    std::ifstream file(path, std::ios::binary);
    if (!file) return SENSOR_TCD_FILE_MISSING;
    std::string bytes(tcd_file_limit, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return parse_tcd_file(bytes, model, table);
}

bool parse_band_file(std::string_view text, std::array<std::array<double, 10>, 8> &bands) {
    std::array<std::array<double, 10>, 8> parsed{};
    size_t line_number = 0;
    size_t start = 0;
    while (line_number < 88) {
        if (start >= text.size()) return false; // the file ends before the last band
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const size_t block = line_number / 11;
        const size_t within = line_number % 11;
        ++line_number;
        if (within == 0) continue; // the band's title
        const auto value = number_in(line);
        if (!value) return false;
        parsed[block][within - 1] = *value;
    }
    bands = parsed;
    return true;
}

bool load_band_file(const std::string &path, std::array<std::array<double, 10>, 8> &bands) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string text(band_file_limit, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    return parse_band_file(text, bands);
}

} // namespace rfsense::cal_data
