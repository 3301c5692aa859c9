// How a frequency/cal-factor table is listed: one line per point, the frequency, a tab and the
// factor in percent with one decimal ("50MHz\t99.8%"), and the frequency labels of the table
// editor's frequency list.
#pragma once

#include <string>
#include <vector>

namespace meterdesk {

// The points of a model's table: 22 for model index 0, 16, 22, 30 and 44 for 1 to 4, none for
// the 75-110 GHz model and unknown models.
int cf_table_points(int model_index);

// One list line: below 1 MHz "%dKHz" (kHz cut to an integer), below 1 GHz "%dMHz" (MHz cut),
// except "%.1fMHz" below 10 MHz on model index 0, else "%.1fGHz"; then "\t%.1f%%" of the
// factor x 100.
std::string cf_table_line(double hz, double factor, int model_index);

// The editor's frequency label: "%dKHz" below 1 MHz, below 1 GHz "%.1fMHz" on model index 0
// and "%dMHz" on the others, else "%.1fGHz".
std::string cf_table_frequency_label(double hz, int model_index);

// The lines of the first `count` points.
std::vector<std::string> cf_table_lines(const std::vector<double> &frequencies_hz,
                                        const std::vector<double> &factors, int count,
                                        int model_index);

} // namespace meterdesk
