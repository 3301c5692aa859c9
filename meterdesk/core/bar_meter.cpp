#include "meterdesk/core/bar_meter.h"

#include "meterdesk/core/decimal_text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace meterdesk {
namespace {

constexpr int kLabelSpacing = 55;
constexpr int kScaleWidth = kMeterScaleRightX - kMeterScaleLeftX; // 330
constexpr int kOverRangeX = 381;
constexpr int kLabelFont = 14;
constexpr int kCaptionFont = 14;

// Log auto scaling: a 30 dB window from -80 dBm, moved up 20 dB at a time (at most 9 times)
// while the reading is above its test level, 5 dB below the window's top.
constexpr double kLogWindowStart = -80.0;
constexpr double kLogWindowSpan = 30.0;
constexpr double kLogWindowStep = 20.0;
constexpr int kLogWindowMaxSteps = 9;

// Linear auto scaling: full scales of 120, 1.2 and 12 of a unit, one decade apart.
constexpr std::array<const char *, 7> kLabels120 = {"0", "20", "40", "60", "80", "100", "120"};
constexpr std::array<const char *, 7> kLabels1p2 = {"0", "0.2", "0.4", "0.6", "0.8", "1.0", "1.2"};
constexpr std::array<const char *, 7> kLabels12 = {"0", "2", "4", "6", "8", "10", "12"};

constexpr std::size_t kPowerDecades = 15;   // 120 nW .. 12 MW
constexpr std::size_t kPercentDecades = 10; // 120 % .. 120 G%

// v x 10^power; dividing by an exact power of ten keeps the quotient correctly rounded.
double scale_value(double v, int power) {
    double ten_to = 1.0;
    for (int i = 0; i < (power < 0 ? -power : power); ++i) ten_to *= 10.0;
    return power < 0 ? v / ten_to : v * ten_to;
}

// A unit of the scale: a value in mW (or percent) is shown times 10^power.
struct ScaleUnit {
    const char *text;
    int power;
};

constexpr std::array<ScaleUnit, 6> kPowerUnits = {
    {{"nW ", 6}, {"uW ", 3}, {"mW ", 0}, {"W  ", -3}, {"KW ", -6}, {"MW ", -9}}};
constexpr std::array<ScaleUnit, 5> kPercentUnits = {
    {{"%   ", 0}, {"K% ", -3}, {"M% ", -6}, {"G% ", -9}, {"%T ", -12}}};

// The first full scale, one decade after another, that is not below the reading; past the
// last decade the last one stays. Decade k has the labels of 120, 1.2, 12 in turn, and the unit
// (k + 2) / 3 of the list: k 0 is 120 nW (120 %), k 1..3 are 1.2, 12 and 120 uW (K%), ...
template <std::size_t N>
MeterScale linear_auto(double reading, std::size_t decades, const std::array<ScaleUnit, N> &units) {
    MeterScale scale;
    scale.auto_scaled = true;
    scale.minimum = 0.0;
    for (std::size_t k = 0; k < decades; ++k) {
        const ScaleUnit &unit = units[std::min((k + 2) / 3, units.size() - 1)];
        const std::size_t cycle = k % 3;
        const double full = cycle == 0 ? 120.0 : cycle == 1 ? 1.2 : 12.0;
        if (scale_value(reading, unit.power) <= full || k + 1 == decades) {
            scale.maximum = full;
            scale.reading_power = unit.power;
            scale.unit_text = unit.text;
            const auto &labels = cycle == 0 ? kLabels120 : cycle == 1 ? kLabels1p2 : kLabels12;
            for (std::size_t i = 0; i < labels.size(); ++i) scale.labels[i] = labels[i];
            break;
        }
    }
    return scale;
}

std::string signed_db_label(double v) {
    const long n = std::lround(v);
    std::string text = std::to_string(n);
    // Inserting the sign (rather than adding strings) also keeps GCC 12 at -O3 from a false
    // -Wrestrict report.
    if (n > 0) text.insert(text.begin(), '+');
    return text;
}

MeterScale log_auto(double reading, bool relative) {
    int steps = 0;
    while (steps < kLogWindowMaxSteps &&
           reading > kLogWindowStart + kLogWindowSpan - 5.0 + kLogWindowStep * steps)
        ++steps;
    MeterScale scale;
    scale.auto_scaled = true;
    scale.minimum = kLogWindowStart + kLogWindowStep * steps;
    scale.maximum = scale.minimum + kLogWindowSpan;
    for (std::size_t k = 0; k < kMeterLabelCount; ++k)
        scale.labels[k] = signed_db_label(scale.minimum + 5.0 * static_cast<double>(k));
    scale.unit_text = relative ? "dB " : "dBm ";
    return scale;
}

// Typed scales: the labels divide the span in six; their decimals follow the span.
void manual_labels(MeterScale &scale) {
    const double span = scale.maximum - scale.minimum;
    for (std::size_t k = 0; k < kMeterLabelCount; ++k) {
        const double v = scale.minimum + static_cast<double>(k) * span / 6.0;
        int places = 0;
        if (span < 6.0) {
            const bool end = k == 0 || k + 1 == kMeterLabelCount;
            places = (end || span >= 1.0) ? 1 : 2;
        }
        scale.labels[k] = fixed_text(v, places);
    }
}

MeterScale log_manual(const MeterInput &in) {
    MeterScale scale;
    scale.auto_scaled = false;
    scale.minimum = in.meter_min_db;
    scale.maximum = in.meter_max_db;
    scale.unit_text = in.relative_enabled ? "dB " : "dBm ";
    manual_labels(scale);
    return scale;
}

MeterScale linear_manual(const MeterInput &in) {
    MeterScale scale;
    scale.auto_scaled = false;
    ScaleUnit unit{"mW ", 0};
    if (in.relative_enabled) {
        // Percent scales are shown in the largest prefix the maximum reaches.
        const double top = in.meter_max_mw;
        unit = top > 1e9   ? kPercentUnits[3]
               : top > 1e6 ? kPercentUnits[2]
               : top > 1e3 ? kPercentUnits[1]
                           : kPercentUnits[0];
    } else {
        // Typed in uW, mW, W, KW or MW.
        constexpr std::array<ScaleUnit, 5> kTypedUnits = {
            {{"uW ", 3}, {"mW ", 0}, {"Watts ", -3}, {"KW ", -6}, {"MW ", -9}}};
        const bool known = in.meter_unit_index >= 0 && in.meter_unit_index < 5;
        unit = kTypedUnits[known ? static_cast<std::size_t>(in.meter_unit_index) : 1];
        if (unit.power >= 0) unit.text = in.meter_unit_mw == 1.0 ? "mW " : "uW ";
    }
    scale.minimum = scale_value(in.meter_min_mw, unit.power);
    scale.maximum = scale_value(in.meter_max_mw, unit.power);
    scale.reading_power = unit.power;
    scale.unit_text = unit.text;
    manual_labels(scale);
    return scale;
}

} // namespace

