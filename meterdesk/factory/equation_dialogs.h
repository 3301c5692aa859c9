// The logic of the equation dialogs: "EquationPramsBox" (the parameters in use, command 40057),
// "TestExecSettingsBox" (the test exec settings and "tes.dat", command 40089) and
// "EquationCheckBox" (the expanded fit check listed, from the test control panel's "Check").
//
// The control ids of these three layouts are this product's own (the layouts name none).
#pragma once

#include "meterdesk/base/controls.h"

namespace meterdesk {

struct AppState;
class Ui;

namespace equation_prams_box {
inline constexpr const char *kResourceName = "EquationPramsBox";
inline constexpr const char *kCaption = "Equation Parameters";
inline constexpr int kList = 1541;
inline constexpr int kClose = 1542;
} // namespace equation_prams_box

namespace test_exec_box {
inline constexpr const char *kResourceName = "TestExecSettingsBox";
inline constexpr const char *kCaption = "Test Exec Settings";
inline constexpr int kFourPart = 1543;
inline constexpr int kThreePart = 1544;
inline constexpr int kPlay = 1545;
inline constexpr int kSaveViewListing = 1546;
inline constexpr int kCheckLimit = 1547;   // "Equation Check Limit", "%.3fdB"
inline constexpr int kWarningLimit = 1548; // "Test Error Warning Limit", "%.2fdBm"
inline constexpr int kApply = 1549;
inline constexpr int kCancel = 1550;
} // namespace test_exec_box

namespace equation_check_box {
inline constexpr const char *kResourceName = "EquationCheckBox";
inline constexpr const char *kCaption = "Equation Fit";
inline constexpr int kList = 1551;
inline constexpr int kClose = 1552;
} // namespace equation_check_box

// EquationPramsBox: the list of the parameters in use (AppState::equation_prams).
void open_equation_prams_box(const AppState &state, Controls &controls);
DialogAction equation_prams_box_clicked(int id);

// TestExecSettingsBox.
void open_test_exec_box(const AppState &state, Controls &controls);
// "Apply": the choice stored, the fitter template copied to "fn_dn.dat", both limits read as
// decimal numbers (a limit that is not a number above 0 is refused and the box stays open),
// "tes.dat" written; "Cancel" closes.
DialogAction test_exec_box_clicked(AppState &state, Ui &ui, Controls &controls, int id);

// EquationCheckBox: runs the check and lists it (empty when a file is missing).
void open_equation_check_box(const AppState &state, Ui &ui, Controls &controls);
DialogAction equation_check_box_clicked(int id);

} // namespace meterdesk
