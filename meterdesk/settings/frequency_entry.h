// Measurement frequency entry shared by the control panel and the frequency box: the range
// each model accepts, the refusal text, and the text a frequency edit shows.
#pragma once

#include <string>

namespace meterdesk {

struct FrequencyRange {
    double low_hz = 0.0;
    double high_hz = 0.0;
    std::string text; // behind "Valid frequency range: "

    bool accepts(double hz) const { return hz >= low_hz && hz <= high_hz; } // false for NaN
};

// The control panel's range for a model index: 9 kHz to 8 GHz for model 0; 10 MHz to 12.4,
// 18.5, 26.5 or 40 GHz for models 1 to 4; 75 to 110 GHz for model 5. Any other model takes what
// the library takes for it, 10 MHz to 40 GHz.
FrequencyRange panel_frequency_range(int model_index);

// The frequency box's range: the panel's, except 74.9 to 110.1 GHz for model 5 (the library's
// own range for that model).
FrequencyRange box_frequency_range(int model_index);

// "Valid frequency range: " followed by the range's text.
std::string frequency_refusal(const FrequencyRange &range);

// The typed number in MHz or GHz as Hz.
double frequency_from_edit(double number, bool in_mhz);

// The edit text of a frequency: the number in MHz (with `mhz_places` decimals, or
// `mhz_places_below_1mhz` below 1 MHz) or in GHz (with `ghz_places`). When that text would not
// read back as the same frequency (9 kHz is "0.01" MHz with two decimals), more decimals are
// used, so that an Apply of the unchanged text never moves the frequency.
std::string frequency_edit_text(double hz, bool in_mhz, int mhz_places_below_1mhz, int mhz_places,
                                int ghz_places);

} // namespace meterdesk
