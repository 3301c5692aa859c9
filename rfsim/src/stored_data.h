// The sensor's calibration store: the three "MI"-selected flash areas (cal factors, temperature
// compensation, linearity), the equation parameters with their checksum, the legacy FRCF
// factors, the date stamps and the diode data. Areas are little-endian; each ends with a
// checksum = sum of the header bytes as signed 8-bit values + sum of the data bytes as unsigned.
#pragma once

#include "detector_math.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rfsim {

// One flash area: a fixed capacity that reads 0xFF where nothing was written.
struct FlashArea {
    explicit FlashArea(size_t capacity = 0) : bytes(capacity, 0xFF) {}
    std::vector<uint8_t> bytes;
    size_t used = 0; // one past the highest byte written since the last erase
    size_t read_position = 0;
    size_t write_position = 0;

    void erase();
    // Appends at the write position; a write at the start of the area erases it first.
    void write(const uint8_t *data, size_t count);
    // The next `count` bytes from the read position (0xFF past the end).
    std::vector<uint8_t> read(size_t count);
    void rewind() { read_position = write_position = 0; }
};

enum class AreaForm { absent, present, bad_checksum };
enum class TcdForm { absent, seven, ten, bad_checksum };

struct StoredData {
    FlashArea cal_factors{256};          // "MI3": "CFT>", one single per point, checksum
    FlashArea temperature{2048};         // "MI2": ">TCD"/"XTCD" + 8 bytes, 46 rows, checksum
    FlashArea linearity{1024};           // "MI4": "LIN>", 16 rows of 10 singles, checksum
    std::array<uint8_t, 104> equation{}; // E0..E12, little-endian doubles
    std::array<uint8_t, 4> equation_checksum{};
    std::array<int, 30> legacy_factors{}; // FRCF fields in thousandths, points 0..29
    std::string stamp_equation, stamp_cal_factors, stamp_linearity; // six digits, or ""
    uint32_t diode_serial = 0;
    uint16_t k_factor = 0;
    uint32_t trigger_level = 0;
};

int32_t area_checksum(const uint8_t *header, size_t header_size, const uint8_t *data,
                      size_t data_size);

// Rebuilders from configuration. `factors` holds one factor per point of the model.
void store_cal_factors(StoredData &store, const std::vector<double> &factors, AreaForm form);
void store_temperature_table(StoredData &store, TcdForm form);
void store_linearity_table(StoredData &store, AreaForm form);
void store_equation(StoredData &store, const Equation &equation, bool checksum_ok);

// "CLR": every area erased, equation and checksum zero, stamps unset.
void clear_store(StoredData &store);

// The default table contents: a few hundredths of a dB per degree away from 25 'C, and a few
// hundredths of a dB of linearity error.
double default_temperature_correction(double power_dbm, double temp_c);
double default_linearity_correction(double freq_ghz, double power_dbm);

// What the sensor's store amounts to for the measurement: the tables as the host library will
// load them from this store (firmware revision and model decide which areas it reads), with the
// values as stored even where a checksum is wrong.
struct Calibration {
    Equation equation{};
    std::vector<double> freqs_hz;
    std::vector<double> factors; // empty: cal factor 1
    bool has_temperature_table = false;
    TemperatureTable temperature;
    bool has_linearity_table = false;
    LinearityTable linearity{};
};

Calibration decode_store(const StoredData &store, int model, int firmware_revision);

// The stored equation, or the library default when the store holds none that works.
Equation stored_equation(const StoredData &store);
int32_t equation_byte_sum(const StoredData &store);

} // namespace rfsim
