// The limits, display-setup and meter-scaling controls of the measurement control panel: how
// they show the AppState fields (values and labels follow the mode, relative mode and unit),
// the two "Linear Units" lists, and Apply steps 6 (limits) and 7 (meter scale).
//
// Invariant kept by Apply: each dB field is 10 log10 of its mW partner, -80.0 for a linear value
// of 0 or less. In the dBm mode the dB fields are what was typed, in the other modes the mW ones.
#pragma once

#include "meterdesk/settings/refusal.h"

#include <optional>

namespace meterdesk {

struct AppState;
class Controls;

// p of the highest limit and relative reference: the offset in dB while the offset is on and
// positive, else 0. The highest value is then p + 20 dBm.
double offset_headroom_db(const AppState &state);

// Limits refresh: the two limit edits and their labels (nothing in Temperature mode).
void refresh_limits(Controls &controls, const AppState &state);

// Meter refresh: the minimum and maximum edits, then the meter labels.
void refresh_meter(Controls &controls, const AppState &state);
void refresh_meter_labels(Controls &controls, const AppState &state);

// Fills both unit lists with the units the offset multiplier allows and selects the meter's
// and the limits' unit (no selection when the unit is not offered).
void fill_unit_lists(Controls &controls, const AppState &state);

// The meter list and its label respond only with a typed meter scale in linear mode without
// relative mode; the limits list and its label only with the limits on, in the same case.
void enable_unit_lists(Controls &controls, const AppState &state);

// A new selection in a unit list (kMeterUnitList or kLimitsUnitList): the mW fields are rescaled
// so that the numbers shown stay and count in the new unit. The dB fields follow at the next
// Apply.
void unit_list_changed(Controls &controls, AppState &state, int list_id);

// The display-setup radios from display_setup: numeric for 0, meter for 1, both otherwise.
void show_display_setup(Controls &controls, int display_setup);

// Apply step 6 (only while the limits are on) and step 7 (only with a typed meter scale). A
// refused value stores nothing of its step.
std::optional<Refusal> apply_limits(Controls &controls, AppState &state);
std::optional<Refusal> apply_meter_scale(Controls &controls, AppState &state);

} // namespace meterdesk
