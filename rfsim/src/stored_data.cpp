#include "stored_data.h"

#include "model_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rfsim {

void FlashArea::erase() {
    std::fill(bytes.begin(), bytes.end(), uint8_t{0xFF});
    used = 0;
}

void FlashArea::write(const uint8_t *data, size_t count) {
    if (write_position == 0 && count > 0) erase();
    for (size_t i = 0; i < count && write_position < bytes.size(); ++i)
        bytes[write_position++] = data[i];
    used = std::max(used, write_position);
}

std::vector<uint8_t> FlashArea::read(size_t count) {
    std::vector<uint8_t> out(count, 0xFF);
    for (size_t i = 0; i < count; ++i, ++read_position)
        if (read_position < bytes.size()) out[i] = bytes[read_position];
    return out;
}

int32_t area_checksum(const uint8_t *header, size_t header_size, const uint8_t *data,
                      size_t data_size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < header_size; ++i)
        sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(header[i])));
    for (size_t i = 0; i < data_size; ++i) sum += data[i];
    return static_cast<int32_t>(sum);
}

namespace {

void put_single(std::vector<uint8_t> &out, double value) {
    const auto single = static_cast<float>(value);
    uint8_t raw[4];
    std::memcpy(raw, &single, 4);
    out.insert(out.end(), raw, raw + 4);
}

void put_int32(std::vector<uint8_t> &out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

float get_single(const std::vector<uint8_t> &bytes, size_t offset) {
    float value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

// Writes header, data and checksum (optionally spoilt) as the factory tool would.
void program_area(FlashArea &area, const std::vector<uint8_t> &header,
                  const std::vector<uint8_t> &data, bool good_checksum) {
    int32_t checksum = area_checksum(header.data(), header.size(), data.data(), data.size());
    if (!good_checksum) checksum += 1;
    std::vector<uint8_t> all = header;
    all.insert(all.end(), data.begin(), data.end());
    put_int32(all, checksum);
    area.rewind();
    area.write(all.data(), all.size());
    area.rewind();
}

bool header_is(const FlashArea &area, const char *text) {
    const size_t n = std::strlen(text);
    return area.bytes.size() >= n && std::memcmp(area.bytes.data(), text, n) == 0;
}

} // namespace

void store_cal_factors(StoredData &store, const std::vector<double> &factors, AreaForm form) {
    for (size_t i = 0; i < store.legacy_factors.size(); ++i)
        store.legacy_factors[i] =
            i < factors.size() ? static_cast<int>(std::lround(factors[i] * 1000.0)) : 1000;
    if (form == AreaForm::absent || factors.empty()) {
        store.cal_factors.erase();
        store.cal_factors.rewind();
        return;
    }
    const std::vector<uint8_t> header{'C', 'F', 'T', '>'};
    std::vector<uint8_t> data;
    for (double f : factors) put_single(data, f);
    program_area(store.cal_factors, header, data, form == AreaForm::present);
}

double default_temperature_correction(double power_dbm, double temp_c) {
    const double dt = temp_c - 25.0;
    return (0.02 + 0.0004 * (power_dbm + 25.0)) * dt + 0.0002 * dt * dt;
}

double default_linearity_correction(double freq_ghz, double power_dbm) {
    return 0.01 + 0.0015 * (freq_ghz - 12.0) - 0.0008 * (power_dbm + 2.5);
}

void store_temperature_table(StoredData &store, TcdForm form) {
    if (form == TcdForm::absent) {
        store.temperature.erase();
        store.temperature.rewind();
        return;
    }
    const bool ten = form != TcdForm::seven;
    // The 8 bytes after the marker carry no meaning for the host beyond the checksum; one of
    // them is above 0x7F so that the signed header sum matters.
    std::vector<uint8_t> header{
        static_cast<uint8_t>(ten ? 'X' : '>'), 'T', 'C', 'D',  '4', '6', 'x',
        static_cast<uint8_t>(ten ? '9' : '6'), ' ', '1', 0xB0, 'C'};
    std::vector<uint8_t> data;
    for (int row = 0; row < 46; ++row)
        for (double t : temperature_nodes(ten))
            if (t != 25.0) put_single(data, default_temperature_correction(row - 25.0, t));
    program_area(store.temperature, header, data, form != TcdForm::bad_checksum);
}

void store_linearity_table(StoredData &store, AreaForm form) {
    if (form == AreaForm::absent) {
        store.linearity.erase();
        store.linearity.rewind();
        return;
    }
    const std::vector<uint8_t> header{'L', 'I', 'N', '>'};
    std::vector<uint8_t> data;
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 10; ++col)
            put_single(data, default_linearity_correction(linearity_row_ghz(row), -25.0 + 5 * col));
    program_area(store.linearity, header, data, form == AreaForm::present);
}

int32_t equation_byte_sum(const StoredData &store) {
    uint32_t sum = 0;
    for (uint8_t b : store.equation) sum += b;
    return static_cast<int32_t>(sum);
}

void store_equation(StoredData &store, const Equation &equation, bool checksum_ok) {
    std::memcpy(store.equation.data(), equation.data(), store.equation.size());
    int32_t sum = equation_byte_sum(store);
    if (!checksum_ok) sum += 1;
    const auto v = static_cast<uint32_t>(sum);
    for (size_t i = 0; i < 4; ++i) store.equation_checksum[i] = static_cast<uint8_t>(v >> (8 * i));
}

void clear_store(StoredData &store) {
    for (FlashArea *area : {&store.cal_factors, &store.temperature, &store.linearity}) {
        area->erase();
        area->rewind();
    }
    store.equation.fill(0);
    store.equation_checksum.fill(0);
    store.legacy_factors.fill(1000);
    store.stamp_equation.clear();
    store.stamp_cal_factors.clear();
    store.stamp_linearity.clear();
}

Equation stored_equation(const StoredData &store) {
    Equation e{};
    std::memcpy(e.data(), store.equation.data(), store.equation.size());
    // A store without a working equation (erased, or parameters that do not give a finite,
    // rising response over the detector's span) is measured with the library default.
    const double low = equation_power(e, 0.002);
    const double high = equation_power(e, 3.0);
    if (!std::isfinite(low) || !std::isfinite(high) || !(high > low))
        return library_default_equation;
    return e;
}

Calibration decode_store(const StoredData &store, int model, int firmware_revision) {
    Calibration cal;
    cal.equation = stored_equation(store);
    if (model == millimetre_model) return cal;

    if (model != generic_model) {
        cal.freqs_hz = frequency_table(model);
        const size_t n = static_cast<size_t>(cal_points(model));
        cal.factors.assign(n, 1.0);
        if (firmware_revision >= 45 && header_is(store.cal_factors, "CFT>")) {
            for (size_t i = 0; i < n; ++i)
                cal.factors[i] =
                    static_cast<double>(get_single(store.cal_factors.bytes, 4 + 4 * i));
        } else {
            for (size_t i = 0; i < n && i < store.legacy_factors.size(); ++i) {
                const double f = store.legacy_factors[i] * 0.001;
                cal.factors[i] = (f < 0.5 || f > 1.5) ? 1.0 : f;
            }
            if (model == 4)
                for (size_t i = 29; i < n; ++i) cal.factors[i] = 1.0;
        }
    }

    const bool ten = header_is(store.temperature, "XTCD");
    if (firmware_revision >= 40 && (ten || header_is(store.temperature, ">TCD"))) {
        cal.has_temperature_table = true;
        cal.temperature.ten_columns = ten;
        const auto &nodes = temperature_nodes(ten);
        size_t offset = 12;
        for (auto &row : cal.temperature.value) {
            for (size_t c = 0; c < nodes.size(); ++c) {
                if (nodes[c] == 25.0) {
                    row[c] = 0.0;
                    continue;
                }
                row[c] = static_cast<double>(get_single(store.temperature.bytes, offset));
                offset += 4;
            }
        }
    }

    if (firmware_revision >= 46 && header_is(store.linearity, "LIN>")) {
        cal.has_linearity_table = true;
        size_t offset = 4;
        for (auto &row : cal.linearity)
            for (double &v : row) {
                v = static_cast<double>(get_single(store.linearity.bytes, offset));
                offset += 4;
            }
    }
    return cal;
}

} // namespace rfsim
