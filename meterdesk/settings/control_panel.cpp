#include "meterdesk/settings/control_panel.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/display_setup.h"
#include "meterdesk/core/measurement_mode.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/settings/frequency_entry.h"
#include "meterdesk/settings/limits_meter.h"
#include "meterdesk/settings/number_text.h"
#include "meterdesk/settings/power_units.h"

#include <rfsense/rfsense.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace meterdesk {

namespace ids = control_panel;

namespace {

constexpr std::array<int, 4> kModeRadios = {ids::kVolts, ids::kLinear, ids::kLog,
                                            ids::kTemperature};
constexpr std::array<int, 3> kDisplayRadios = {ids::kNumeric, ids::kMeter, ids::kBoth};

// Offset limits of the library (dB); a multiplier converts into this range.
constexpr double kLowestOffsetDb = -50.0;
constexpr double kHighestOffsetDb = 100.0;
constexpr double kLowestMultiplier = 0.00001;
constexpr double kHighestMultiplier = 10'000'000'000.0;

bool is_power_mode(int mode) {
    return mode == kModeLinear || mode == kModeLog;
}

double read_value_edit(const Controls &controls, int id) {
    return read_number(controls.text(id), kValueEditChars);
}

// The offset multiplier as the offset edit shows it outside the dBm mode.
std::string multiplier_text(double m) {
    if (m > 999999995.0) return printf_fixed(m / 1e9, 2) + "E+09";
    if (m > 999995.0) return printf_fixed(m / 1e6, 2) + "E+06";
    if (m > 995.0) return printf_fixed(m / 1000.0, 2) + "E+03";
    if (m > 0.99) return printf_fixed(m, 3);
    if (m > 0.00099) return printf_fixed(m * 1000.0, 2) + "E-03";
    return printf_fixed(m * 1e6, 1) + "E-06";
}

// "Relative set point max is " + "100mW", or "1E0%d mW" with the number of divisions by 10 that
// bring the highest reference in mW to 1 or below.
std::string relative_maximum_text(double top_mw) {
    if (top_mw < 101.0) return "100mW";
    int divisions = 0;
    for (double v = top_mw; v > 1.0 && divisions < 100; v /= 10.0) ++divisions;
    return "1E0" + printf_int(divisions) + " mW";
}

} // namespace

ControlPanel::ControlPanel(AppState &state, Ui &ui, ControlPanelLinks links)
    : state_(state), ui_(ui), links_(std::move(links)) {}

void ControlPanel::with_sensor(const std::function<void(SensorRecord *)> &call) {
    SensorLease lease(state_);
    if (lease) call(lease.get());
}

void ControlPanel::mark_status_panel() {
    if (state_.info_panel_shown) state_.status_repaint_request = true;
}

bool ControlPanel::settings_respond() const {
    return is_power_mode(state_.meas_mode);
}

// --- Opening and refreshing ----------------------------------------------------------------

void ControlPanel::open(Controls &controls) {
    state_.panel_open = true;
    controls.set_caption(std::string(ids::kCaptionPrefix) + state_.sensor_model.get());

    const int mode = state_.meas_mode;
    if (state_.live_readout_enabled)
        show_mode_radio(controls, mode);
    else if (std::find(kModeRadios.begin(), kModeRadios.end(), mode) != kModeRadios.end())
        controls.set_checked(mode, false);
    controls.set_enabled(ids::kVolts, false); // volts are never chosen from the panel

    if (is_power_mode(mode)) {
        set_settings_enabled(controls, true);
        full_refresh(controls);
    } else {
        set_settings_enabled(controls, false);
    }
    enable_unit_lists(controls, state_);
}

void ControlPanel::set_settings_enabled(Controls &controls, bool enabled) {
    for (int id : ids::kSettingControls) controls.set_enabled(id, enabled);
    if (!enabled)
        for (int id : ids::kUnitListControls) controls.set_enabled(id, false);
}

void ControlPanel::show_mode_radio(Controls &controls, int mode) {
    for (int id : kModeRadios) controls.set_checked(id, id == mode);
}

void ControlPanel::show_resolution(Controls &controls) {
    const int selected = state_.resolution_radio_id;
    for (int id = ids::kResolutionNone; id <= ids::kResolutionThree; ++id)
        controls.set_checked(id, id == selected);
}

