#include "meterdesk/settings/limits_meter.h"

#include "meterdesk/base/controls.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/control_panel_ids.h"
#include "meterdesk/settings/number_text.h"
#include "meterdesk/settings/power_units.h"

#include <cmath>
#include <string>

namespace meterdesk {

namespace ids = control_panel;

namespace {

constexpr const char *kHighLimitCaption = "Measurement High Limit";
constexpr const char *kLowLimitCaption = "Measurement Low Limit";
constexpr const char *kLimitsCaption = "Measurement Limits";
constexpr const char *kMeterCaption = "Meter Scaling";

constexpr double kRelativeLimitTop = 1'000'000'000.0;  // percent
constexpr double kLinearMeterTopMw = 15'000'000'000.0; // 15 MW
constexpr double kRelativeMeterTop = 25'000'000'000.0; // percent

std::string unit_label(const char *prefix, int unit_index) {
    const int index =
        unit_index >= 0 && unit_index < static_cast<int>(kUnitTable.size()) ? unit_index : 1;
    return std::string(prefix) + " (" + kUnitTable[static_cast<std::size_t>(index)].name + ")";
}

double read_scale_edit(const Controls &controls, int id) {
    return read_number(controls.text(id), kScaleEditChars);
}

std::string whole_db(double db) {
    return printf_fixed(db, 0);
}

} // namespace

double offset_headroom_db(const AppState &state) {
    const double offset = state.offset_db;
    return state.offset_enabled && offset > 0.0 ? offset : 0.0;
}

void refresh_limits(Controls &controls, const AppState &state) {
    const int mode = state.meas_mode;
    const bool relative = state.relative_enabled;
    if (mode == kModeTemperature) return;
    if (mode == kModeLinear && relative) {
        controls.set_text(ids::kHighLimitEdit, relative_scale_text(state.limit_high_mw));
        controls.set_text(ids::kLowLimitEdit, relative_scale_text(state.limit_low_mw));
        controls.set_text(ids::kHighLimitLabel, "High (%)");
        controls.set_text(ids::kLowLimitLabel, "Low (%)");
    } else if (mode == kModeLinear) {
        const double unit = state.limits_unit_mw;
        controls.set_text(ids::kHighLimitEdit, printf_fixed(state.limit_high_mw / unit, 2));
        controls.set_text(ids::kLowLimitEdit, printf_fixed(state.limit_low_mw / unit, 2));
        controls.set_text(ids::kHighLimitLabel, unit_label("High", state.limits_unit_index));
        controls.set_text(ids::kLowLimitLabel, unit_label("Low", state.limits_unit_index));
    } else {
        controls.set_text(ids::kHighLimitEdit, printf_fixed(state.limit_high_db, 2));
        controls.set_text(ids::kLowLimitEdit, printf_fixed(state.limit_low_db, 2));
        controls.set_text(ids::kHighLimitLabel, relative ? "High (dB)" : "High (dBm)");
        controls.set_text(ids::kLowLimitLabel, relative ? "Low (dB)" : "Low (dBm)");
    }
}

void refresh_meter(Controls &controls, const AppState &state) {
    const int mode = state.meas_mode;
    if (mode == kModeTemperature) return;
    if (mode == kModeLog) {
        controls.set_text(ids::kMeterMinEdit, printf_fixed(state.meter_min_db, 1));
        controls.set_text(ids::kMeterMaxEdit, printf_fixed(state.meter_max_db, 1));
    } else if (!state.relative_enabled) {
        const double unit = state.meter_unit_mw;
        const auto shown = [unit](double mw) { return printf_fixed(mw / unit, mw < 1.0 ? 3 : 2); };
        controls.set_text(ids::kMeterMinEdit, shown(state.meter_min_mw));
        controls.set_text(ids::kMeterMaxEdit, shown(state.meter_max_mw));
    } else {
        controls.set_text(ids::kMeterMinEdit, relative_scale_text(state.meter_min_mw));
        controls.set_text(ids::kMeterMaxEdit, relative_scale_text(state.meter_max_mw));
    }
    refresh_meter_labels(controls, state);
}

void refresh_meter_labels(Controls &controls, const AppState &state) {
    const int mode = state.meas_mode;
    const bool relative = state.relative_enabled;
    if (mode == kModeTemperature) return;
    std::string low;
    std::string high;
    if (mode == kModeLog) {
        low = relative ? " Min (dB)" : "Min (dBm)";
        high = relative ? "Max (dB)" : "Max (dBm)";
    } else if (relative) {
        low = "  Min (%)";
        high = "  Max (%)";
    } else if (state.meter_auto) {
        low = "Min (mW)";
        high = "Max (mW)";
    } else {
        low = unit_label("Min", state.meter_unit_index);
        high = unit_label("Max", state.meter_unit_index);
    }
    controls.set_text(ids::kMeterMinLabel, low);
    controls.set_text(ids::kMeterMaxLabel, high);
}

void fill_unit_lists(Controls &controls, const AppState &state) {
    const int count = unit_list_length(state.offset_multiplier);
    const auto names = unit_names(count);
    const auto select = [&](int list, int index) {
        controls.set_items(list, names);
        controls.set_selection(list, index >= 0 && index < count ? index : -1);
    };
    select(ids::kMeterUnitList, state.meter_unit_index);
    select(ids::kLimitsUnitList, state.limits_unit_index);
}

void enable_unit_lists(Controls &controls, const AppState &state) {
    const bool linear_absolute = state.meas_mode == kModeLinear && !state.relative_enabled;
    const bool meter = linear_absolute && !state.meter_auto;
    const bool limits = linear_absolute && state.limits_enabled;
    controls.set_enabled(ids::kMeterUnitList, meter);
    controls.set_enabled(ids::kMeterUnitLabel, meter);
    controls.set_enabled(ids::kLimitsUnitList, limits);
    controls.set_enabled(ids::kLimitsUnitLabel, limits);
}

void unit_list_changed(Controls &controls, AppState &state, int list_id) {
    const int index = controls.selection(list_id);
    if (index < 0 || index >= static_cast<int>(kUnitTable.size())) return;
    const double size = unit_size_mw(index);
    if (list_id == ids::kLimitsUnitList) {
        if (index == state.limits_unit_index) return;
        const double old = state.limits_unit_mw;
        state.limit_high_mw = state.limit_high_mw / old * size;
        state.limit_low_mw = state.limit_low_mw / old * size;
        state.limits_unit_index = index;
        state.limits_unit_mw = size;
        refresh_limits(controls, state);
    } else if (list_id == ids::kMeterUnitList) {
        if (index == state.meter_unit_index) return;
        const double old = state.meter_unit_mw;
        state.meter_min_mw = state.meter_min_mw / old * size;
        state.meter_max_mw = state.meter_max_mw / old * size;
        state.meter_unit_index = index;
        state.meter_unit_mw = size;
        refresh_meter(controls, state);
    }
}

void show_display_setup(Controls &controls, int display_setup) {
    const int selected = display_setup == 0   ? ids::kNumeric
                         : display_setup == 1 ? ids::kMeter
                                              : ids::kBoth;
    for (int id : {ids::kNumeric, ids::kMeter, ids::kBoth})
        controls.set_checked(id, id == selected);
}

std::optional<Refusal> apply_limits(Controls &controls, AppState &state) {
    const int mode = state.meas_mode;
    const bool relative = state.relative_enabled;
    const double top_db = offset_headroom_db(state) + 20.0;
    const double top_mw = std::pow(10.0, top_db / 10.0);
    const double unit = state.limits_unit_mw;
    const std::string db_unit = relative ? "dB" : "dBm";

    const double high = read_scale_edit(controls, ids::kHighLimitEdit);
    if (mode == kModeLog) {
        if (!in_range(high, -50.0, top_db))
            return Refusal{ids::kHighLimitEdit, kHighLimitCaption,
                           "Valid range: -50" + db_unit + " to +" + whole_db(top_db) + db_unit};
    } else if (!relative) {
        if (!in_range(high * unit, 0.0, top_mw))
            return Refusal{ids::kHighLimitEdit, kHighLimitCaption,
                           "Valid range: 0 to " + automatic_range_text(top_mw)};
    } else if (!in_range(high, 0.0, kRelativeLimitTop)) {
        return Refusal{ids::kHighLimitEdit, kHighLimitCaption, "Valid range: 0 to 1e9%"};
    }

    const double low = read_scale_edit(controls, ids::kLowLimitEdit);
    if (mode == kModeLog) {
        if (!in_range(low, -90.0, top_db))
            return Refusal{ids::kLowLimitEdit, kLowLimitCaption,
                           "Valid range: -90" + db_unit + " to +" + whole_db(top_db) + db_unit};
    } else if (!relative) {
        if (!in_range(low * unit, 0.0, top_mw))
            return Refusal{ids::kLowLimitEdit, kLowLimitCaption,
                           "Valid range: 0 to " + printf_fixed(top_mw, 0) + "mW"};
    } else if (!in_range(low, 0.0, kRelativeLimitTop)) {
        return Refusal{ids::kLowLimitEdit, kLowLimitCaption, "Valid range: 0 to 1e9%"};
    }

    if (high < low)
        return Refusal{ids::kHighLimitEdit, kLimitsCaption,
                       "High level must be greater than low limit"};

    // What would be stored; equal limits are refused before anything is, since with them every
    // reading is outside.
    double low_db = low;
    double high_db = high;
    double low_mw = 0.0;
    double high_mw = 0.0;
    if (mode == kModeLog) {
        low_mw = std::pow(10.0, low / 10.0);
        high_mw = std::pow(10.0, high / 10.0);
    } else {
        low_mw = relative ? low : low * unit;
        high_mw = relative ? high : high * unit;
        low_db = db_of_mw(low_mw);
        high_db = db_of_mw(high_mw);
    }
    if (low_db == high_db)
        return Refusal{ids::kLowLimitEdit, kLimitsCaption,
                       "Low and high equal\n(low limit must be less than high limit)"};

    state.limit_low_db = low_db;
    state.limit_high_db = high_db;
    state.limit_low_mw = low_mw;
    state.limit_high_mw = high_mw;
    if (mode == kModeLog) {
        const int index = automatic_unit_index(high_mw);
        state.limits_unit_index = index;
        state.limits_unit_mw = unit_size_mw(index);
    }
    return std::nullopt;
}

std::optional<Refusal> apply_meter_scale(Controls &controls, AppState &state) {
    const int mode = state.meas_mode;
    const bool relative = state.relative_enabled;
    const double scale = mode == kModeLog || relative ? 1.0 : state.meter_unit_mw.load();

    const auto check = [&](int edit, bool minimum) -> std::optional<Refusal> {
        const double value = read_scale_edit(controls, edit) * scale;
        const char *which = minimum ? "minimum" : "maximum";
        std::string text;
        if (mode == kModeLog) {
            if (in_range(value, -80.0, 120.0)) return std::nullopt;
            // The maximum's message is the product's, spelling included.
            text = minimum ? "Meter minimum must be in range -80dBm to +120dBm"
                           : "Meter maxmum must be in range -80dBm to +120dBm";
        } else if (!relative) {
            if (in_range(value, 0.0, kLinearMeterTopMw)) return std::nullopt;
            text = std::string("Meter ") + which + " must be in range 0 to 15MW";
        } else {
            if (in_range(value, 0.0, kRelativeMeterTop)) return std::nullopt;
            text = minimum ? "Meter minimum must be in range 0 to 25e9"
                           : "Meter maximum must be in range 0 to 25e9%";
        }
        return Refusal{edit, kMeterCaption, text};
    };
    if (auto refused = check(ids::kMeterMinEdit, true)) return refused;
    if (auto refused = check(ids::kMeterMaxEdit, false)) return refused;

    const double minimum = read_scale_edit(controls, ids::kMeterMinEdit) * scale;
    const double maximum = read_scale_edit(controls, ids::kMeterMaxEdit) * scale;
    if (minimum >= maximum)
        return Refusal{ids::kMeterMinEdit, kMeterCaption,
                       "Meter minimum must be less than meter maximum"};

    if (mode == kModeLog) {
        state.meter_min_db = minimum;
        state.meter_max_db = maximum;
        state.meter_min_mw = std::pow(10.0, minimum / 10.0);
        state.meter_max_mw = std::pow(10.0, maximum / 10.0);
        const int index = automatic_unit_index(state.meter_max_mw);
        state.meter_unit_index = index;
        state.meter_unit_mw = unit_size_mw(index);
    } else {
        state.meter_min_mw = minimum;
        state.meter_max_mw = maximum;
        state.meter_min_db = db_of_mw(minimum);
        state.meter_max_db = db_of_mw(maximum);
    }
    return std::nullopt;
}

} // namespace meterdesk
