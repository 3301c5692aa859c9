#include "meterdesk/core/readout_format.h"

#include "meterdesk/core/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace meterdesk {
namespace {

// The readout's unit for a value: the value is shown times 10^power. Scaling moves the
// decimal point of the exact value, so the last decimal is rounded correctly.
struct Scale {
    int power;
    int unit;
};

Scale scale_volts(double v) {
    const double magnitude = std::fabs(v);
    if (magnitude < 0.001) return {6, kUnitMicrovolt};
    if (magnitude >= 1.0) return {0, kUnitVolt};
    return {3, kUnitMillivolt};
}

Scale scale_linear(double p) {
    if (p < 0.00095) return {6, kUnitNanowatt};
    if (p < 0.95) return {3, kUnitMicrowatt};
    if (p < 995.0) return {0, kUnitMilliwatt};
    if (p < 999'995.0) return {-3, kUnitWatt};
    if (p < 999'999'995.0) return {-6, kUnitKilowatt};
    return {-9, kUnitMegawatt};
}

Scale scale_relative_linear(double p) {
    if (p <= 995.0) return {0, kUnitPercent};
    if (p <= 999'995.0) return {-3, kUnitKiloPercent};
    if (p <= 999'999'995.0) return {-6, kUnitMegaPercent};
    if (p <= 999'999'999'995.0) return {-9, kUnitGigaPercent};
    return {-12, kUnitTeraPercent};
}

void record_min_max(double p, const ReadoutInput &in, FormattedReading &out) {
    if (in.maxmin_reset_request) {
        out.maxmin_minimum = p;
        out.maxmin_maximum = p;
        out.maxmin_reset_request = false;
        out.status_repaint_request = true;
        return;
    }
    if (!in.maxmin_record) return;
    if (p < out.maxmin_minimum) {
        out.maxmin_minimum = p;
        out.status_repaint_request = true;
    }
    if (p > out.maxmin_maximum) {
        out.maxmin_maximum = p;
        out.status_repaint_request = true;
    }
}

// One side of the limit check: `outside` is this reading's verdict, `alarm` the flag it drives.
void check_one_limit(bool outside, bool beep, bool &alarm, FormattedReading &out) {
    if (outside) {
        if (!alarm) {
            alarm = true;
            out.status_repaint_request = true;
        }
        if (beep) out.wake_alarm_beep = true;
    } else if (alarm) {
        alarm = false;
        out.status_repaint_request = true;
    }
}

void check_limits(double p, double low, double high, const ReadoutInput &in,
                  FormattedReading &out) {
    if (!in.limits_enabled) return;
    check_one_limit(p < low, in.limits_beep, out.limit_low_alarm, out);
    check_one_limit(p > high, in.limits_beep, out.limit_high_alarm, out);
}

void set_text(FormattedReading &out, std::string text) {
    out.sign = (!text.empty() && text.front() == '-') ? '-' : ' ';
    out.text = std::move(text);
}

} // namespace

FormattedReading format_reading(const ReadoutInput &in) {
    FormattedReading out;
    out.maxmin_reset_request = in.maxmin_reset_request;
    out.maxmin_minimum = in.maxmin_minimum;
    out.maxmin_maximum = in.maxmin_maximum;
    out.limit_low_alarm = in.limit_low_alarm;
    out.limit_high_alarm = in.limit_high_alarm;

    const int places = std::clamp(in.resolution_places, 0, 3);
    switch (in.meas_mode) {
    case kModeVolts: {
        if (!std::isfinite(in.reading_volts)) {
            out.unit_index = kUnitVolt;
            set_text(out, kInvalidReadingText);
            break;
        }
        const Scale s = scale_volts(in.reading_volts);
        out.unit_index = s.unit;
        const int volt_places = s.unit == kUnitMicrovolt ? 2 : s.unit == kUnitVolt ? 4 : 3;
        set_text(out, scaled_fixed_text(in.reading_volts, s.power, volt_places));
        break;
    }
    case kModeLinear: {
        const double p = in.reading_power;
        if (!std::isfinite(p)) {
            // A value that is no number neither moves the record nor the alarms.
            out.unit_index = in.relative_enabled ? kUnitPercent : kUnitMilliwatt;
            set_text(out, kInvalidReadingText);
            break;
        }
        const Scale s = in.relative_enabled ? scale_relative_linear(p) : scale_linear(p);
        out.unit_index = s.unit;
        if (in.relative_enabled) record_min_max(p, in, out);
        check_limits(p, in.limit_low_mw, in.limit_high_mw, in, out);
        set_text(out, scaled_fixed_text(p, s.power, places));
        break;
    }
    case kModeLog: {
        const double p = in.reading_power;
        out.unit_index = in.relative_enabled ? kUnitDb : kUnitDbm;
        if (!std::isfinite(p)) {
            set_text(out, kInvalidReadingText);
            break;
        }
        if (in.relative_enabled) record_min_max(p, in, out);
        check_limits(p, in.limit_low_db, in.limit_high_db, in, out);
        set_text(out, fixed_text(p, places));
        break;
    }
    default: // temperature: the temperature screen draws itself
        break;
    }
    return out;
}

ReadoutInput readout_input(const AppState &state) {
    ReadoutInput in;
    in.meas_mode = state.meas_mode.load();
    in.reading_power = state.reading_power.load();
    in.reading_volts = state.reading_volts.load();
    in.resolution_places = state.resolution_places.load();
    in.relative_enabled = state.relative_enabled.load();
    in.maxmin_record = state.maxmin_record.load();
    in.maxmin_reset_request = state.maxmin_reset_request.load();
    in.maxmin_minimum = state.maxmin_minimum.load();
    in.maxmin_maximum = state.maxmin_maximum.load();
    in.limits_enabled = state.limits_enabled.load();
    in.limits_beep = state.limits_beep.load();
    in.limit_low_db = state.limit_low_db.load();
    in.limit_high_db = state.limit_high_db.load();
    in.limit_low_mw = state.limit_low_mw.load();
    in.limit_high_mw = state.limit_high_mw.load();
    in.limit_low_alarm = state.limit_low_alarm.load();
    in.limit_high_alarm = state.limit_high_alarm.load();
    return in;
}

FormattedReading format_current_reading(AppState &state) {
    const ReadoutInput in = readout_input(state);
    FormattedReading out = format_reading(in);
    // Store only what changed, so that a flag another thread set meanwhile (a new reset
    // request, alarms cleared by turning the limits on) is not overwritten with a stale copy.
    if (in.maxmin_reset_request && !out.maxmin_reset_request) {
        state.maxmin_minimum.store(out.maxmin_minimum);
        state.maxmin_maximum.store(out.maxmin_maximum);
        bool expected = true;
        state.maxmin_reset_request.compare_exchange_strong(expected, false);
    } else {
        if (out.maxmin_minimum != in.maxmin_minimum) state.maxmin_minimum.store(out.maxmin_minimum);
        if (out.maxmin_maximum != in.maxmin_maximum) state.maxmin_maximum.store(out.maxmin_maximum);
    }
    if (out.limit_low_alarm != in.limit_low_alarm) state.limit_low_alarm.store(out.limit_low_alarm);
    if (out.limit_high_alarm != in.limit_high_alarm)
        state.limit_high_alarm.store(out.limit_high_alarm);
    if (out.status_repaint_request) state.status_repaint_request.store(true);
    return out;
}

} // namespace meterdesk