void ControlPanel::full_refresh(Controls &controls) {
    show_frequency_and_cal_factor(controls);

    const bool offset = state_.offset_enabled;
    controls.set_checked(ids::kOffsetEnable, offset);
    controls.set_enabled(ids::kOffsetEdit, offset);
    show_offset_group(controls);

    const bool duty = state_.duty_cycle_enabled;
    controls.set_checked(ids::kDutyEnable, duty);
    controls.set_enabled(ids::kDutyEdit, duty);
    controls.set_text(ids::kDutyEdit, printf_fixed(state_.duty_cycle_percent, 1));

    show_resolution(controls);

    show_relative_controls(controls);
    controls.set_checked(ids::kMaxMinRecord, state_.maxmin_record);
    controls.set_checked(ids::kRelativeAutoSet, state_.relative_auto_set);
    show_relative_reference(controls);

    const bool limits = state_.limits_enabled;
    controls.set_checked(ids::kLimitsEnable, limits);
    if (!limits) {
        controls.set_enabled(ids::kHighLimitEdit, false);
        controls.set_enabled(ids::kLowLimitEdit, false);
        controls.set_enabled(ids::kLimitsBeep, false);
    }
    controls.set_checked(ids::kLimitsBeep, state_.limits_beep);
    refresh_limits(controls, state_);

    controls.set_checked(ids::kInfoShow, state_.info_panel_shown);
    show_display_setup(controls, state_.display_setup);

    const bool meter_auto = state_.meter_auto;
    controls.set_checked(ids::kMeterAuto, meter_auto);
    controls.set_enabled(ids::kMeterMinEdit, !meter_auto);
    controls.set_enabled(ids::kMeterMaxEdit, !meter_auto);
    refresh_meter(controls, state_);
    fill_unit_lists(controls, state_);
}

void ControlPanel::show_frequency_and_cal_factor(Controls &controls) {
    const bool mhz = state_.freq_units_mhz;
    controls.set_text(ids::kFrequencyEdit,
                      frequency_edit_text(state_.meas_frequency_hz, mhz, 2, 1, 2));
    controls.set_checked(ids::kMhz, mhz);
    controls.set_checked(ids::kGhz, !mhz);

    const bool table = state_.cal_from_table;
    controls.set_checked(ids::kUseTable, table);
    // In Volts and Temperature mode the setting controls stay greyed whatever arrives.
    if (settings_respond()) {
        controls.set_enabled(ids::kCalFactorEdit, !table);
        for (int id : {ids::kMhz, ids::kGhz, ids::kFrequencyEdit}) controls.set_enabled(id, table);
    }
    controls.set_text(ids::kCalFactorEdit, printf_fixed(state_.cal_factor * 100.0, 1, 5));
}

void ControlPanel::show_offset_group(Controls &controls) {
    const int mode = state_.meas_mode;
    if (mode == kModeTemperature) return;
    if (mode == kModeLog) {
        controls.set_text(ids::kOffsetEdit, printf_fixed(state_.offset_db, 2));
        controls.set_text(ids::kOffsetGroup, "Measurement Offset (dB)");
    } else {
        controls.set_text(ids::kOffsetEdit, multiplier_text(state_.offset_multiplier));
        controls.set_text(ids::kOffsetGroup, "Measurement Multiplier");
    }
}

void ControlPanel::show_relative_controls(Controls &controls) {
    if (state_.relative_enabled) {
        const bool auto_set = state_.relative_auto_set;
        controls.set_checked(ids::kRelativeEnable, true);
        controls.set_enabled(ids::kMaxMinClear, state_.maxmin_record);
        controls.set_enabled(ids::kRelativeSet, auto_set);
        controls.set_enabled(ids::kRelativeEdit, !auto_set);
    } else {
        controls.set_checked(ids::kRelativeEnable, false);
        for (int id : {ids::kMaxMinRecord, ids::kMaxMinClear, ids::kRelativeSet,
                       ids::kRelativeAutoSet, ids::kRelativeEdit})
            controls.set_enabled(id, false);
    }
}

