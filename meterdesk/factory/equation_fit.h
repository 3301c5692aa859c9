// The detector equation's parameters as the factory handles them: their listing, the files
// exchanged with the outside curve fitter in the Levmar folder, and the expanded fit check that
// compares a finished fit with the measured levels on a four times finer grid.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace meterdesk {

using EquationPrams = std::array<double, 13>; // E0..E12

// P(V) in dBm: E0 + E1 L + E2 L^2 + E3 (|L - E5|^E6 + |E4|^E6)^(1/E6)
//              + E7 exp(-((L - E8)/E9)^2) + E10 exp(-((L - E11)/E12)^2), L = log10(V).
double equation_power(const EquationPrams &e, double volts);

// The Levmar folder: "Levmar" in the install root.
std::filesystem::path levmar_folder();

// "Pram %2d = %-10.6e" from a magnitude of 1000000 on, else "Pram %2d = %-16.10f".
std::string pram_line(int number, double value);

// The listing of EquationPramsBox: "Polynomial", parameters 1-3, "", "Hyperbola", 4-7, "",
// "Gauss (1)", 8-10, "", "Gauss (2)", 11-13.
std::vector<std::string> equation_pram_lines(const EquationPrams &prams);

// Something read from a file, or the sentence saying why not ("Can't open <file>",
// "<file>, line <n>: <reason>").
template <typename T>
struct FileRead {
    std::optional<T> value;
    std::string error;
};

// "fn_dn_ou.dat": line 2 holds E0 E1 E2, line 4 E3..E6, line 6 E7..E9 and, in the four-part
// form, line 8 E10..E12 (lines counted from 0); the three-part form has E10 = 0, E11 = E12 = 1.
FileRead<EquationPrams> read_fit_output(const std::filesystem::path &file, bool four_part);

struct Level {
    double dbm = 0.0;   // reference power
    double volts = 0.0; // detector voltage
};

inline constexpr int kMaxFitLevels = 46;

// "data_to_fit.dat": one level per line, power and voltage separated by blanks; 2 to 46 levels,
// every voltage above 0.
FileRead<std::vector<Level>> read_levels(const std::filesystem::path &file);

// n levels give 4n - 3 points: three between each pair at the quarter positions, powers
// weighted linearly and voltages geometrically.
std::vector<Level> expand_levels(const std::vector<Level> &levels);

struct FitPoint {
    Level level;
    double power = 0.0;      // P(V) of the fit
    double difference = 0.0; // level power - P(V)
    bool fails = false;      // |difference| above the limit
};

struct FitCheck {
    std::vector<FitPoint> points;
    int fails = 0;
    double worst = 0.0; // the signed difference of largest magnitude
};

FitCheck check_fit(const std::vector<Level> &expanded, const EquationPrams &prams, double limit_db);

// The dialog's list: "", "%d Bad fit(s) , worst fit = %.4f", "", then one
// "%7.3f\t%8.6f\t%7.3f\t%7.4f" line per point, "  <<<<" after a failing one.
std::vector<std::string> fit_check_list(const FitCheck &check);

// "expanded_fit.txt": the same rows with two blanks between the columns.
std::string expanded_fit_text(const FitCheck &check);

} // namespace meterdesk
