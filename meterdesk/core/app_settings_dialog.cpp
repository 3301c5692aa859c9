#include "meterdesk/core/app_settings_dialog.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/core/view_menus.h"

#include <rfsense/rfsense.h>

namespace meterdesk {

namespace ids = app_settings_box;

AppSettingsDialog::AppSettingsDialog(AppState &state, Ui &ui) : state_(state), ui_(ui) {}

void AppSettingsDialog::open(Controls &controls) {
    working_ = app_settings_of(state_);
    show(controls);
}

void AppSettingsDialog::show(Controls &controls) const {
    controls.set_checked(ids::kPlayWelcomeTune, working_.play_welcome_tune);
    controls.set_checked(ids::kCelsius, working_.temperature_celsius);
    controls.set_checked(ids::kFahrenheit, !working_.temperature_celsius);
    controls.set_checked(ids::kTempComp, working_.temp_comp_setting);
    controls.set_checked(ids::kConfirmExit, working_.confirm_exit);
}

DialogAction AppSettingsDialog::clicked(Controls &controls, int id) {
    switch (id) {
    case ids::kPlayWelcomeTune:
        working_.play_welcome_tune = !working_.play_welcome_tune;
        break;
    case ids::kCelsius:
        working_.temperature_celsius = true;
        break;
    case ids::kFahrenheit:
        working_.temperature_celsius = false;
        break;
    case ids::kTempComp:
        working_.temp_comp_setting = !working_.temp_comp_setting;
        break;
    case ids::kConfirmExit:
        working_.confirm_exit = !working_.confirm_exit;
        break;
    case ids::kApply:
        apply();
        return DialogAction::kClose;
    case ids::kCancel:
        return DialogAction::kClose;
    default:
        return DialogAction::kStay;
    }
    // The controls always show the working values, whatever the toolkit did on the click.
    show(controls);
    return DialogAction::kStay;
}

std::filesystem::path AppSettingsDialog::settings_file() const {
    const std::string path = state_.settings_path.get();
    if (!path.empty()) return path;
    return paths::settings_file(state_.app_dir.get());
}

void AppSettingsDialog::apply() {
    const bool unit_changed = state_.temperature_celsius != working_.temperature_celsius;
    apply_app_settings(state_, working_);
    state_.temp_comp_active = working_.temp_comp_setting;

    // The menu is re-installed so that it reflects the new settings. It is the menu of the view
    // the window is in: the standard menu in the measurement view, the trace or statistics menu
    // while those views are up (their commands must stay reachable).
    const int view = state_.view_mode;
    ui_.install_menu(view_menu(state_, view));

    {
        SensorLease lease(state_);
        if (lease) SensorTempComp(lease.get(), state_.temp_comp_active ? 1 : 0);
    }

    // The status panel's drift warning carries the temperature unit.
    if (unit_changed) state_.status_repaint_request = true;

    // Write failures are silent: the new values are in effect for this run anyway.
    save_app_settings(settings_file(), working_);
}

} // namespace meterdesk