void ControlPanel::show_relative_reference(Controls &controls) {
    switch (state_.meas_mode) {
    case kModeLinear: {
        const double mw = state_.relative_ref_mw;
        controls.set_text(ids::kRelativeEdit, printf_fixed(mw, mw > 0.9 ? 2 : 5));
        controls.set_text(ids::kRelativeUnitLabel, "(mW)");
        break;
    }
    case kModeVolts:
        controls.set_text(ids::kRelativeEdit, printf_fixed(state_.relative_ref_volts, 5));
        controls.set_text(ids::kRelativeUnitLabel, "(V)");
        break;
    default:
        controls.set_text(ids::kRelativeEdit, printf_fixed(state_.relative_ref_db, 2));
        controls.set_text(ids::kRelativeUnitLabel, "(dBm)");
        break;
    }
}

// --- Events ----------------------------------------------------------------------------------

void ControlPanel::command(Controls &controls, int command) {
    switch (command) {
    case ids::kRefreshFrequencyCommand:
        show_frequency_and_cal_factor(controls);
        break;
    case ids::kReselectModeCommand:
        change_mode(controls, state_.meas_mode);
        break;
    case ids::kRefreshDisplaySetupCommand:
        show_display_setup(controls, state_.display_setup);
        break;
    case ids::kRefreshResolutionCommand:
        show_resolution(controls);
        break;
    default:
        break;
    }
}

void ControlPanel::selection_changed(Controls &controls, int id) {
    if (!settings_respond()) return;
    if (id == ids::kMeterUnitList || id == ids::kLimitsUnitList)
        unit_list_changed(controls, state_, id);
}

DialogAction ControlPanel::clicked(Controls &controls, int id) {
    if (id == ids::kClose) return DialogAction::kClose;
    if (id == ids::kHelp) {
        state_.help_topic = 1;
        if (links_.show_help) links_.show_help();
        return DialogAction::kStay;
    }
    if (id == ids::kLinear || id == ids::kLog || id == ids::kTemperature) {
        change_mode(controls, id);
        return DialogAction::kStay;
    }
    // Everything else is a setting control: none responds in Volts or Temperature mode (their
    // widgets are greyed; a stray event changes nothing either).
    if (!settings_respond()) {
        if (id == ids::kVolts) show_mode_radio(controls, state_.meas_mode);
        return DialogAction::kStay;
    }
    switch (id) {
    case ids::kMhz:
    case ids::kGhz:
        state_.freq_units_mhz = id == ids::kMhz;
        controls.set_checked(ids::kMhz, id == ids::kMhz);
        controls.set_checked(ids::kGhz, id == ids::kGhz);
        break;
    case ids::kUseTable:
        toggle_use_table(controls);
        break;
    case ids::kOffsetEnable:
        toggle_offset(controls);
        break;
    case ids::kDutyEnable:
        toggle_duty_cycle(controls);
        break;
    case ids::kRelativeEnable:
        toggle_relative(controls);
        break;
    case ids::kRelativeSet:
        set_relative_reference();
        break;
    case ids::kRelativeAutoSet:
        toggle_auto_set(controls);
        break;
    case ids::kMaxMinRecord:
        toggle_maxmin_record(controls);
        break;
    case ids::kMaxMinClear:
        state_.maxmin_reset_request = true;
        break;
    case ids::kInfoShow:
        toggle_info_panel(controls);
        break;
    case ids::kLimitsEnable:
        toggle_limits(controls);
        break;
    case ids::kLimitsBeep:
        state_.limits_beep = !state_.limits_beep;
        controls.set_checked(ids::kLimitsBeep, state_.limits_beep);
        break;
    case ids::kNumeric:
    case ids::kMeter:
    case ids::kBoth:
        select_display(controls, id);
        break;
    case ids::kMeterAuto:
        toggle_meter_auto(controls);
        break;
    case ids::kApply:
        apply(controls);
        break;
    default:
        if (id >= ids::kResolutionNone && id <= ids::kResolutionThree)
            select_resolution(controls, id);
        break;
    }
    return DialogAction::kStay;
}

void ControlPanel::change_mode(Controls &controls, int mode) {
    if (is_power_mode(mode)) {
        set_settings_enabled(controls, true);
        full_refresh(controls);
    } else {
        set_settings_enabled(controls, false);
    }
    state_.readout_top = readout_top_for(mode, state_.display_setup);

    select_measurement_mode(state_, ui_, mode);
    // The panel's part of selecting a mode: what shows the mode's units.
    show_mode_radio(controls, mode);
    refresh_meter(controls, state_);
    refresh_limits(controls, state_);
    show_relative_reference(controls);
    show_offset_group(controls);

    enable_unit_lists(controls, state_);
}

