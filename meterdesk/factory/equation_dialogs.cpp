#include "meterdesk/factory/equation_dialogs.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/factory/equation_fit.h"
#include "meterdesk/factory/equation_save.h"
#include "meterdesk/factory/test_exec_settings.h"
#include "meterdesk/settings/number_text.h"

#include <cmath>
#include <string>
#include <tuple>

namespace meterdesk {

void open_equation_prams_box(const AppState &state, Controls &controls) {
    EquationPrams prams{};
    for (std::size_t i = 0; i < prams.size(); ++i) prams[i] = state.equation_prams[i];
    controls.set_items(equation_prams_box::kList, equation_pram_lines(prams));
}

DialogAction equation_prams_box_clicked(int id) {
    return id == equation_prams_box::kClose ? DialogAction::kClose : DialogAction::kStay;
}

void open_test_exec_box(const AppState &state, Controls &controls) {
    namespace ids = test_exec_box;
    const TestExecSettings s = test_exec_settings_of(state);
    controls.set_checked(ids::kFourPart, s.four_part);
    controls.set_checked(ids::kThreePart, !s.four_part);
    controls.set_checked(ids::kPlay, s.play_tune);
    controls.set_checked(ids::kSaveViewListing, state.save_view_listing);
    controls.set_text(ids::kCheckLimit, printf_fixed(s.check_limit_db, 3) + "dB");
    controls.set_text(ids::kWarningLimit, printf_fixed(s.warning_limit_dbm, 2) + "dBm");
}

DialogAction test_exec_box_clicked(AppState &state, Ui &ui, Controls &controls, int id) {
    namespace ids = test_exec_box;
    if (id == ids::kFourPart || id == ids::kThreePart) {
        controls.set_checked(ids::kFourPart, id == ids::kFourPart);
        controls.set_checked(ids::kThreePart, id == ids::kThreePart);
        return DialogAction::kStay;
    }
    if (id == ids::kCancel) return DialogAction::kClose;
    if (id != ids::kApply) return DialogAction::kStay;

    TestExecSettings s;
    s.four_part = controls.checked(ids::kFourPart);
    s.play_tune = controls.checked(ids::kPlay);
    s.check_limit_db = read_number(controls.text(ids::kCheckLimit));
    s.warning_limit_dbm = read_number(controls.text(ids::kWarningLimit));
    for (auto [value, edit, name] :
         {std::tuple{s.check_limit_db, ids::kCheckLimit, "Equation Check Limit"},
          std::tuple{s.warning_limit_dbm, ids::kWarningLimit, "Test Error Warning Limit"}}) {
        if (!std::isfinite(value) || value <= 0.0) {
            ui.message(ids::kCaption, std::string(name) + " must be a number above 0.",
                       MessageButtons::kOk, MessageIcon::kExclamation);
            controls.set_focus(edit);
            return DialogAction::kStay;
        }
    }
    set_test_exec_settings(state, s);
    state.save_view_listing = controls.checked(ids::kSaveViewListing);
    copy_fitter_template(ui, s.four_part);
    if (!save_test_exec_settings(test_exec_settings_file(), s))
        ui.message(ids::kCaption,
                   "Can't write " + test_exec_settings_file().string() +
                       "\nThe settings hold for this session only.",
                   MessageButtons::kOk, MessageIcon::kExclamation);
    return DialogAction::kClose;
}

void open_equation_check_box(const AppState &state, Ui &ui, Controls &controls) {
    const auto list = fit_check_listing(state, ui);
    controls.set_items(equation_check_box::kList, list.value_or(std::vector<std::string>{}));
}

DialogAction equation_check_box_clicked(int id) {
    return id == equation_check_box::kClose ? DialogAction::kClose : DialogAction::kStay;
}

} // namespace meterdesk
