#include "meterdesk/factory/test_control_panel.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/equation_save.h"
#include "meterdesk/factory/file_selection.h"

#include <algorithm>
#include <array>

namespace meterdesk {

namespace ids = test_panel;

namespace {

constexpr std::array<const char *, 4> kBrandATypes = {"RX1", "RX2LOKAN", "RX3LOKAN", "RX4LO"};
constexpr std::array<const char *, 4> kBrandBTypes = {"71308", "71312", "71318", "71326"};

std::tm local_today() {
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    return today;
}

} // namespace

std::string test_panel_type(const std::string &serial, int model_index) {
    const std::size_t at = static_cast<std::size_t>(std::clamp(model_index, 0, 3));
    const bool brand_a = !serial.empty() && (serial[0] == 'R' || serial[0] == 'X');
    return brand_a ? kBrandATypes[at] : kBrandBTypes[at];
}

TestControlPanel::TestControlPanel(AppState &state, Ui &ui, TestControlPanelLinks links)
    : state_(state), ui_(ui), links_(std::move(links)) {
    if (!links_.today) links_.today = local_today;
}

void TestControlPanel::set_paths(Controls &controls) {
    const bool marrick = state_.brand_marrick;
    const bool by_serial = state_.serial_file_names;
    const std::string name = by_serial ? state_.sensor_serial.get() + ".txt" : std::string();
    const paths::fs::path root = paths::test_root(marrick);
    state_.equation_data_path = (paths::resolve(root, "Equation Data") / name).string();
    state_.test_results_path = (paths::resolve(root, "Test Results") / name).string();
    for (int id : {ids::kEquationDataEdit, ids::kResultsEdit, ids::kTestPlanEdit,
                   ids::kSelectEquationData, ids::kSelectResults, ids::kSelectTestPlan})
        controls.set_enabled(id, !by_serial);
    controls.set_text(ids::kEquationDataEdit, state_.equation_data_path.get());
    controls.set_text(ids::kResultsEdit, state_.test_results_path.get());
    controls.set_text(ids::kTestPlanEdit, state_.test_plan_path.get());
}

void TestControlPanel::open(Controls &controls) {
    const std::string serial = state_.sensor_serial.get();
    controls.set_caption(ids::kCaption);
    controls.set_text(ids::kType, test_panel_type(serial, state_.model_index));
    controls.set_text(ids::kSerial, serial);
    if (state_.test_plan_path.get().empty())
        state_.test_plan_path = file_selection_row(state_, FileSelection::kTestPlans).folder;
    set_paths(controls);
    controls.set_checked(ids::kSerialFileNames, state_.serial_file_names);
    controls.set_checked(ids::kCalBeforeTesting, state_.cal_before_testing);
    const bool at_50mhz = state_.daily_cal_at_50mhz;
    controls.set_checked(ids::kDaily50MHz, at_50mhz);
    controls.set_checked(ids::kDailyMultiFreq, false);
    controls.set_checked(ids::kDaily1GHz, !at_50mhz);
    controls.set_checked(ids::kDailyEquation, state_.daily_cal_equation);
    controls.set_checked(ids::kDailyCf, state_.daily_cal_cf);
    state_.daily_cal_50mhz_filter = false;
    controls.set_checked(ids::kDaily50MHzFilter, false);
    controls.set_enabled(ids::kView, false);
    controls.set_enabled(ids::kSaveCalFactors, false);
}

void TestControlPanel::select(Controls &controls, int id) {
    const FileSelection which = id == ids::kSelectEquationData ? FileSelection::kEquationData
                                : id == ids::kSelectResults    ? FileSelection::kTestResults
                                                               : FileSelection::kTestPlans;
    // A cancelled dialog leaves the folder as the path, as every such selection does.
    const std::string path = choose_file(ui_, state_, which).target;
    if (id == ids::kSelectEquationData) {
        state_.equation_data_path = path;
        controls.set_text(ids::kEquationDataEdit, path);
    } else if (id == ids::kSelectResults) {
        state_.test_results_path = path;
        controls.set_text(ids::kResultsEdit, path);
    } else {
        state_.test_plan_path = path;
        controls.set_text(ids::kTestPlanEdit, path);
    }
}

void TestControlPanel::save_equation(DialogAction &action) {
    state_.live_readout_enabled = false;
    if (ui_.message(kEquationSaveCaption, kEquationCaution, MessageButtons::kOkCancel,
                    MessageIcon::kExclamation) != MessageAnswer::kOk) {
        state_.live_readout_enabled = true;
        return;
    }
    // The check runs without a dialog; a bad fit is shown and the parameters are still written
    // (the operator has been told). Missing files end the save before the sensor is touched.
    if (fit_check_for_save(state_, ui_)) {
        if (const auto prams = fitter_equation(ui_, state_.tes_four_part)) {
            SensorTakeover takeover(state_, links_.takeover);
            if (takeover)
                meterdesk::save_equation(state_, ui_, takeover.sensor(), *prams, true,
                                         links_.today());
        }
    }
    state_.live_readout_enabled = true;
    if (links_.force_disconnect) links_.force_disconnect();
    action = DialogAction::kClose;
}

DialogAction TestControlPanel::clicked(Controls &controls, int id) {
    DialogAction action = DialogAction::kStay;
    switch (id) {
    case ids::kSerialFileNames:
        state_.serial_file_names = controls.checked(ids::kSerialFileNames);
        state_.test_plan_path = file_selection_row(state_, FileSelection::kTestPlans).folder;
        set_paths(controls);
        break;
    case ids::kSelectEquationData:
    case ids::kSelectResults:
    case ids::kSelectTestPlan:
        select(controls, id);
        break;
    case ids::kSaveEquation:
        save_equation(action);
        break;
    case ids::kCheck:
        if (links_.open_equation_check) links_.open_equation_check();
        break;
    case ids::kCalBeforeTesting:
        state_.cal_before_testing = controls.checked(id);
        break;
    case ids::kDaily50MHz:
    case ids::kDailyMultiFreq:
    case ids::kDaily1GHz:
        state_.daily_cal_at_50mhz = id == ids::kDaily50MHz;
        for (int radio : {ids::kDaily50MHz, ids::kDailyMultiFreq, ids::kDaily1GHz})
            controls.set_checked(radio, radio == id);
        break;
    case ids::kDailyEquation:
        state_.daily_cal_equation = controls.checked(id);
        break;
    case ids::kDailyCf:
        state_.daily_cal_cf = controls.checked(id);
        break;
    case ids::kDaily50MHzFilter:
        state_.daily_cal_50mhz_filter = controls.checked(id);
        break;
    case ids::kClose:
        action = DialogAction::kClose;
        break;
    default: // "Create", "Run" (1499, 1501, 1402, 1506, 1535) and "HELP" (1510) do nothing
        break;
    }
    return action;
}

} // namespace meterdesk