void ControlPanel::toggle_use_table(Controls &controls) {
    state_.cal_from_table = !state_.cal_from_table;
    const bool table = state_.cal_from_table;
    controls.set_checked(ids::kUseTable, table);
    controls.set_enabled(ids::kCalFactorEdit, !table);
    for (int id : {ids::kFrequencyEdit, ids::kMhz, ids::kGhz}) controls.set_enabled(id, table);
    if (state_.frequency_box_open && links_.refresh_frequency_box) links_.refresh_frequency_box();
    mark_status_panel();
}

void ControlPanel::toggle_offset(Controls &controls) {
    state_.offset_enabled = !state_.offset_enabled;
    const bool on = state_.offset_enabled;
    controls.set_checked(ids::kOffsetEnable, on);
    controls.set_enabled(ids::kOffsetEdit, on);
    with_sensor([on](SensorRecord *sensor) { SensorOffsetState(sensor, on ? 1 : 0); });
    mark_status_panel();
}

void ControlPanel::toggle_duty_cycle(Controls &controls) {
    state_.duty_cycle_enabled = !state_.duty_cycle_enabled;
    const bool on = state_.duty_cycle_enabled;
    controls.set_checked(ids::kDutyEnable, on);
    controls.set_enabled(ids::kDutyEdit, on);
    with_sensor([on](SensorRecord *sensor) { SensorDutyCycleState(sensor, on ? 1 : 0); });
    mark_status_panel();
}

void ControlPanel::select_resolution(Controls &controls, int id) {
    state_.resolution_radio_id = id;
    show_resolution(controls);
    const int places = id - ids::kResolutionNone;
    state_.resolution_places = places;
    if (is_power_mode(state_.meas_mode)) {
        state_.status_repaint_request = true;
        if (state_.live_readout_enabled) {
            ui_.repaint(RepaintRequest::kClear);
            ui_.repaint(RepaintRequest::kFrame);
            ui_.repaint(RepaintRequest::kLiveReadout);
        }
    }
    with_sensor([places](SensorRecord *sensor) { SensorStrResolution(sensor, places); });
    if (state_.trace_screen_shown) state_.display_countdown = 1;
}

void ControlPanel::toggle_relative(Controls &controls) {
    if (!state_.relative_enabled) {
        with_sensor([](SensorRecord *sensor) { SensorRelativeState(sensor, 1); });
        controls.set_checked(ids::kRelativeEnable, true);
        state_.relative_enabled = true;
        const bool auto_set = state_.relative_auto_set;
        controls.set_enabled(ids::kRelativeAutoSet, true);
        controls.set_enabled(auto_set ? ids::kRelativeSet : ids::kRelativeEdit, true);
        controls.set_enabled(ids::kMaxMinRecord, true);
        controls.set_enabled(ids::kMaxMinClear, state_.maxmin_record);
        state_.maxmin_reset_request = true;
    } else {
        with_sensor([](SensorRecord *sensor) { SensorRelativeState(sensor, 0); });
        controls.set_checked(ids::kRelativeEnable, false);
        state_.relative_enabled = false;
        for (int id : {ids::kRelativeAutoSet, ids::kRelativeSet, ids::kRelativeEdit,
                       ids::kMaxMinRecord, ids::kMaxMinClear})
            controls.set_enabled(id, false);
    }
    // Limits and meter scale change their meaning (dB and percent): values and labels follow.
    refresh_meter(controls, state_);
    refresh_limits(controls, state_);
    enable_unit_lists(controls, state_);
    mark_status_panel();
}

void ControlPanel::set_relative_reference() {
    with_sensor([this](SensorRecord *sensor) {
        SensorRelativeSet(sensor);
        double db = 0.0;
        double mw = 0.0;
        if (SensorRelativeLevelQuery(sensor, &db, &mw) != 0) {
            state_.relative_ref_db = db;
            state_.relative_ref_mw = mw;
        }
    });
    state_.status_repaint_request = true;
    state_.relative_set_done = true;
}

