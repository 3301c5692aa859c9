#include "meterdesk/trace/trace_scaling.h"

#include "meterdesk/base/controls.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/number_text.h"
#include "meterdesk/settings/refusal.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace meterdesk {
namespace {

using namespace trace_ids;

constexpr const char *kSamplesCaption = "Trace Samples";
constexpr const char *kTimeBaseCaption = "Trace Time Base";
constexpr const char *kPlotScalingCaption = "Trace Plot Scaling";
constexpr const char *kTemperatureScalingCaption = "Trace Temperature Scaling";

// A whole number, surrounded by blanks at most; nothing for other text.
std::optional<long long> read_integer(std::string text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    text = text.substr(first, last - first + 1);
    const char *begin = text.data();
    if (*begin == '+') ++begin;
    long long value = 0;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool refuse(Ui &ui, Controls &controls, int id, const char *caption, const char *text) {
    show_refusal(ui, controls, Refusal{id, caption, text});
    return false;
}

} // namespace

bool check_samples_and_period(AppState &state, Ui &ui, Controls &controls) {
    const auto samples = read_integer(controls.text(kSamples));
    if (!samples || *samples < 10 || *samples > 500)
        return refuse(ui, controls, kSamples, kSamplesCaption, "Valid sample range: 10 to 500");
    state.trace_samples = static_cast<std::int32_t>(*samples);

    const double period = read_number(controls.text(kPeriod));
    if (state.trace_period_in_seconds) {
        if (!in_range(period, 0.2, 100))
            return refuse(ui, controls, kPeriod, kTimeBaseCaption,
                          "Valid time base: 0.2 to 100 seconds");
        state.trace_period_s = period;
    } else {
        if (!in_range(period, 1, 15))
            return refuse(ui, controls, kPeriod, kTimeBaseCaption,
                          "Valid time base: 1 to 15 minutes");
        state.trace_period_s = period * 60.0;
    }
    return true;
}

bool check_scaling(AppState &state, Ui &ui, Controls &controls) {
    if (!state.trace_autoscale) {
        const double min = read_number(controls.text(kPlotMin));
        const double max = read_number(controls.text(kPlotMax));
        if (!std::isfinite(min))
            return refuse(ui, controls, kPlotMin, kPlotScalingCaption,
                          "Max must be greater than min");
        if (!std::isfinite(max) || !(max > min))
            return refuse(ui, controls, kPlotMax, kPlotScalingCaption,
                          "Max must be greater than min");
        state.plot_min = min;
        state.plot_max = max;
        state.plot_span = max - min;
        state.plot_step = (max - min) * 0.1;
    }
    if (state.trace_temperature && !state.trace_temp_autoscale) {
        const bool celsius = state.temperature_celsius;
        const double low = celsius ? -20 : -5;
        const double high = celsius ? 75 : 170;
        const char *range_text = celsius ? "Valid temperature scaling: -20'C to +75'C"
                                         : "Valid temperature scaling: -5'F to +170'F";
        const double min = read_number(controls.text(kTempMin));
        if (!in_range(min, low, high))
            return refuse(ui, controls, kTempMin, kTemperatureScalingCaption, range_text);
        const double max = read_number(controls.text(kTempMax));
        if (!in_range(max, low, high))
            return refuse(ui, controls, kTempMax, kTemperatureScalingCaption, range_text);
        if (!(max > min))
            return refuse(ui, controls, kTempMax, kTemperatureScalingCaption,
                          "Max temperature must be greater than min");
        state.temp_min = min;
        state.temp_max = max;
        state.temp_span = max - min;
        state.temp_step = (max - min) * 0.1;
    }
    return true;
}

void show_level_scale(const AppState &state, Controls &controls) {
    const int places = state.trace_units == kLog ? 3 : 7;
    controls.set_text(kPlotMin, printf_fixed(state.plot_min, places));
    controls.set_text(kPlotMax, printf_fixed(state.plot_max, places));
}

void show_temperature_scale(const AppState &state, Controls &controls) {
    controls.set_text(kTempMin, printf_fixed(state.temp_min, 1));
    controls.set_text(kTempMax, printf_fixed(state.temp_max, 1));
}

void show_level_autoscale(const AppState &state, Controls &controls) {
    const bool on = state.trace_autoscale;
    controls.set_checked(kAuto, on);
    controls.set_enabled(kPlotMin, !on);
    controls.set_enabled(kPlotMax, !on);
    if (!on) show_level_scale(state, controls);
}

void show_temperature_autoscale(const AppState &state, Controls &controls) {
    const bool on = state.trace_temp_autoscale;
    controls.set_checked(kTempAutoScale, on);
    controls.set_enabled(kTempMin, !on);
    controls.set_enabled(kTempMax, !on);
    if (!on) show_temperature_scale(state, controls);
}

const char *temperature_label(bool celsius) {
    return celsius ? "Temperature ('C)" : "Temperature ('F)";
}

} // namespace meterdesk