MeterScale meter_scale(const MeterInput &in) {
    const bool log_scale = in.meas_mode != kModeLinear;
    if (log_scale)
        return in.meter_auto ? log_auto(in.reading, in.relative_enabled) : log_manual(in);
    if (!in.meter_auto) return linear_manual(in);
    return in.relative_enabled ? linear_auto(in.reading, kPercentDecades, kPercentUnits)
                               : linear_auto(in.reading, kPowerDecades, kPowerUnits);
}

MeterNeedle meter_needle(const MeterScale &scale, double reading) {
    const double value = scale_value(reading, scale.reading_power);
    const double x =
        kMeterScaleLeftX + kScaleWidth * (value - scale.minimum) / (scale.maximum - scale.minimum);
    if (std::isnan(x) || x < kMeterScaleLeftX) return {kMeterScaleLeftX, NeedleRange::kUnder};
    if (x >= kOverRangeX) return {kMeterScaleRightX, NeedleRange::kOver};
    return {static_cast<int>(x), NeedleRange::kInRange};
}

std::string meter_caption(const MeterScale &scale, NeedleRange range) {
    if (range == NeedleRange::kUnder) return "   Under Range";
    if (range == NeedleRange::kOver) return "   Over Range";
    return scale.unit_text + (scale.auto_scaled ? "(Auto Scaled)" : "(Manual Scaling)");
}

int meter_top(int display_setup, int readout_top) {
    return display_setup == 1 ? readout_top + 35 : 85;
}

MeterView layout_meter(const MeterInput &in) {
    MeterView view;
    view.top = meter_top(in.display_setup, in.readout_top);
    view.scale = meter_scale(in);
    for (std::size_t k = 0; k < kMeterLabelCount; ++k)
        view.labels[k] = {kMeterScaleLeftX + kLabelSpacing * static_cast<int>(k), view.top + 66,
                          kLabelFont, view.scale.labels[k]};
    view.needle = meter_needle(view.scale, in.reading);
    view.caption = {215, view.top + 142, kBlack, kCaptionFont,
                    meter_caption(view.scale, view.needle.range)};
    return view;
}

MeterInput meter_input(const AppState &state) {
    MeterInput in;
    in.meas_mode = state.meas_mode.load();
    in.relative_enabled = state.relative_enabled.load();
    in.reading = state.reading_power.load();
    in.meter_auto = state.meter_auto.load();
    in.meter_min_db = state.meter_min_db.load();
    in.meter_max_db = state.meter_max_db.load();
    in.meter_min_mw = state.meter_min_mw.load();
    in.meter_max_mw = state.meter_max_mw.load();
    in.meter_unit_index = state.meter_unit_index.load();
    in.meter_unit_mw = state.meter_unit_mw.load();
    in.display_setup = state.display_setup.load();
    in.readout_top = state.readout_top.load();
    return in;
}

} // namespace meterdesk
