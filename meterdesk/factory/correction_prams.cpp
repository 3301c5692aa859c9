#include "meterdesk/factory/correction_prams.h"

#include "meterdesk/settings/number_text.h"

namespace meterdesk {

namespace {

enum Node { kUpperPower = 0, kLowerPower, kUpperNode, kLowerNode, kZ1, kCorrection = 8 };

void add_table_values(std::vector<std::string> &lines, const WorkingSet &working) {
    for (int i = 0; i < 4; ++i)
        lines.push_back("Z" + std::to_string(i + 1) + " = " +
                        printf_fixed(working[static_cast<std::size_t>(kZ1 + i)], 6));
}

} // namespace

std::vector<std::string> temp_comp_prams_lines(const WorkingSet &working) {
    std::vector<std::string> lines;
    lines.push_back("Power = " + printf_fixed(working[kLowerPower], 0, 3) + " and " +
                    printf_fixed(working[kUpperPower], 0, 3));
    lines.push_back("Temperature = " + printf_fixed(working[kLowerNode], 0, 2) + " and " +
                    printf_fixed(working[kUpperNode], 0, 2));
    add_table_values(lines, working);
    lines.push_back("Correction = " + printf_fixed(working[kCorrection], 4));
    return lines;
}

std::vector<std::string> lin_cor_prams_lines(const WorkingSet &working) {
    if (working[kUpperNode] == 0.0) return {"No correction being applied.", "Frequency < 12GHz."};
    std::vector<std::string> lines;
    lines.push_back("Power between " + printf_fixed(working[kLowerPower], 0, 3) + "dBm and " +
                    printf_fixed(working[kUpperPower], 0, 3) + "dBm");
    lines.push_back("Frequency between " + printf_fixed(working[kLowerNode], 1) + "GHz and " +
                    printf_fixed(working[kUpperNode], 1) + "GHz");
    add_table_values(lines, working);
    lines.push_back("Correction = " + printf_fixed(working[kCorrection], 4) + "dBm");
    return lines;
}

} // namespace meterdesk
