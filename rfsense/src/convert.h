// Power conversion: the detector equation and the corrections. The free functions are pure maths
// on explicit inputs; the record functions take the record's `conversion` lock themselves.
#pragma once

#include "record.h"

#include <array>

namespace rfsense::convert {

inline constexpr double threshold_volts = 0.002;

// The detector equation P(V) in dBm for a detector voltage V > 0.
double equation_power(const std::array<double, 13> &e, double volts);

// Temperature correction C_T (dB). `table` rows are -25..+20 dBm, columns the 7 or 10
// temperature nodes. Fills the 9-value working set when `working` is not null.
double temp_correction(const std::array<std::array<double, 10>, 46> &table, bool extended,
                       double celsius, double dbm, std::array<double, 9> *working);

// Linearity correction C_L (dB) for frequency in GHz and power in dBm.
double linearity_correction(const std::array<std::array<double, 10>, 16> &table, double ghz,
                            double dbm, std::array<double, 9> *working);

// Cal factor at `hz` by interpolation (and extrapolation) of the model's table.
double cal_factor_at(const double *frequencies, const double *factors, int points, double hz);

// Square-law region: the power of `volts` at or below the threshold voltage, scaled from the
// threshold power (W) in proportion to the voltage.
double square_law_dbm(double volts, double threshold_power_w);

// Model 5: the band (0..7) whose equation parameters serve `hz`.
int band_for_frequency(double hz);

// Volts to dBm on the record: duty cycle, equation or square-law region, temperature correction.
double volts_to_dbm(SensorRecord &record, double volts);

// Recomputes the threshold power fields (at start-up: uncompensated, both fields).
void init_threshold_power(SensorRecord &record);
// After a temperature read with compensation on: the compensated field.
void update_threshold_power(SensorRecord &record);

// Recomputes the cal factor for the current frequency and the linearity applicability
// (model 5: selects the band parameters instead).
void frequency_changed(SensorRecord &record);

// Recomputes the cal factor from the table after an entry changed (not model 5).
void recompute_cal_factor(SensorRecord &record);

} // namespace rfsense::convert
