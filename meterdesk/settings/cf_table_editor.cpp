#include "meterdesk/settings/cf_table_editor.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/cf_table_programming.h"
#include "meterdesk/factory/cf_table_text.h"
#include "meterdesk/settings/number_text.h"
#include "meterdesk/settings/refusal.h"

#include <rfsense/rfsense.h>

namespace meterdesk {

namespace ids = cf_table_box;

namespace {

std::tm local_today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

CfTableEditor::CfTableEditor(AppState &state, Ui &ui, CfTableEditorLinks links)
    : state_(state), ui_(ui), links_(std::move(links)) {
    if (!links_.today) links_.today = local_today;
}

void CfTableEditor::open(Controls &controls) {
    serial_ = state_.sensor_serial.get();
    model_ = state_.model_index;
    // The 75-110 GHz model and unknown models have no table: the state holds none of theirs.
    count_ = cf_table_points(model_);
    frequencies_.assign(kCfTableSize, 0.0);
    factors_.assign(kCfTableSize, 0.0);
    for (std::size_t i = 0; i < kCfTableSize; ++i) {
        frequencies_[i] = state_.cf_table_freq_hz[i];
        factors_[i] = state_.cf_table_factor[i];
    }

    show_table(controls);
    std::vector<std::string> labels;
    for (int i = 0; i < count_; ++i)
        labels.push_back(
            cf_table_frequency_label(frequencies_[static_cast<std::size_t>(i)], model_));
    controls.set_items(ids::kFrequencyList, labels);
    for (int id : {ids::kFrequencyList, ids::kFactorEdit, ids::kEnter, ids::kSaveTable})
        controls.set_enabled(id, false);
    controls.set_enabled(ids::kEdit, count_ > 0);
    state_.cf_table_selected = -1;
}

void CfTableEditor::show_table(Controls &controls) const {
    controls.set_items(ids::kTableList, cf_table_lines(frequencies_, factors_, count_, model_));
}

DialogAction CfTableEditor::clicked(Controls &controls, int id) {
    DialogAction action = DialogAction::kStay;
    switch (id) {
    case ids::kEdit:
        if (count_ == 0) break;
        for (int control : {ids::kFrequencyList, ids::kFactorEdit, ids::kEnter, ids::kSaveTable})
            controls.set_enabled(control, true);
        break;
    case ids::kEnter:
        enter(controls, action);
        break;
    case ids::kSaveTable:
        if (count_ > 0) save_table(action);
        break;
    case ids::kDone:
        action = DialogAction::kClose;
        break;
    default:
        break;
    }
    return action;
}

void CfTableEditor::selection_changed(Controls &controls, int id) {
    if (id != ids::kFrequencyList) return;
    const int index = controls.selection(id);
    if (index < 0 || index >= count_) return;
    state_.cf_table_selected = index;
    controls.set_focus(ids::kFactorEdit);
    controls.set_text(ids::kFactorEdit,
                      printf_fixed(factors_[static_cast<std::size_t>(index)] * 100.0, 1));
}

bool CfTableEditor::still_its_sensor(const char *outcome) {
    if (state_.sensor_connected && state_.sensor_serial.get() == serial_) return true;
    ui_.message(kCfTableQuestionCaption,
                "The sensor this table belongs to (serial " + serial_ +
                    ") is no longer connected.\n\n" + outcome,
                MessageButtons::kOk, MessageIcon::kExclamation);
    return false;
}

void CfTableEditor::enter(Controls &controls, DialogAction &action) {
    const int index = state_.cf_table_selected;
    if (index < 0 || index >= count_) return;
    controls.set_focus(ids::kFactorEdit);
    const double percent = read_number(controls.text(ids::kFactorEdit), kValueEditChars);
    if (!in_range(percent, 50.0, 150.0)) {
        show_refusal(ui_, controls,
                     Refusal{ids::kFactorEdit, "Cal Factor", "Valid cal factor range: 50 to 150"});
        return;
    }
    if (!still_its_sensor("Nothing was changed.")) {
        action = DialogAction::kClose;
        return;
    }
    const double factor = percent * 0.01;
    const auto at = static_cast<std::size_t>(index);
    factors_[at] = factor;
    state_.cf_table_factor[at] = factor;
    show_table(controls);
    {
        SensorLease lease(state_);
        if (lease) {
            SensorTableUpdate(lease.get(), index, factor);
            // The library takes the factor in force from the table again: with the table in
            // use the panel shows it; a manual cal factor is given back to the library.
            double in_force = 1.0;
            if (!state_.cal_from_table)
                SensorCalFactor(lease.get(), state_.cal_factor * 100.0);
            else if (SensorCfQuery(lease.get(), &in_force) != 0)
                state_.cal_factor = in_force;
        }
    }
    if (state_.info_panel_shown) state_.status_repaint_request = true;
    if (state_.panel_open && links_.refresh_panel) links_.refresh_panel();
}

void CfTableEditor::save_table(DialogAction &action) {
    if (!still_its_sensor("Nothing was written.")) {
        action = DialogAction::kClose;
        return;
    }
    if (confirm_cf_table_programming(state_, ui_) != CfProgramOutcome::kWritten) return;

    CfProgramOutcome outcome = CfProgramOutcome::kFailed;
    {
        SensorTakeover takeover(state_, links_.takeover);
        if (!takeover || state_.sensor_serial.get() != serial_) {
            still_its_sensor("Nothing was written.");
            action = DialogAction::kClose;
            return;
        }
        outcome = write_cf_table(state_, ui_, takeover.sensor(), factors_, CfTableSource::kEdited,
                                 links_.today());
    }
    if (!table_in_sensor(outcome)) return; // the editor stays open with its edits
    if (links_.force_disconnect) links_.force_disconnect();
    action = DialogAction::kClose;
}

} // namespace meterdesk
