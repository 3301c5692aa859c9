#include "physics.h"

#include "model_table.h"

#include <algorithm>
#include <cmath>

namespace rfsim {

namespace {

constexpr double top_volts = 20.0; // far beyond anything the ADC can take

// The power the host reads from a voltage above the threshold: P(V) - C_T(T, P(V)).
double compensated_power(const Calibration &cal, double volts, double temp_c) {
    const double p = equation_power(cal.equation, volts);
    return cal.has_temperature_table ? p - temperature_correction(cal.temperature, temp_c, p) : p;
}

} // namespace

double detector_volts(const Calibration &cal, int model, double power_dbm, double freq_hz,
                      double temp_c) {
    // The host subtracts C_L(f, p1) from the cal-factor-corrected power p1: solve p1 - C_L = p.
    double p1 = power_dbm;
    if (model == linearity_model && freq_hz > 11.99e9 && cal.has_linearity_table) {
        for (int i = 0; i < 100; ++i) {
            const double next = power_dbm + linearity_correction(cal.linearity, freq_hz * 1e-9, p1);
            const bool settled = std::fabs(next - p1) < 1e-13;
            p1 = next;
            if (settled) break;
        }
    }

    double cf = 1.0;
    if (model != millimetre_model && !cal.factors.empty())
        cf = interpolate_cal_factor(cal.freqs_hz, cal.factors, freq_hz);
    if (!(cf > 0.0)) cf = 1.0;
    const double p0 = p1 + 10.0 * std::log10(cf);

    const double threshold_power = compensated_power(cal, threshold_volts, temp_c);
    if (p0 <= threshold_power)
        return threshold_volts * std::pow(10.0, (p0 - threshold_power) / 10.0);

    double lo = std::log10(threshold_volts);
    double hi = std::log10(top_volts);
    if (compensated_power(cal, top_volts, temp_c) < p0) return top_volts;
    for (int i = 0; i < 200 && hi - lo > 1e-15; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (compensated_power(cal, std::pow(10.0, mid), temp_c) < p0)
            lo = mid;
        else
            hi = mid;
    }
    return std::pow(10.0, 0.5 * (lo + hi));
}

uint32_t adc_code(double input_volts, bool high_ref) {
    if (!std::isfinite(input_volts))
        input_volts = 0.0; // a nonsensical equation leaves the input at rest, never undefined
    const double volts_per_count = (high_ref ? high_reference : low_reference) / 16777216.0;
    const double code = std::round(adc_mid_scale + input_volts / volts_per_count);
    return static_cast<uint32_t>(std::clamp(code, 0.0, 16777215.0));
}

} // namespace rfsim
