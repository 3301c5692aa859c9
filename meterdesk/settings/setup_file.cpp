#include "meterdesk/settings/setup_file.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/number_text.h"

#include <cmath>
#include <functional>
#include <vector>

namespace meterdesk {

namespace {

constexpr const char *kHeaderTail = " SETUP FILE";
constexpr std::size_t kFamilyLength = 8;
constexpr int kLineCount = 15;

std::string fixed(double value, int places) {
    return printf_fixed(value, places);
}
std::string whole(long long value) {
    return printf_int(value);
}
std::string flag(bool value) {
    return value ? "1" : "0";
}
std::string two_digits(int value) {
    std::string text = printf_int(value);
    if (value >= 0 && value < 10) text.insert(0, 1, '0');
    return text;
}

// The lines of a text, without their LF or CR LF.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The numbers of one line: the first from its start, each next one from the character after
// the next space; a missing one reads as 0.
class LineFields {
  public:
    LineFields(std::string_view line, int number) : line_(line), number_(number) {}

    // The next number; `name` names it in a refusal.
    double number(const char *name) {
        const double value = next();
        if (!std::isfinite(value)) fail(name, "a finite number");
        return value;
    }
    bool flag(const char *name) { return number(name) != 0.0; }
    // A whole number (the fraction is dropped) within low..high.
    int whole(const char *name, int low, int high, const std::string &range) {
        const double value = std::trunc(next());
        if (!(value >= low && value <= high)) {
            fail(name, range);
            return low;
        }
        return static_cast<int>(value);
    }
    int one_of(const char *name, std::initializer_list<int> allowed, const std::string &range) {
        const double value = std::trunc(next());
        for (int v : allowed)
            if (value == v) return v;
        fail(name, range);
        return *allowed.begin();
    }
    // A number within low..high (both valid).
    double within(const char *name, double low, double high, const std::string &range) {
        const double value = next();
        if (!in_range(value, low, high)) fail(name, range);
        return value;
    }

    const std::string &problem() const { return problem_; }

  private:
    double next() {
        if (!started_) {
            started_ = true;
        } else if (position_ != std::string_view::npos) {
            const auto space = line_.find(' ', position_);
            position_ = space == std::string_view::npos ? space : space + 1;
        }
        if (position_ == std::string_view::npos) return 0.0;
        return read_number(line_.substr(position_));
    }
    void fail(const char *name, const std::string &range) {
        if (problem_.empty())
            problem_ = "Line " + printf_int(number_) + ": " + name + " must be " + range;
    }

