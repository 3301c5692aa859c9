#include "convert.h"

#include "models.h"

#include <cmath>
#include <mutex>

namespace rfsense::convert {

namespace {

// Temperature nodes of the two table forms ('C).
constexpr std::array<double, 7> short_form_nodes{0, 10, 20, 25, 30, 40, 50};
constexpr std::array<double, 10> extended_form_nodes{-15, -10, -5, 0, 10, 20, 25, 30, 40, 50};

// Row frequencies of the linearity table (GHz).
constexpr std::array<double, 16> linearity_rows{12.01, 13.01, 14.01, 15.01, 16.01, 17.01,
                                                18.01, 19.01, 20.01, 21.01, 22.01, 23.01,
                                                24.01, 25.01, 26.01, 26.51};

// Model 5 band limits (GHz): band k starts at limit k-1.
constexpr std::array<double, 7> band_limits_ghz{77.5, 82.5, 87.5, 92.25, 97.25, 102.25, 107.25};

// Index of the upper node of the bracket around x: the first node above x, kept within 1..n-1
// so that values outside the nodes extrapolate along the first or last interval.
template <size_t N>
size_t upper_node(const std::array<double, N> &nodes, double x) {
    for (size_t i = 1; i < N; ++i)
        if (x < nodes[i]) return i;
    return N - 1;
}

double dbm_to_w(double dbm) {
    return std::pow(10.0, dbm / 10.0) * 0.001;
}

} // namespace

double equation_power(const std::array<double, 13> &e, double volts) {
    const double l = std::log10(volts);
    const double knee =
        std::pow(std::pow(std::fabs(l - e[5]), e[6]) + std::pow(std::fabs(e[4]), e[6]), 1.0 / e[6]);
    const double g1 = (l - e[8]) / e[9];
    const double g2 = (l - e[11]) / e[12];
    return e[0] + e[1] * l + e[2] * l * l + e[3] * knee + e[7] * std::exp(-(g1 * g1)) +
           e[10] * std::exp(-(g2 * g2));
}

double temp_correction(const std::array<std::array<double, 10>, 46> &table, bool extended,
                       double celsius, double dbm, std::array<double, 9> *working) {
    double t_lo = 0;
    double t_hi = 0;
    size_t col = 0;
    if (extended) {
        const size_t hi = upper_node(extended_form_nodes, celsius);
        col = hi - 1;
        t_lo = extended_form_nodes[col];
        t_hi = extended_form_nodes[hi];
    } else {
        const size_t hi = upper_node(short_form_nodes, celsius);
        col = hi - 1;
        t_lo = short_form_nodes[col];
        t_hi = short_form_nodes[hi];
    }
    const double r = (celsius - t_lo) / (t_hi - t_lo);

    // Power bracket in whole dB: truncation toward zero, one lower for negative powers; kept
    // within the table's rows -25..+20 (a NaN power falls to the first row).
    double p_lo = dbm >= 0 ? std::trunc(dbm) : std::trunc(dbm) - 1;
    if (!(p_lo >= -25)) p_lo = -25;
    double p_hi = p_lo + 1;
    if (p_hi > 20) {
        p_lo = 19;
        p_hi = 20;
    }
    const double p_weight = dbm < -25 ? -25 : dbm;
    const double e = (p_weight - p_lo) / (p_hi - p_lo);

    const auto row = static_cast<size_t>(p_lo + 25);
    const double lo_lo = table[row][col];
    const double hi_lo = table[row + 1][col];
    const double hi_hi = table[row + 1][col + 1];
    const double lo_hi = table[row][col + 1];
    const double c =
        (1 - e) * (1 - r) * lo_lo + e * (1 - r) * hi_lo + e * r * hi_hi + (1 - e) * r * lo_hi;
    if (working != nullptr) *working = {p_hi, p_lo, t_hi, t_lo, lo_lo, hi_lo, hi_hi, lo_hi, c};
    return c;
}

double linearity_correction(const std::array<std::array<double, 10>, 16> &table, double ghz,
                            double dbm, std::array<double, 9> *working) {
    const size_t i_hi = upper_node(linearity_rows, ghz);
    const size_t i = i_hi - 1;
    const double f_lo = linearity_rows[i];
    const double f_hi = linearity_rows[i_hi];
    const double d = (ghz - f_lo) / (f_hi - f_lo);

    double p_lo = -25;
    double p_hi = -20;
    double p_weight = dbm;
    if (dbm < -20) {
        if (dbm < -25) p_weight = -25;
    } else if (dbm > 15) {
        p_lo = 15;
        p_hi = 20;
    } else {
        p_hi = -15;
        while (p_hi < dbm) p_hi += 5;
        p_lo = p_hi - 5;
    }
    // A NaN power fails every comparison above and lands in the -25..-20 bracket.
    const double u = (p_weight - p_lo) / (p_hi - p_lo);
    const auto j = static_cast<size_t>((p_lo + 25) / 5);

    const double a = table[i][j];         // lower frequency, lower power
    const double b = table[i][j + 1];     // lower frequency, upper power
    const double c = table[i + 1][j + 1]; // upper frequency, upper power
    const double dd = table[i + 1][j];    // upper frequency, lower power
    const double corr = (1 - d) * (1 - u) * a + (1 - d) * u * b + d * u * c + d * (1 - u) * dd;
    if (working != nullptr) *working = {p_hi, p_lo, f_hi, f_lo, a, b, c, dd, corr};
    return corr;
}

double cal_factor_at(const double *frequencies, const double *factors, int points, double hz) {
    if (points <= 0) return 1.0;
    if (points == 1 || hz < frequencies[0]) return factors[0];
    int i = points - 1;
    for (int k = 1; k < points; ++k) {
        if (hz < frequencies[k]) {
            i = k;
            break;
        }
    }
    const double f0 = frequencies[i - 1];
    const double f1 = frequencies[i];
    if (f1 == f0) return factors[i];
    return factors[i - 1] + (factors[i] - factors[i - 1]) * (hz - f0) / (f1 - f0);
}

double square_law_dbm(double volts, double threshold_power_w) {
    return 10.0 * std::log10(volts * threshold_power_w * 500.0 * 1000.0);
}

int band_for_frequency(double hz) {
    const double ghz = hz * 1e-9;
    int band = 0;
    for (double limit : band_limits_ghz)
        if (ghz >= limit) ++band;
    return band;
}

double volts_to_dbm(SensorRecord &record, double volts) {
    if (record.duty_on.load() != 0) volts = volts / (record.duty_cycle.load() * 0.01);
    if (volts > threshold_volts) {
        std::lock_guard lock(record.conversion);
        double p = equation_power(record.equation, volts);
        if (record.temp_comp_on.load() != 0)
            p -= temp_correction(record.temp_comp_table, record.extended_tcd,
                                 record.temperature1.load(), p, &record.temp_comp_working);
        return p;
    }
    return square_law_dbm(volts, record.threshold_power_w.load());
}

void init_threshold_power(SensorRecord &record) {
    std::lock_guard lock(record.conversion);
    const double p = equation_power(record.equation, threshold_volts);
    record.threshold_power_dbm = p;
    record.threshold_power_uncompensated_w = dbm_to_w(p);
    record.threshold_power_w = dbm_to_w(p);
}

void update_threshold_power(SensorRecord &record) {
    std::lock_guard lock(record.conversion);
    const double p = record.threshold_power_dbm.load();
    const double c = temp_correction(record.temp_comp_table, record.extended_tcd,
                                     record.temperature1.load(), p, &record.temp_comp_working);
    record.threshold_power_w = dbm_to_w(p - c);
}

namespace {

void recompute_cal_factor_locked(SensorRecord &record) {
    const int model = record.model_index;
    if (model == models::generic_model) {
        record.cal_factor = 1.0;
    } else {
        const int points = models::model(model).cal_points;
        record.cal_factor =
            cal_factor_at(record.frequency_table.data(), record.cal_factor_table.data(), points,
                          record.frequency.load());
    }
    record.linearity_applicable = (model == 3 && record.frequency.load() > 11.99e9) ? 1 : 0;
}

} // namespace

void recompute_cal_factor(SensorRecord &record) {
    if (record.model_index == 5) return;
    std::lock_guard lock(record.conversion);
    recompute_cal_factor_locked(record);
}

void frequency_changed(SensorRecord &record) {
    if (record.model_index != 5) {
        std::lock_guard lock(record.conversion);
        recompute_cal_factor_locked(record);
        return;
    }
    {
        std::lock_guard lock(record.conversion);
        const auto band = static_cast<size_t>(band_for_frequency(record.frequency.load()));
        const auto &row = record.band_parameters[band];
        // Without a band parameter file the rows are empty; the equation in use (the
        // defaults) then stays.
        bool empty = true;
        for (double v : row) empty = empty && v == 0.0;
        if (empty) return;
        for (size_t k = 0; k < 10; ++k) record.equation[k] = row[k];
        record.equation[10] = 0;
        record.equation[11] = 1;
        record.equation[12] = 1;
    }
    // The square-law region joins the equation at the threshold voltage, so a new band needs
    // its own threshold power.
    init_threshold_power(record);
    if (record.temp_comp_on.load() != 0) update_threshold_power(record);
}

} // namespace rfsense::convert
