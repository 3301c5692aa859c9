// The conversions the host library applies to a sensor's readings, reproduced here so that the
// simulated sensor can run them backwards: detector equation, temperature and linearity
// corrections, cal-factor interpolation and the thermistor formula.
#pragma once

#include <array>
#include <vector>

namespace rfsim {

using Equation = std::array<double, 13>;

// The host library's fallback parameters E0..E12.
extern const Equation library_default_equation;

// P(V) in dBm for a detector voltage V in volts.
double equation_power(const Equation &e, double volts);

// Temperature-compensation table: 46 power rows (-25..+20 dBm) by 7 or 10 temperature columns,
// the 25 'C column holding 0.
struct TemperatureTable {
    bool ten_columns = true;
    std::array<std::array<double, 10>, 46> value{};
};

// Column temperatures of the two forms.
const std::vector<double> &temperature_nodes(bool ten_columns);

// C_T(T, p) in dB.
double temperature_correction(const TemperatureTable &table, double temp_c, double power_dbm);

// Linearity table: 16 frequency rows (12.01..26.01 GHz, 26.51 GHz) by 10 power columns
// (-25..+20 dBm).
using LinearityTable = std::array<std::array<double, 10>, 16>;

double linearity_row_ghz(int row);

// C_L(f, p) in dB for f in GHz.
double linearity_correction(const LinearityTable &table, double freq_ghz, double power_dbm);

// The cal factor at `freq_hz`, interpolated (and extrapolated past the last point) along the
// table the way the host library does it.
double interpolate_cal_factor(const std::vector<double> &freqs_hz,
                              const std::vector<double> &factors, double freq_hz);

// One thermistor divider: series resistance, nominal resistance at 25 'C, B constant.
struct Thermistor {
    double series_ohm;
    double nominal_ohm;
    double b_constant;
};

inline constexpr Thermistor sensor_thermistor{33000.0, 30000.0, 4143.0}; // channel 1
inline constexpr Thermistor air_thermistor{43000.0, 47000.0, 4050.0};    // channels 2 and 3
inline constexpr double thermistor_volts_per_code = 0.0024414;

// The 16-bit code the sensor reports at `temp_c`, and the temperature the host reads from it.
int thermistor_code(const Thermistor &t, double temp_c);
double thermistor_temperature(const Thermistor &t, int code);

} // namespace rfsim
