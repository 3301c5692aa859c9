// Writing the detector equation into the sensor ("FX15" + "EQnnWR" per parameter, "FX9" +
// "EQCS" for the checksum), verified byte for byte by reading every parameter and the stored
// checksum back, and the fit check as the factory runs it before a save.
#pragma once

#include "meterdesk/factory/equation_fit.h"

#include <ctime>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kEquationSaveCaption = "Equation Save";
inline constexpr const char *kFitCheckCaption = "Expanded Equation Fit Check";

// The 104 parameter bytes (little-endian doubles) and the checksum: their sum as unsigned bytes.
struct StoredEquation {
    std::array<unsigned char, 104> bytes{};
    std::array<unsigned char, 4> checksum{};
    bool operator==(const StoredEquation &) const = default;
};
StoredEquation stored_equation(const EquationPrams &prams);

// Writes `prams` into a sensor the caller has taken over and verifies them; when they come
// from the fitter's file and verified, stamps the equation date. A failure says what the
// sensor now holds. Clears programming_done at the start, sets it on success. Returns true on
// verified success.
bool save_equation(AppState &state, Ui &ui, SensorRecord *sensor, const EquationPrams &prams,
                   bool from_fitter, const std::tm &today);

// The fitter's output, or its error shown in the "Equation Save" box.
std::optional<EquationPrams> fitter_equation(Ui &ui, bool four_part);

// The expanded fit check on the Levmar files with the check limit of the test exec settings.
// Returns nothing (after showing why) when a file is missing or unusable.
std::optional<FitCheck> run_fit_check(const AppState &state, Ui &ui);

// Without a dialog, for a save: a failing fit shows "Bad fit.\n%d fails\nworst %.4f".
std::optional<FitCheck> fit_check_for_save(const AppState &state, Ui &ui);

// With the dialog "Equation Fit": its list, and "expanded_fit.txt" written.
std::optional<std::vector<std::string>> fit_check_listing(const AppState &state, Ui &ui);

} // namespace meterdesk