    std::string_view line_;
    int number_;
    std::size_t position_ = 0;
    bool started_ = false;
    std::string problem_;
};

} // namespace

std::string setup_family_name(int model_index) {
    switch (model_index) {
    case kModelRx2:
        return "RX2LOKAN";
    case kModelRx3:
        return "RX3LOKAN";
    default:
        return "RX4LOKAN";
    }
}

SetupValues setup_values_of(const AppState &s) {
    SetupValues v;
    v.meas_mode = s.meas_mode;
    v.meas_frequency_hz = s.meas_frequency_hz;
    v.freq_units_mhz = s.freq_units_mhz;
    v.cal_factor = s.cal_factor;
    v.cal_from_table = s.cal_from_table;
    v.offset_db = s.offset_db;
    v.offset_enabled = s.offset_enabled;
    v.duty_cycle_percent = s.duty_cycle_percent;
    v.duty_cycle_enabled = s.duty_cycle_enabled;
    v.resolution_places = s.resolution_places;
    v.resolution_radio_id = s.resolution_radio_id;
    v.relative_ref_db = s.relative_ref_db;
    v.relative_auto_set = s.relative_auto_set;
    v.maxmin_record = s.maxmin_record;
    v.relative_enabled = s.relative_enabled;
    v.display_setup = s.display_setup;
    v.info_panel_shown = s.info_panel_shown;
    v.meter_auto = s.meter_auto;
    v.readout_top = s.readout_top;
    v.meter_max_db = s.meter_max_db;
    v.meter_min_db = s.meter_min_db;
    v.meter_max_mw = s.meter_max_mw;
    v.meter_min_mw = s.meter_min_mw;
    v.meter_unit_mw = s.meter_unit_mw;
    v.meter_unit_index = s.meter_unit_index;
    v.limit_high_db = s.limit_high_db;
    v.limit_low_db = s.limit_low_db;
    v.limits_beep = s.limits_beep;
    v.limits_enabled = s.limits_enabled;
    v.trace_samples = s.trace_samples;
    v.trace_period_s = s.trace_period_s;
    v.trace_period_in_seconds = s.trace_period_in_seconds;
    v.trace_units = s.trace_units;
    v.trace_autoscale = s.trace_autoscale;
    v.plot_min = s.plot_min;
    v.plot_max = s.plot_max;
    v.trace_temperature = s.trace_temperature;
    v.trace_temp_autoscale = s.trace_temp_autoscale;
    v.temp_min = s.temp_min;
    v.temp_max = s.temp_max;
    v.temp_comp_active = s.temp_comp_active;
    return v;
}

std::string setup_file_text(const std::string &family, const SetupValues &v, const std::tm &t) {
    const std::vector<std::string> lines = {
        family + kHeaderTail + " *** DO NOT EDIT ***",
        whole(t.tm_mday) + "." + whole(t.tm_mon + 1) + "." + two_digits(t.tm_year + 1900 - 2000) +
            " at " + whole(t.tm_hour) + ":" + two_digits(t.tm_min) + ":" + two_digits(t.tm_sec),
        whole(v.meas_mode),
        fixed(v.meas_frequency_hz, 3) + " " + flag(v.freq_units_mhz),
        fixed(v.cal_factor, 3) + " " + flag(v.cal_from_table),
        fixed(v.offset_db, 2) + " " + flag(v.offset_enabled),
        fixed(v.duty_cycle_percent, 2) + " " + flag(v.duty_cycle_enabled),
        whole(v.resolution_places) + " " + whole(v.resolution_radio_id),
        fixed(v.relative_ref_db, 3) + " " + flag(v.relative_auto_set) + " " +
            flag(v.maxmin_record) + " " + flag(v.relative_enabled),
        whole(v.display_setup) + " " + flag(v.info_panel_shown) + " " + flag(v.meter_auto) + " " +
            whole(v.readout_top),
        fixed(v.meter_max_db, 2) + " " + fixed(v.meter_min_db, 2) + " " + fixed(v.meter_max_mw, 4) +
            " " + fixed(v.meter_min_mw, 4) + " " + fixed(v.meter_unit_mw, 4) + " " +
            whole(v.meter_unit_index),
        fixed(v.limit_high_db, 2) + " " + fixed(v.limit_low_db, 2) + " " + flag(v.limits_beep) +
            " " + flag(v.limits_enabled),
        whole(v.trace_samples) + " " + fixed(v.trace_period_s, 1) + " " +
            flag(v.trace_period_in_seconds) + " " + whole(v.trace_units) + " " +
            flag(v.trace_autoscale) + " " + fixed(v.plot_min, 2) + " " + fixed(v.plot_max, 2),
        flag(v.trace_temperature) + " " + flag(v.trace_temp_autoscale) + " " +
            fixed(v.temp_min, 1) + " " + fixed(v.temp_max, 1),
        flag(v.temp_comp_active),
    };
    std::string text;
    for (const std::string &line : lines) text += line + "\r\n";
    return text;
}

SetupReading read_setup_text(std::string_view text, const std::string &family) {
    SetupReading reading;
    const auto lines = split_lines(text);
    const std::string_view first = lines.empty() ? std::string_view() : lines[0];
    if (first.substr(0, kFamilyLength) != family ||
        first.substr(kFamilyLength, std::string_view(kHeaderTail).size()) != kHeaderTail) {
        reading.outcome = SetupReading::Outcome::kWrongType;
        return reading;
    }
    if (lines.size() < kLineCount) {
        reading.problem =
            "Line " + printf_int(static_cast<long long>(lines.size()) + 1) + " is missing";
        return reading;
    }

    SetupValues &v = reading.values;
    std::string problem;
    const auto line = [&](int number, const std::function<void(LineFields &)> &read) {
        LineFields fields(lines[static_cast<std::size_t>(number - 1)], number);
        read(fields);
        if (problem.empty()) problem = fields.problem();
    };
    line(3, [&](LineFields &f) {
        v.meas_mode = f.whole("the measurement mode", kModeVolts, kModeTemperature, "1216 to 1219");
    });
    line(4, [&](LineFields &f) {
        v.meas_frequency_hz = f.number("the frequency");
        v.freq_units_mhz = f.flag("the frequency unit");
    });
    line(5, [&](LineFields &f) {
        v.cal_factor = f.number("the cal factor");
        v.cal_from_table = f.flag("the cal factor table switch");
    });
    line(6, [&](LineFields &f) {
        v.offset_db = f.number("the offset");
        v.offset_enabled = f.flag("the offset switch");
    });
    line(7, [&](LineFields &f) {
        v.duty_cycle_percent = f.number("the duty cycle");
        v.duty_cycle_enabled = f.flag("the duty cycle switch");
    });
    line(8, [&](LineFields &f) {
        v.resolution_places = f.whole("the resolution", 0, 3, "0 to 3");
        v.resolution_radio_id = f.whole("the resolution button", 1284, 1287, "1284 to 1287");
    });
    line(9, [&](LineFields &f) {
        v.relative_ref_db = f.number("the relative reference");
        v.relative_auto_set = f.flag("the relative auto set switch");
        v.maxmin_record = f.flag("the max/min record switch");
        v.relative_enabled = f.flag("the relative mode switch");
    });
    line(10, [&](LineFields &f) {
        v.display_setup = f.whole("the display setup", 0, 2, "0 to 2");
        v.info_panel_shown = f.flag("the status panel switch");
        v.meter_auto = f.flag("the meter auto switch");
        v.readout_top = f.one_of("the readout position", {20, 0, -25}, "20, 0 or -25");
    });
    line(11, [&](LineFields &f) {
        v.meter_max_db = f.number("the meter maximum (dBm)");
        v.meter_min_db = f.number("the meter minimum (dBm)");
        v.meter_max_mw = f.number("the meter maximum (mW)");
        v.meter_min_mw = f.number("the meter minimum (mW)");
        v.meter_unit_mw = f.within("the meter unit size", 0.001, 1e9, "0.001 to 1000000000");
        v.meter_unit_index = f.whole("the meter unit", 0, 4, "0 to 4");
    });
    line(12, [&](LineFields &f) {
        v.limit_high_db = f.number("the high limit");
        v.limit_low_db = f.number("the low limit");
        v.limits_beep = f.flag("the limits beep switch");
        v.limits_enabled = f.flag("the limits switch");
    });
    line(13, [&](LineFields &f) {
        v.trace_samples = f.whole("trace samples", 10, 500, "10 to 500");
        v.trace_period_s = f.within("the trace period", 0.2, 900.0, "0.2 to 900 seconds");
        v.trace_period_in_seconds = f.flag("the trace period unit");
        v.trace_units = f.whole("the trace units", 1120, 1122, "1120 to 1122");
        v.trace_autoscale = f.flag("the trace auto scale switch");
        v.plot_min = f.number("the plot minimum");
        v.plot_max = f.number("the plot maximum");
    });
    line(14, [&](LineFields &f) {
        v.trace_temperature = f.flag("the trace temperature switch");
        v.trace_temp_autoscale = f.flag("the temperature auto scale switch");
        v.temp_min = f.number("the temperature minimum");
        v.temp_max = f.number("the temperature maximum");
    });
    line(15, [&](LineFields &f) {
        v.temp_comp_active = f.flag("the temperature compensation switch");
    });
    if (!problem.empty()) {
        reading.problem = problem;
        return reading;
    }
    reading.outcome = SetupReading::Outcome::kLoaded;
    return reading;
}

} // namespace meterdesk