void ControlPanel::toggle_auto_set(Controls &controls) {
    state_.relative_auto_set = !state_.relative_auto_set;
    const bool on = state_.relative_auto_set;
    controls.set_checked(ids::kRelativeAutoSet, on);
    controls.set_enabled(ids::kRelativeEdit, !on);
    controls.set_enabled(ids::kRelativeSet, on);
}

void ControlPanel::toggle_maxmin_record(Controls &controls) {
    state_.maxmin_record = !state_.maxmin_record;
    const bool on = state_.maxmin_record;
    controls.set_checked(ids::kMaxMinRecord, on);
    controls.set_enabled(ids::kMaxMinClear, on);
    state_.status_repaint_request = true;
}

void ControlPanel::toggle_info_panel(Controls &controls) {
    const bool on = !state_.info_panel_shown;
    state_.info_panel_shown = on;
    state_.status_repaint_request = on;
    if (!on) ui_.repaint(RepaintRequest::kStatusPanel);
    controls.set_checked(ids::kInfoShow, on);
}

void ControlPanel::toggle_limits(Controls &controls) {
    const bool on = !state_.limits_enabled;
    state_.limits_enabled = on;
    if (on) {
        state_.limit_low_alarm = false;
        state_.limit_high_alarm = false;
    }
    controls.set_checked(ids::kLimitsEnable, on);
    for (int id : {ids::kHighLimitEdit, ids::kLowLimitEdit, ids::kLimitsBeep})
        controls.set_enabled(id, on);
    enable_unit_lists(controls, state_);
    mark_status_panel();
}

void ControlPanel::select_display(Controls &controls, int id) {
    if (state_.trace_running) {
        ui_.message("Trace", "Trace still running.\n\nTo stop trace, select new measurement mode.",
                    MessageButtons::kOk, MessageIcon::kExclamation);
        show_display_setup(controls, state_.display_setup); // the radios as they were
        return;
    }
    for (int radio : kDisplayRadios) controls.set_checked(radio, radio == id);
    select_display_setup(state_, ui_, id);
}

void ControlPanel::toggle_meter_auto(Controls &controls) {
    const bool on = !state_.meter_auto;
    state_.meter_auto = on;
    controls.set_checked(ids::kMeterAuto, on);
    controls.set_enabled(ids::kMeterMinEdit, !on);
    controls.set_enabled(ids::kMeterMaxEdit, !on);
    if (on)
        refresh_meter_labels(controls, state_);
    else
        refresh_meter(controls, state_);
    // The bar meter is drawn afresh from the next reading's scale; with the meter on screen the
    // current reading is redrawn at once on the new scale.
    state_.display_countdown = 1;
    if (state_.display_setup != 0 && state_.live_readout_enabled)
        ui_.repaint(RepaintRequest::kLiveReadout);
    enable_unit_lists(controls, state_);
}

// --- Apply -----------------------------------------------------------------------------------

void ControlPanel::apply(Controls &controls) {
    auto refused = apply_frequency_or_cal_factor(controls);
    if (!refused) {
        if (state_.frequency_box_open && links_.refresh_frequency_box)
            links_.refresh_frequency_box();
        if (state_.offset_enabled) refused = apply_offset(controls);
    }
    if (!refused && state_.duty_cycle_enabled) refused = apply_duty_cycle(controls);
    if (!refused && !state_.relative_auto_set) refused = apply_relative_reference(controls);
    if (!refused && state_.limits_enabled) refused = apply_limits(controls, state_);
    if (!refused && !state_.meter_auto) refused = apply_meter_scale(controls, state_);
    if (refused) show_refusal(ui_, controls, *refused);
}

