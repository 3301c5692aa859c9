#include "meterdesk/core/status_panel.h"

#include "meterdesk/core/decimal_text.h"

#include <array>
#include <string>

namespace meterdesk {
namespace {

constexpr int kPanelX = 450;
constexpr int kAlarmHintX = 455;
constexpr int kSmallFont = 12;
constexpr int kLargeFont = 14; // from the frequency line on
constexpr int kSubLineStep = 12;

constexpr std::array<const char *, 5> kLinearLimitUnits = {"uW", "mW", "W", "KW", "MW"};

// Blocks of lines that keep one font size when they are fitted into the panel.
enum Block : int { kSingleLine = 0, kOverloadBlock, kRelativeBlock, kLimitsBlock };

class PanelWriter {
  public:
    explicit PanelWriter(std::vector<TextLine> &lines) : lines_(lines) {}
    // Lines added from here on belong to `block`.
    void begin(Block block) { block_ = block; }
    void add(int y, std::string text, Rgb colour = kPanelTextColour, int font = kLargeFont,
             int x = kPanelX) {
        lines_.push_back({x, y, colour, font, std::move(text), block_});
    }

  private:
    std::vector<TextLine> &lines_;
    Block block_ = kSingleLine;
};

std::string frequency_line(double f) {
    if (f < 1'000'000.0) return "Frequency = " + scaled_fixed_text(f, -3, 0) + "KHz";
    if (f < 1'000'000'000.0) return "Frequency = " + scaled_fixed_text(f, -6, 1) + "MHz";
    return "Frequency = " + scaled_fixed_text(f, -9, 1) + "GHz";
}

std::string multiplier_line(double m) {
    const std::string head = "Meas Multiplier = ";
    if (m > 999'999'995.0) return head + scaled_fixed_text(m, -9, 1) + "E+09";
    if (m > 999'995.0) return head + scaled_fixed_text(m, -6, 1) + "E+06";
    if (m > 995.0) return head + scaled_fixed_text(m, -3, 1) + "E+03";
    if (m > 0.99) return head + fixed_text(m, 3);
    if (m > 0.00099) return head + scaled_fixed_text(m, 3, 2) + "E-03";
    return head + scaled_fixed_text(m, 6, 1) + "E-06";
}

std::string linear_set_point(double s) {
    const std::string head = "   - set point = ";
    if (s < 0.001) return head + scaled_fixed_text(s, 6, 2) + "nW";
    if (s < 1.0) return head + scaled_fixed_text(s, 3, 2) + "uW";
    return head + fixed_text(s, 2) + "mW";
}

std::string relative_limit(double limit) {
    if (limit > 999'995.0) return scaled_fixed_text(limit, -6, 3) + "M%";
    if (limit > 995.0) return scaled_fixed_text(limit, -3, 3) + "K%";
    return fixed_text(limit, 2) + "%";
}

// Returns the y of the line after the relative-mode block.
int relative_block(const StatusPanelInput &in, int y, PanelWriter &out) {
    out.begin(kRelativeBlock);
    out.add(y, "Relative mode enabled");
    std::vector<std::string> sub;
    switch (in.meas_mode) {
    case kModeLog:
        sub.push_back("   - set point = " + fixed_text(in.relative_ref_db, 3) + "dBm");
        if (in.maxmin_record) {
            sub.push_back("   - min = " + fixed_text(in.maxmin_minimum, 3) + "dB");
            sub.push_back("   - max = " + fixed_text(in.maxmin_maximum, 3) + "dB");
        }
        break;
    case kModeLinear:
        sub.push_back(linear_set_point(in.relative_ref_mw));
        if (in.maxmin_record) {
            sub.push_back("   - min = " + fixed_text(in.maxmin_minimum, 2) + "%");
            sub.push_back("   - max = " + fixed_text(in.maxmin_maximum, 2) + "%");
        }
        break;
    case kModeVolts:
        sub.push_back("   - set point = " + fixed_text(in.relative_ref_volts, 7) + "V");
        break;
    default:
        break;
    }
    int last = y;
    for (auto &text : sub) {
        last += kSubLineStep;
        out.add(last, std::move(text));
    }
    out.begin(kSingleLine);
    return last + 15;
}

void limits_block(const StatusPanelInput &in, int y, PanelWriter &out) {
    out.begin(kLimitsBlock);
    if (in.limit_high_alarm) {
        out.add(y, "!!  HIGH LIMITS ALARM  !!", kAlarmTextColour);
        out.add(y + kSubLineStep, "REDUCE POWER NOW", kAlarmTextColour, kLargeFont, kAlarmHintX);
        return;
    }
    if (in.limit_low_alarm) {
        out.add(y, "!!  LOW LIMITS ALARM  !!", kAlarmTextColour);
        out.add(y + kSubLineStep, "INCREASE POWER NOW", kAlarmTextColour, kLargeFont, kAlarmHintX);
        return;
    }
    out.add(y, "Limits enabled");
    std::string low = "  - low limit = ";
    std::string high = "  - high limit = ";
    if (in.meas_mode == kModeLog) {
        const char *unit = in.relative_enabled ? "dB" : "dBm";
        low += fixed_text(in.limit_low_db, 2) + unit;
        high += fixed_text(in.limit_high_db, 2) + unit;
    } else if (in.relative_enabled) {
        low += relative_limit(in.limit_low_mw);
        high += relative_limit(in.limit_high_mw);
    } else {
        // An unknown unit or a zero divisor would print "inf": such limits are shown in mW.
        const bool usable = in.limits_unit_index >= 0 &&
                            in.limits_unit_index < static_cast<int>(kLinearLimitUnits.size()) &&
                            in.limits_unit_mw > 0.0;
        const double divisor = usable ? in.limits_unit_mw : 1.0;
        const std::string unit =
            usable ? kLinearLimitUnits[static_cast<std::size_t>(in.limits_unit_index)] : "mW";
        low += fixed_text(in.limit_low_mw / divisor, 2) + unit;
        high += fixed_text(in.limit_high_mw / divisor, 2) + unit;
    }
    out.add(y + kSubLineStep, std::move(low));
    out.add(y + 2 * kSubLineStep, std::move(high));
}

} // namespace

StatusPanel layout_status_panel(const StatusPanelInput &in, int client_width, int client_height) {
    StatusPanel panel;
    const int left = client_width * 3 / 4;
    panel.clear = {left, 30, client_width - left, client_height - 30};
    panel.text_right = client_width - kStatusPanelRightMargin;
    if (!in.info_panel_shown) return panel;
    panel.shown = true;
    PanelWriter out(panel.lines);

    if (!in.zero_done) {
        out.add(55, "SENSOR NOT ZEROED", kPanelTextColour, kSmallFont);
    } else if (in.zero_drift_warning) {
        const double shift =
            in.temperature_celsius ? in.zero_temperature_shift : in.zero_temperature_shift * 1.8;
        out.add(55,
                "ZERO SENSOR (" + fixed_text(shift, 1) + (in.temperature_celsius ? "'C" : "'F") +
                    " SHIFT)",
                kAlarmTextColour, kSmallFont);
    }

    if (in.sensor_overload) {
        out.begin(kOverloadBlock);
        out.add(70, "!!  SENSOR OVERLOAD  !!", kAlarmTextColour, kSmallFont);
        out.add(80, "REDUCE POWER NOW TO", kAlarmTextColour, kSmallFont);
        out.add(90, "AVOID SENSOR DAMAGE", kAlarmTextColour, kSmallFont);
        out.begin(kSingleLine);
        panel.wake_alarm_beep = in.overload_beep;
    }

    if (in.cal_from_table)
        out.add(110, frequency_line(in.meas_frequency_hz));
    else
        out.add(110,
                "Cal Factor = " + right_aligned(scaled_fixed_text(in.cal_factor, 2, 1), 5) + "%");

    int y = 125;
    if (in.offset_enabled) {
        out.add(y, in.meas_mode == kModeLog
                       ? "Offset = " + right_aligned(fixed_text(in.offset_db, 2), 6) + "dB"
                       : multiplier_line(in.offset_multiplier));
        y += 15;
    }
    if (in.duty_cycle_enabled) {
        out.add(y, "Duty Cycle = " + fixed_text(in.duty_cycle_percent, 1) + "%");
        y += 15;
    }
    if (in.relative_enabled) y = relative_block(in, y, out);
    if (in.limits_enabled) limits_block(in, y, out);
    return panel;
}

StatusPanelInput status_panel_input(const AppState &state) {
    StatusPanelInput in;
    in.info_panel_shown = state.info_panel_shown.load();
    in.meas_mode = state.meas_mode.load();
    in.temperature_celsius = state.temperature_celsius.load();
    in.zero_done = state.zero_done.load();
    in.zero_drift_warning = state.zero_drift_warning.load();
    in.zero_temperature_shift = state.zero_temperature_shift.load();
    in.sensor_overload = state.sensor_overload.load();
    in.overload_beep = state.overload_beep.load();
    in.cal_from_table = state.cal_from_table.load();
    in.meas_frequency_hz = state.meas_frequency_hz.load();
    in.cal_factor = state.cal_factor.load();
    in.offset_enabled = state.offset_enabled.load();
    in.offset_db = state.offset_db.load();
    in.offset_multiplier = state.offset_multiplier.load();
    in.duty_cycle_enabled = state.duty_cycle_enabled.load();
    in.duty_cycle_percent = state.duty_cycle_percent.load();
    in.relative_enabled = state.relative_enabled.load();
    in.relative_ref_db = state.relative_ref_db.load();
    in.relative_ref_mw = state.relative_ref_mw.load();
    in.relative_ref_volts = state.relative_ref_volts.load();
    in.maxmin_record = state.maxmin_record.load();
    in.maxmin_minimum = state.maxmin_minimum.load();
    in.maxmin_maximum = state.maxmin_maximum.load();
    in.limits_enabled = state.limits_enabled.load();
    in.limit_low_alarm = state.limit_low_alarm.load();
    in.limit_high_alarm = state.limit_high_alarm.load();
    in.limit_low_db = state.limit_low_db.load();
    in.limit_high_db = state.limit_high_db.load();
    in.limit_low_mw = state.limit_low_mw.load();
    in.limit_high_mw = state.limit_high_mw.load();
    in.limits_unit_index = state.limits_unit_index.load();
    in.limits_unit_mw = state.limits_unit_mw.load();
    return in;
}

StatusPanel take_status_panel(AppState &state, int client_width, int client_height) {
    if (state.info_panel_shown.load()) state.status_repaint_request.store(false);
    StatusPanel panel = layout_status_panel(status_panel_input(state), client_width, client_height);
    if (panel.shown) state.measurement_panel_drawn.store(true);
    return panel;
}

} // namespace meterdesk
