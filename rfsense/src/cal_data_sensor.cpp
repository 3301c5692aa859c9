// Calibration data stored in the sensor: the "MI"/"MR" areas, the legacy "FRCF" cal-factor
// queries, the equation parameters and the diode data.
#include "cal_data.h"

#include "channel.h"
#include "models.h"

#include "rfsense/rfsense.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace rfsense::cal_data {

namespace {

uint32_t le32(const char *p) {
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

double le_single(const char *p) {
    return static_cast<double>(std::bit_cast<float>(le32(p)));
}

double le_double(const char *p) {
    const uint64_t value = uint64_t{le32(p)} | (uint64_t{le32(p + 4)} << 32);
    return std::bit_cast<double>(value);
}

// One "MR" exchange (the caller holds the channel): the `count` reply bytes are appended to
// `data`. False when the sensor did not deliver them.
bool read_area_locked(SensorRecord &record, const char *command, int count, std::string &data) {
    channel::send_locked(record, command);
    if (channel::read_counted_locked(record, count) != count) return false;
    data.append(record.reply, static_cast<size_t>(count));
    return true;
}

// Reads the 4-byte checksum that ends an area and compares it with the area's own sum.
bool checksum_matches_locked(SensorRecord &record, std::string_view header, std::string_view data) {
    std::string stored;
    if (!read_area_locked(record, "MR4\n", 4, stored)) return false;
    return le32(stored.data()) == area_checksum(header, data);
}

// Stored "CFT>" area; true when the area was found (then `factors` holds its outcome and
// `result` is 1 or 6), false when the sensor has none.
bool load_stored_cal_factors(SensorRecord &record, int points, std::array<double, 46> &factors,
                             int &result) {
    std::lock_guard lock(record.channel);
    channel::send_locked(record, "MI3\n");
    std::string header;
    if (!read_area_locked(record, "MR4\n", 4, header) || header != "CFT>") return false;
    std::string data;
    bool complete = true;
    for (int i = 0; i < points && complete; ++i)
        complete = read_area_locked(record, "MR4\n", 4, data);
    if (!complete || !checksum_matches_locked(record, header, data)) {
        result = SENSOR_CAL_FACTOR_TABLE_ERROR;
        return true; // factors stay 1.0
    }
    for (int i = 0; i < points; ++i) factors[i] = le_single(data.data() + 4 * i);
    result = 1;
    return true;
}

// Legacy queries "FRCF1?" .. "FRCF6?", five 4-character fields each.
void load_legacy_cal_factors(SensorRecord &record, std::array<double, 46> &factors) {
    const int model = record.model_index;
    for (int query = 1; query <= 6; ++query) {
        int first = (query - 1) * 5;
        int count = 5;
        if (query == 4 && model == 1) count = 1;
        if (query == 5 && (model == 0 || model == 2)) count = 2;
        char command[16];
        std::snprintf(command, sizeof command, "FRCF%d?\n", query);
        std::string line;
        {
            std::lock_guard lock(record.channel);
            channel::send_locked(record, command);
            const int length = channel::read_line_locked(record);
            line.assign(record.reply, static_cast<size_t>(length));
        }
        for (int field = 0; field < count; ++field) {
            const size_t at = static_cast<size_t>(field) * 4;
            const std::string_view text =
                at < line.size() ? std::string_view(line).substr(at, 4) : std::string_view();
            factors[first + field] = legacy_factor(text);
        }
        if (count < 5) break; // models 0, 1 and 2 end their table here
    }
    if (model == 4)
        for (int i = 29; i <= 43; ++i) factors[i] = 1.0;
}

} // namespace

uint32_t area_checksum(std::string_view header, std::string_view data) {
    uint32_t sum = 0;
    for (char c : header)
        sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
    for (char c : data) sum += static_cast<unsigned char>(c);
    return sum;
}

double legacy_factor(std::string_view field) {
    // Read like a C decimal conversion: leading blanks, a sign, then digits.
    size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    int value = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9')
        value = value * 10 + (field[i++] - '0');
    const double factor = (negative ? -value : value) * 0.001;
    return factor < 0.5 || factor > 1.5 ? 1.0 : factor;
}

int load_cal_factors(SensorRecord &record) {
    std::array<double, 46> factors;
    factors.fill(1.0);
    int result = 1;
    // A sensor of a model this library does not know stores as many points as the table query
    // reports for it (its cal factor stays 1.0 whatever they hold).
    const auto &model = models::model(record.model_index);
    const int points =
        record.model_index == models::generic_model ? model.reported_points : model.cal_points;
    const bool stored =
        record.firmware_revision >= 45 && load_stored_cal_factors(record, points, factors, result);
    if (!stored) load_legacy_cal_factors(record, factors);
    std::lock_guard lock(record.conversion);
    record.cal_factor_table = factors;
    return result;
}

int load_equation(SensorRecord &record) {
    std::array<double, 13> parameters{};
    uint32_t sum = 0;
    bool complete = true;
    uint32_t stored_sum = 0;
    {
        std::lock_guard lock(record.channel);
        for (int n = 1; n <= 13 && complete; ++n) {
            char command[16];
            std::snprintf(command, sizeof command, "EQ%02dRD\n", n);
            channel::send_locked(record, command);
            // Eight bytes of the double, then "\n".
            complete = channel::read_binary_line_locked(record, 9) >= 8;
            if (complete) {
                parameters[n - 1] = le_double(record.reply);
                for (int i = 0; i < 8; ++i) sum += static_cast<unsigned char>(record.reply[i]);
            }
        }
        if (complete) {
            channel::send_locked(record, "EQCS?\n");
            complete = channel::read_binary_line_locked(record, 5) >= 4;
            if (complete) stored_sum = le32(record.reply);
        }
    }
    const bool valid = complete && stored_sum != 0 && stored_sum == sum;
    std::lock_guard lock(record.conversion);
    record.equation = valid ? parameters : models::default_equation;
    return valid ? 1 : SENSOR_EQUATION_DEFAULTS;
}

void load_diode_data(SensorRecord &record) {
    std::lock_guard lock(record.channel);
    channel::send_locked(record, "DSN?\n");
    record.diode_serial = static_cast<int32_t>(channel::read_u32_locked(record));
    channel::read_byte_locked(record); // the byte after the value carries nothing
    record.k_factor = 0;
    if (record.firmware_revision >= 20) {
        channel::send_locked(record, "K?\n");
        record.k_factor = channel::read_i16_timed_locked(record);
        channel::read_byte_locked(record);
    }
}

int load_stored_temp_comp(SensorRecord &record, bool &found) {
    found = false;
    std::array<std::array<double, 10>, 46> table{};
    bool extended = false;
    int result = 1;
    {
        std::lock_guard lock(record.channel);
        channel::send_locked(record, "MI2\n");
        std::string header;
        if (!read_area_locked(record, "MR12\n", 12, header)) return 1;
        const std::string_view mark = std::string_view(header).substr(0, 4);
        if (mark != ">TCD" && mark != "XTCD") return 1;
        found = true;
        extended = mark == "XTCD";
        const int columns = extended ? 10 : 7;
        const int skipped = extended ? 6 : 3; // the 25 degrees C column is not stored
        const char *row_command = extended ? "MR36\n" : "MR24\n";
        const int row_bytes = (columns - 1) * 4;
        std::string data;
        bool complete = true;
        for (int row = 0; row < 46 && complete; ++row)
            complete = read_area_locked(record, row_command, row_bytes, data);
        if (!complete || !checksum_matches_locked(record, header, data)) {
            result = SENSOR_TCD_CHECKSUM;
        } else {
            const char *p = data.data();
            for (auto &row : table)
                for (int column = 0; column < columns; ++column) {
                    if (column == skipped) continue; // stays 0
                    row[column] = le_single(p);
                    p += 4;
                }
        }
    }
    std::lock_guard lock(record.conversion);
    record.temp_comp_table = result == 1 ? table : decltype(table){};
    record.extended_tcd = result == 1 && extended;
    return result;
}

int load_linearity(SensorRecord &record) {
    std::array<std::array<double, 10>, 16> table{};
    bool found = false;
    bool valid = false;
    {
        std::lock_guard lock(record.channel);
        channel::send_locked(record, "MI4\n");
        std::string header;
        found = read_area_locked(record, "MR4\n", 4, header) && header == "LIN>";
        if (found) {
            std::string data;
            bool complete = true;
            for (int row = 0; row < 16 && complete; ++row)
                complete = read_area_locked(record, "MR40\n", 40, data);
            valid = complete && checksum_matches_locked(record, header, data);
            if (valid)
                for (int row = 0; row < 16; ++row)
                    for (int column = 0; column < 10; ++column)
                        table[row][column] = le_single(data.data() + (row * 10 + column) * 4);
        }
    }
    {
        std::lock_guard lock(record.conversion);
        record.linearity_table = table;
    }
    record.linearity_on.store(valid ? 1 : 0);
    record.linearity_loaded.store(valid ? 1 : 0);
    return found && !valid ? SENSOR_LINEARITY_CHECKSUM : 1;
}

} // namespace rfsense::cal_data
