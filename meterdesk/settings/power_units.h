// UnitTable: the linear power units in which the offset multiplier, the linear limits and the
// linear meter scale are typed and shown, and the texts built on them.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace meterdesk {

struct PowerUnit {
    const char *name;
    double mw; // size of the unit in mW
};

inline constexpr std::array<PowerUnit, 5> kUnitTable = {{
    {"uW", 0.001},
    {"mW", 1.0},
    {"W", 1000.0},
    {"KW", 1'000'000.0},
    {"MW", 1'000'000'000.0},
}};

// The unit a value in mW is best shown in: 4 above 999999995, 3 above 999995, 2 above 995, 1
// above 0.995, else 0.
int automatic_unit_index(double mw);

// The size in mW of a unit index; an index outside the table counts as mW.
double unit_size_mw(int index);

// How many units the "Linear Units" lists offer for an offset multiplier: 2 below 10, 3 below
// 10 000, 4 below 10 000 000, else 5.
int unit_list_length(double offset_multiplier);

// The first `count` unit names.
std::vector<std::string> unit_names(int count);

// The automatic range text of a value in mW: "%.2fMW", "%.2fKW", "%.2fW" or "%.2fmW".
std::string automatic_range_text(double mw);

// A value in mW in three forms: "%.1fe6" of v/1e6 above 999995, "%.1fe3" of v/1000 above 995,
// else "%.2f" (the linear limits and meter scale in relative mode, where they are percentages).
std::string relative_scale_text(double value);

// 10 log10 of a value in mW; -80.0 for 0 or less (the dB partner of a linear limit or scale).
double db_of_mw(double mw);

} // namespace meterdesk
