// The list lines of "Get PRAMS" in the temperature-compensation and linearity dialogs: the
// library's working set of the correction last applied, as the nine values it reports (upper
// and lower power node, upper and lower temperature or frequency node, the four table values,
// the correction). Numbers are written independently of the process locale.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace meterdesk {

using WorkingSet = std::array<double, 9>;

std::vector<std::string> temp_comp_prams_lines(const WorkingSet &working);

// "No correction being applied." / "Frequency < 12GHz." when the upper frequency node is 0.
std::vector<std::string> lin_cor_prams_lines(const WorkingSet &working);

} // namespace meterdesk
