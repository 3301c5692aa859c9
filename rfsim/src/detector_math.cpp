#include "detector_math.h"

#include <algorithm>
#include <cmath>

namespace rfsim {

const Equation library_default_equation = {
    0.351422075,   46.998511431, -0.16739752, 38.918840708, 0.658688612,  -0.145810701, 1.992628645,
    -49.534820177, 0.975122284,  0.890270701, -0.147695445, -4.224442247, 0.505367444};

double equation_power(const Equation &e, double volts) {
    const double l = std::log10(volts);
    const double g1 = (l - e[8]) / e[9];
    const double g2 = (l - e[11]) / e[12];
    return e[0] + e[1] * l + e[2] * l * l +
           e[3] * std::pow(std::pow(std::fabs(l - e[5]), e[6]) + std::pow(std::fabs(e[4]), e[6]),
                           1.0 / e[6]) +
           e[7] * std::exp(-(g1 * g1)) + e[10] * std::exp(-(g2 * g2));
}

const std::vector<double> &temperature_nodes(bool ten_columns) {
    static const std::vector<double> seven{0, 10, 20, 25, 30, 40, 50};
    static const std::vector<double> ten{-15, -10, -5, 0, 10, 20, 25, 30, 40, 50};
    return ten_columns ? ten : seven;
}

double temperature_correction(const TemperatureTable &table, double temp_c, double power_dbm) {
    const std::vector<double> &nodes = temperature_nodes(table.ten_columns);
    const size_t n = nodes.size();
    size_t hi = 0;
    while (hi < n && !(nodes[hi] > temp_c)) ++hi;
    if (hi == n) hi = n - 1;
    if (hi == 0) hi = 1;
    const size_t col = hi - 1;
    const double r = (temp_c - nodes[col]) / (nodes[hi] - nodes[col]);

    double p_lo = std::trunc(power_dbm);
    if (power_dbm < 0) p_lo -= 1;
    if (p_lo < -25) p_lo = -25;
    double p_hi = p_lo + 1;
    if (p_hi > 20) {
        p_lo = 19;
        p_hi = 20;
    }
    const double p = std::max(power_dbm, -25.0);
    const double e = (p - p_lo) / (p_hi - p_lo);
    const auto row = static_cast<size_t>(p_lo + 25);
    const auto &t = table.value;
    return (1 - e) * (1 - r) * t[row][col] + e * (1 - r) * t[row + 1][col] +
           e * r * t[row + 1][col + 1] + (1 - e) * r * t[row][col + 1];
}

double linearity_row_ghz(int row) {
    return row < 15 ? 12.01 + row : 26.51;
}

double linearity_correction(const LinearityTable &table, double freq_ghz, double power_dbm) {
    int row = 0; // lower frequency row
    if (freq_ghz >= 12.01) {
        row = 14;
        for (int i = 0; i < 16; ++i) {
            if (linearity_row_ghz(i) > freq_ghz) {
                row = i - 1;
                break;
            }
        }
    }
    const double f_lo = linearity_row_ghz(row);
    const double d = (freq_ghz - f_lo) / (linearity_row_ghz(row + 1) - f_lo);

    double p_lo = -25;
    double p = power_dbm;
    if (p < -20) {
        p = std::max(p, -25.0);
    } else if (p > 15) {
        p_lo = 15;
    } else {
        double upper = -15;
        while (upper < p) upper += 5;
        p_lo = upper - 5;
    }
    const double u = (p - p_lo) / 5.0;
    const auto i = static_cast<size_t>(row);
    const auto j = static_cast<size_t>((p_lo + 25) / 5);
    return (1 - d) * (1 - u) * table[i][j] + (1 - d) * u * table[i][j + 1] +
           d * u * table[i + 1][j + 1] + d * (1 - u) * table[i + 1][j];
}

double interpolate_cal_factor(const std::vector<double> &freqs_hz,
                              const std::vector<double> &factors, double freq_hz) {
    const size_t n = std::min(freqs_hz.size(), factors.size());
    if (n == 0) return 1.0;
    if (n == 1 || freq_hz < freqs_hz[0]) return factors[0];
    size_t i = 1;
    while (i < n - 1 && !(freq_hz < freqs_hz[i])) ++i;
    const double w = (freq_hz - freqs_hz[i - 1]) / (freqs_hz[i] - freqs_hz[i - 1]);
    return factors[i - 1] + w * (factors[i] - factors[i - 1]);
}

int thermistor_code(const Thermistor &t, double temp_c) {
    const double r =
        t.nominal_ohm * std::exp(t.b_constant / (temp_c + 273.0) - t.b_constant / 298.0);
    const double v = 2.5 * r / (t.series_ohm + r);
    return static_cast<int>(std::clamp(std::lround(v / thermistor_volts_per_code), 0L, 65535L));
}

double thermistor_temperature(const Thermistor &t, int code) {
    const double v = code * thermistor_volts_per_code;
    const double r = v * t.series_ohm / (2.5 - v);
    return t.b_constant / (std::log(r / t.nominal_ohm) + t.b_constant / 298.0) - 273.0;
}

} // namespace rfsim
