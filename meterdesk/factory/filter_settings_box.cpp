#include "meterdesk/factory/filter_settings_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/factory/averaging_lengths.h"
#include "meterdesk/factory/sensor_exchange.h"

#include <rfsense/rfsense.h>

#include <algorithm>

namespace meterdesk {

namespace ids = filter_settings_box;

namespace {

constexpr std::size_t kFirstFilterIndex = 3; // filter_settings[3 + range]

// The list's position in the library's nine settings: gains 0..2, filters 3..5; -1 otherwise.
int setting_index(int id) {
    for (std::size_t range = 0; range < 3; ++range) {
        if (ids::kGainLists[range] == id) return static_cast<int>(range);
        if (ids::kFilterLists[range] == id) return static_cast<int>(kFirstFilterIndex + range);
    }
    return -1;
}

void show_code(Controls &controls, int id, std::int32_t code) {
    const int count = static_cast<int>(controls.items(id).size());
    controls.set_selection(id, code >= 0 && code < count ? code : -1);
}

void no_sensor(Ui &ui) {
    ui.message(ids::kCaption, kNoSensorConnected, MessageButtons::kOk, MessageIcon::kExclamation);
}

} // namespace

const std::vector<std::string> &gain_choices() {
    static const std::vector<std::string> choices = {"1", "2"};
    return choices;
}

const std::vector<std::string> &filter_choices() {
    static const std::vector<std::string> choices = {
        "500Hz",       "250Hz",  "125Hz",  "62,5Hz", "50Hz",   "39.2Hz", "33.3Hz", "19.6Hz",
        "16.7Hz (50)", "16.7Hz", "12.2Hz", "10Hz",   "8.33Hz", "6.25Hz", "4.17Hz"};
    return choices;
}

FilterSettingsDialog::FilterSettingsDialog(AppState &state, Ui &ui) : state_(state), ui_(ui) {}

void FilterSettingsDialog::open(Controls &controls) {
    for (std::size_t range = 0; range < 3; ++range) {
        controls.set_items(ids::kGainLists[range], gain_choices());
        show_code(controls, ids::kGainLists[range], state_.filter_settings[range]);
        controls.set_items(ids::kFilterLists[range], filter_choices());
        show_code(controls, ids::kFilterLists[range],
                  state_.filter_settings[kFirstFilterIndex + range]);
    }
    show_averaging_lengths(state_, controls, ids::kLengthEdits);
    controls.set_checked(ids::kStepDetect, state_.step_detect_on);
}

DialogAction FilterSettingsDialog::clicked(Controls &controls, int id) {
    if (id == ids::kEnterSettings)
        return enter_averaging_lengths(state_, ui_, controls, ids::kLengthEdits);
    if (id == ids::kCancelClose) return DialogAction::kClose;
    if (id == ids::kStepDetect) {
        const bool on = controls.checked(ids::kStepDetect);
        SensorLease lease(state_);
        if (SensorStepDetectState(lease.get(), on ? 1 : 0) == 0) {
            controls.set_checked(ids::kStepDetect, state_.step_detect_on);
            no_sensor(ui_);
        } else {
            state_.step_detect_on = on;
        }
    }
    return DialogAction::kStay;
}

void FilterSettingsDialog::chosen(Controls &controls, int id) {
    const int index = setting_index(id);
    if (index < 0) return;
    const auto slot = static_cast<std::size_t>(index);
    const int code = controls.selection(id);
    if (code < 0) return;
    SensorLease lease(state_);
    if (SensorFilterSettingsUpdate(lease.get(), index, code) != SENSOR_DONE) {
        show_code(controls, id, state_.filter_settings[slot]);
        no_sensor(ui_);
        return;
    }
    state_.filter_settings[slot] = code;
}

} // namespace meterdesk
