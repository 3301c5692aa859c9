// Loading of the calibration data at start-up: the sensor's stored areas and legacy queries, and
// the data-folder files. Every loader leaves a usable default when its data cannot be had and
// reports that through its result (1 = loaded).
#pragma once

#include "record.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rfsense::cal_data {

// Checksum of a stored area: header bytes as signed 8-bit values plus data bytes as unsigned
// 8-bit values, in 32 bits.
uint32_t area_checksum(std::string_view header, std::string_view data);

// --- from the sensor (each exchange holds the channel) ---

// Cal-factor table: stored "CFT>" area from firmware 4.5 on, else the legacy "FRCF" queries.
// 1, or 6 when the stored table fails its checksum (all factors then 1.0).
int load_cal_factors(SensorRecord &record);

// Equation parameters from the sensor; 1, or 5 when the checksum fails (defaults in use).
int load_equation(SensorRecord &record);

// Diode serial number and K factor.
void load_diode_data(SensorRecord &record);

// Stored temperature-compensation table. `found` tells whether the area has a header at all;
// 1, or 23 on a checksum mismatch (the table is then zero).
int load_stored_temp_comp(SensorRecord &record, bool &found);

// Stored linearity table; 1 (loaded, or absent), or 24 on a checksum mismatch.
int load_linearity(SensorRecord &record);

// --- from the data folder ---

// Temperature-compensation section of "tcd.dat" (7-column layout) for `model`.
// 1, 18 when the file cannot be opened, 19 when it holds no valid section for the model; the
// table is zero on failure.
int load_tcd_file(const std::string &path, int model,
                  std::array<std::array<double, 10>, 46> &table);
// The same on the file's bytes (anything but a complete, well-marked section gives 19).
int parse_tcd_file(std::string_view bytes, int model,
                   std::array<std::array<double, 10>, 46> &table);

// Band parameter table of model 5 from "tessaline prams.txt": 8 blocks of a title line and ten
// numbers. False when the file cannot be opened or is incomplete (`bands` is then unchanged).
bool load_band_file(const std::string &path, std::array<std::array<double, 10>, 8> &bands);
bool parse_band_file(std::string_view text, std::array<std::array<double, 10>, 8> &bands);

// One legacy cal-factor field of four characters: thousandths; outside 0.5..1.5 gives 1.0.
double legacy_factor(std::string_view field);

} // namespace rfsense::cal_data