std::optional<Refusal> ControlPanel::apply_frequency_or_cal_factor(Controls &controls) {
    if (state_.cal_from_table) {
        const double hz = frequency_from_edit(read_value_edit(controls, ids::kFrequencyEdit),
                                              state_.freq_units_mhz);
        const FrequencyRange range = panel_frequency_range(state_.model_index);
        if (!range.accepts(hz))
            return Refusal{ids::kFrequencyEdit, "Frequency", frequency_refusal(range)};
        state_.meas_frequency_hz = hz;
        const bool band_model = state_.model_index == kModelRx6;
        with_sensor([this, hz, band_model](SensorRecord *sensor) {
            SensorFrequency(sensor, hz);
            double factor = 1.0;
            if (SensorCfQuery(sensor, &factor) != 0) state_.cal_factor = factor;
            if (band_model) {
                // The 75-110 GHz model works with the band's equation parameters.
                double equation[kEquationPramsSize] = {};
                if (SensorEquationPrams(sensor, equation) != 0)
                    for (std::size_t i = 0; i < kEquationPramsSize; ++i)
                        state_.equation_prams[i] = equation[i];
            }
        });
        controls.set_text(ids::kCalFactorEdit, printf_fixed(state_.cal_factor * 100.0, 1, 5));
        mark_status_panel();
        return std::nullopt;
    }
    const double percent = read_value_edit(controls, ids::kCalFactorEdit);
    if (!in_range(percent, 50.0, 150.0))
        return Refusal{ids::kCalFactorEdit, "Cal Factor", "Valid cal factor range: 50 to 150"};
    with_sensor([percent](SensorRecord *sensor) { SensorCalFactor(sensor, percent); });
    state_.cal_factor = percent * 0.01;
    mark_status_panel();
    return std::nullopt;
}

std::optional<Refusal> ControlPanel::apply_offset(Controls &controls) {
    const double value = read_value_edit(controls, ids::kOffsetEdit);
    double db = value;
    if (state_.meas_mode == kModeLog) {
        if (!in_range(value, kLowestOffsetDb, kHighestOffsetDb))
            return Refusal{ids::kOffsetEdit, "Offset", "Measurement offset range: -50dB to +100dB"};
        state_.offset_db = value;
        state_.offset_multiplier = std::pow(10.0, value / 10.0);
    } else {
        // The multiplier's range is the library's offset range as a power ratio: a smaller one
        // (0 gives -inf dB) would be refused by the library while the screen showed it applied.
        if (!in_range(value, kLowestMultiplier, kHighestMultiplier))
            return Refusal{ids::kOffsetEdit, "Offset",
                           "Measurement offset range: 0.00001 to 10e+9"};
        db = std::clamp(10.0 * std::log10(value), kLowestOffsetDb, kHighestOffsetDb);
        state_.offset_multiplier = value;
        state_.offset_db = db;
        fill_unit_lists(controls, state_);
    }
    with_sensor([db](SensorRecord *sensor) { SensorOffset(sensor, db); });
    mark_status_panel();
    return std::nullopt;
}

std::optional<Refusal> ControlPanel::apply_duty_cycle(Controls &controls) {
    const double percent = read_value_edit(controls, ids::kDutyEdit);
    if (!in_range(percent, 0.1, 100.0))
        return Refusal{ids::kDutyEdit, "Duty Cycle", "Duty cycle range: 0.1 to 100%"};
    state_.duty_cycle_percent = percent;
    with_sensor([percent](SensorRecord *sensor) { SensorDutyCycle(sensor, percent); });
    mark_status_panel();
    return std::nullopt;
}

std::optional<Refusal> ControlPanel::apply_relative_reference(Controls &controls) {
    const int mode = state_.meas_mode;
    if (!is_power_mode(mode)) return std::nullopt;
    const double value = read_value_edit(controls, ids::kRelativeEdit);
    const double top_db = offset_headroom_db(state_) + 20.0;
    if (mode == kModeLog) {
        if (!in_range(value, -50.0, top_db))
            return Refusal{ids::kRelativeEdit, "Relative Mode",
                           "Manual set point range: -50dBm to +" + printf_fixed(top_db, 0) + "dBm"};
        state_.relative_ref_db = value;
        state_.relative_ref_mw = std::pow(10.0, value / 10.0);
    } else {
        // A reference of 0 mW would make every relative reading a division by zero.
        const double top_mw = std::pow(10.0, top_db / 10.0);
        if (!(value > 0.0 && value <= top_mw))
            return Refusal{ids::kRelativeEdit, "Relative Mode",
                           "Relative set point max is " + relative_maximum_text(top_mw)};
        state_.relative_ref_mw = value;
        state_.relative_ref_db = 10.0 * std::log10(value);
    }
    const double db = state_.relative_ref_db;
    const double mw = state_.relative_ref_mw;
    with_sensor([db, mw](SensorRecord *sensor) { SensorRelativeManualSet(sensor, db, mw); });
    mark_status_panel();
    return std::nullopt;
}

} // namespace meterdesk
