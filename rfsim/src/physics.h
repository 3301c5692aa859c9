// The detector head run backwards: from the applied RF power to the detector voltage that the
// host library will turn back into that power with this sensor's own stored calibration, and
// from a voltage to the 24-bit ADC code.
#pragma once

#include "stored_data.h"

#include <cstdint>

namespace rfsim {

inline constexpr double threshold_volts = 0.002; // below it the detector is square-law
inline constexpr uint32_t adc_mid_scale = 8388608;
inline constexpr double high_reference = 3.3;
inline constexpr double low_reference = 1.17;

// The detector voltage for `power_dbm` at `freq_hz`, with the sensor's thermistor reading
// `temp_c` (the temperature the host will compute from the sensor's thermistor code).
double detector_volts(const Calibration &cal, int model, double power_dbm, double freq_hz,
                      double temp_c);

// The code for `input_volts` at the ADC input: offset binary around mid-scale, clamped to 24 bits.
uint32_t adc_code(double input_volts, bool high_ref);

} // namespace rfsim
