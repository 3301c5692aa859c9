#include "meterdesk/settings/frequency_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/settings/frequency_entry.h"
#include "meterdesk/settings/number_text.h"
#include "meterdesk/settings/refusal.h"

#include <rfsense/rfsense.h>

namespace meterdesk {

namespace ids = frequency_box;

FrequencyBoxDialog::FrequencyBoxDialog(AppState &state, Ui &ui, std::function<void()> refresh_panel)
    : state_(state), ui_(ui), refresh_panel_(std::move(refresh_panel)) {}

void FrequencyBoxDialog::open(Controls &controls) {
    refresh(controls);
    state_.frequency_box_open = true;
}

void FrequencyBoxDialog::refresh(Controls &controls) {
    const bool mhz = state_.freq_units_mhz;
    // One decimal in MHz, also below 1 MHz, unless that would not read back as the frequency.
    controls.set_text(ids::kFrequencyEdit,
                      frequency_edit_text(state_.meas_frequency_hz, mhz, 1, 1, 2));
    controls.set_checked(ids::kMhz, mhz);
    controls.set_checked(ids::kGhz, !mhz);
    const bool table = state_.cal_from_table;
    for (int id : {ids::kMhz, ids::kGhz, ids::kFrequencyEdit, ids::kApply})
        controls.set_enabled(id, table);
}

DialogAction FrequencyBoxDialog::clicked(Controls &controls, int id) {
    DialogAction action = DialogAction::kStay;
    switch (id) {
    case ids::kMhz:
    case ids::kGhz:
        if (!state_.cal_from_table) break;
        state_.freq_units_mhz = id == ids::kMhz;
        controls.set_checked(ids::kMhz, id == ids::kMhz);
        controls.set_checked(ids::kGhz, id == ids::kGhz);
        break;
    case ids::kApply:
        if (state_.cal_from_table) apply(controls, action);
        break;
    case ids::kCancel:
        action = DialogAction::kClose;
        break;
    default:
        break;
    }
    if (action == DialogAction::kClose) closed();
    return action;
}

void FrequencyBoxDialog::closed() {
    state_.frequency_box_open = false;
}

void FrequencyBoxDialog::apply(Controls &controls, DialogAction &action) {
    const double number = read_number(controls.text(ids::kFrequencyEdit), kValueEditChars);
    const double hz = frequency_from_edit(number, state_.freq_units_mhz);
    const FrequencyRange range = box_frequency_range(state_.model_index);
    if (!range.accepts(hz)) {
        show_refusal(ui_, controls,
                     Refusal{ids::kFrequencyEdit, "Frequency", frequency_refusal(range)});
        return;
    }
    state_.meas_frequency_hz = hz;
    {
        SensorLease lease(state_);
        if (lease) {
            SensorFrequency(lease.get(), hz);
            double factor = 1.0;
            if (SensorCfQuery(lease.get(), &factor) != 0) state_.cal_factor = factor;
        }
    }
    if (state_.panel_open && refresh_panel_) refresh_panel_();
    if (state_.info_panel_shown) state_.status_repaint_request = true;
    action = DialogAction::kClose;
}

} // namespace meterdesk
