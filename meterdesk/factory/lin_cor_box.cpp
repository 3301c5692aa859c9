#include "meterdesk/factory/lin_cor_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/factory/correction_prams.h"
#include "meterdesk/factory/sensor_exchange.h"

#include <rfsense/rfsense.h>

namespace meterdesk {

namespace ids = lin_cor_box;

namespace {

void no_table(Ui &ui) {
    ui.message("Sensor Linearity Correction", "No linearity correction data loaded.",
               MessageButtons::kOk, MessageIcon::kExclamation);
}

void no_sensor(Ui &ui) {
    ui.message(ids::kCaption, kNoSensorConnected, MessageButtons::kOk, MessageIcon::kExclamation);
}

} // namespace

LinCorDialog::LinCorDialog(AppState &state, Ui &ui) : state_(state), ui_(ui) {}

void LinCorDialog::open(Controls &controls) {
    const bool active = state_.lin_cor_active;
    controls.set_checked(ids::kEnable, active);
    controls.set_enabled(ids::kGetPrams, active);
}

DialogAction LinCorDialog::clicked(Controls &controls, int id) {
    switch (id) {
    case ids::kEnable:
        enable(controls);
        break;
    case ids::kGetPrams:
        get_prams(controls);
        break;
    case ids::kCancel:
        return DialogAction::kClose;
    default:
        break;
    }
    return DialogAction::kStay;
}

void LinCorDialog::enable(Controls &controls) {
    const bool on = controls.checked(ids::kEnable);
    SensorLease lease(state_);
    const int result = SensorLinCor(lease.get(), on ? 1 : 0);
    if (result != SENSOR_DONE) {
        controls.set_checked(ids::kEnable, state_.lin_cor_active);
        if (result == SENSOR_NO_LINEARITY_TABLE)
            no_table(ui_);
        else
            no_sensor(ui_);
        return;
    }
    state_.lin_cor_active = on;
    controls.set_enabled(ids::kGetPrams, on);
}

void LinCorDialog::get_prams(Controls &controls) {
    WorkingSet working{};
    SensorLease lease(state_);
    const int result = SensorLinCorGetPrams(lease.get(), working.data());
    if (result == SENSOR_NO_LINEARITY_TABLE) {
        no_table(ui_);
        return;
    }
    if (result == 0) {
        no_sensor(ui_);
        return;
    }
    controls.set_items(ids::kPramsList, lin_cor_prams_lines(working));
}

} // namespace meterdesk
