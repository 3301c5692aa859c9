#include "meterdesk/factory/temp_comp_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/factory/correction_prams.h"
#include "meterdesk/factory/sensor_exchange.h"
#include "meterdesk/factory/whole_number.h"
#include "meterdesk/settings/refusal.h"

#include <rfsense/rfsense.h>

#include <string>

namespace meterdesk {

namespace ids = temp_comp_box;

namespace {

constexpr std::size_t kPeriodChars = 15;

void no_sensor(Ui &ui) {
    ui.message(ids::kCaption, kNoSensorConnected, MessageButtons::kOk, MessageIcon::kExclamation);
}

} // namespace

TempCompDialog::TempCompDialog(AppState &state, Ui &ui) : state_(state), ui_(ui) {}

void TempCompDialog::open(Controls &controls) {
    const bool active = state_.temp_comp_active;
    controls.set_checked(ids::kEnable, active);
    controls.set_enabled(ids::kGetPrams, active);
    controls.set_checked(ids::kBeep, state_.temp_comp_beep);
    controls.set_text(ids::kPeriodEdit, std::to_string(state_.temp_comp_period_s.load()));
}

DialogAction TempCompDialog::clicked(Controls &controls, int id) {
    switch (id) {
    case ids::kEnable:
        enable(controls);
        break;
    case ids::kBeep:
        beep(controls);
        break;
    case ids::kEnter:
        return enter(controls);
    case ids::kClose:
        return DialogAction::kClose;
    case ids::kGetPrams:
        get_prams(controls);
        break;
    default:
        break;
    }
    return DialogAction::kStay;
}

void TempCompDialog::enable(Controls &controls) {
    const bool on = controls.checked(ids::kEnable);
    if (on && !state_.zero_done) {
        controls.set_checked(ids::kEnable, false);
        ui_.message(ids::kCaption, "Zero sensor first.", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return;
    }
    SensorLease lease(state_);
    if (SensorTempComp(lease.get(), on ? 1 : 0) == 0) {
        controls.set_checked(ids::kEnable, state_.temp_comp_active);
        no_sensor(ui_);
        return;
    }
    state_.temp_comp_active = on;
    controls.set_enabled(ids::kGetPrams, on);
}

void TempCompDialog::beep(Controls &controls) {
    const bool on = controls.checked(ids::kBeep);
    SensorLease lease(state_);
    if (SensorTempCompConfig(lease.get(), state_.temp_comp_period_s, on ? 1 : 0) == 0) {
        controls.set_checked(ids::kBeep, state_.temp_comp_beep);
        no_sensor(ui_);
        return;
    }
    state_.temp_comp_beep = on;
}

DialogAction TempCompDialog::enter(Controls &controls) {
    const auto period = whole_number_in(controls.text(ids::kPeriodEdit), kPeriodChars, 1, 60);
    if (!period) {
        show_refusal(ui_, controls,
                     {ids::kPeriodEdit, "Temperature Period",
                      "Valid period range: 1 seconds to 60 seconds"});
        return DialogAction::kStay;
    }
    SensorLease lease(state_);
    if (SensorTempCompConfig(lease.get(), static_cast<std::int32_t>(*period),
                             state_.temp_comp_beep ? 1 : 0) == 0) {
        no_sensor(ui_);
        return DialogAction::kStay;
    }
    state_.temp_comp_period_s = static_cast<std::int32_t>(*period);
    return DialogAction::kClose;
}

void TempCompDialog::get_prams(Controls &controls) {
    WorkingSet working{};
    SensorLease lease(state_);
    if (SensorTempCompGetPrams(lease.get(), working.data()) == 0) {
        no_sensor(ui_);
        return;
    }
    controls.set_items(ids::kPramsList, temp_comp_prams_lines(working));
}

} // namespace meterdesk
