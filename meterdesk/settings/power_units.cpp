#include "meterdesk/settings/power_units.h"

#include "meterdesk/settings/number_text.h"

#include <cmath>

namespace meterdesk {

int automatic_unit_index(double mw) {
    if (mw > 999999995.0) return 4;
    if (mw > 999995.0) return 3;
    if (mw > 995.0) return 2;
    if (mw > 0.995) return 1;
    return 0;
}

double unit_size_mw(int index) {
    if (index < 0 || index >= static_cast<int>(kUnitTable.size())) return 1.0;
    return kUnitTable[static_cast<std::size_t>(index)].mw;
}

int unit_list_length(double offset_multiplier) {
    if (offset_multiplier < 10.0) return 2;
    if (offset_multiplier < 10'000.0) return 3;
    if (offset_multiplier < 10'000'000.0) return 4;
    return 5;
}

std::vector<std::string> unit_names(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count && i < static_cast<int>(kUnitTable.size()); ++i)
        names.emplace_back(kUnitTable[static_cast<std::size_t>(i)].name);
    return names;
}

std::string automatic_range_text(double mw) {
    if (mw > 999999995.0) return printf_fixed(mw / 1e9, 2) + "MW";
    if (mw > 999995.0) return printf_fixed(mw / 1e6, 2) + "KW";
    if (mw > 995.0) return printf_fixed(mw / 1000.0, 2) + "W";
    return printf_fixed(mw, 2) + "mW";
}

std::string relative_scale_text(double value) {
    if (value > 999995.0) return printf_fixed(value / 1'000'000.0, 1) + "e6";
    if (value > 995.0) return printf_fixed(value / 1000.0, 1) + "e3";
    return printf_fixed(value, 2);
}

double db_of_mw(double mw) {
    return mw > 0.0 ? 10.0 * std::log10(mw) : -80.0;
}

} // namespace meterdesk
