#include "meterdesk/settings/frequency_entry.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/number_text.h"

#include <cmath>

namespace meterdesk {

namespace {

constexpr double kMHz = 1e6;
constexpr double kGHz = 1e9;

FrequencyRange up_to_ghz(double high_ghz) {
    return {10 * kMHz, high_ghz * kGHz, "10MHz to " + printf_fixed(high_ghz, 1) + "GHz"};
}

// Decimals beyond which a frequency text gets no longer: 1 mHz in MHz, 1 mHz in GHz.
constexpr int kMostMhzPlaces = 9;
constexpr int kMostGhzPlaces = 12;

bool reads_back(const std::string &text, double hz, bool in_mhz) {
    const double back = frequency_from_edit(read_number(text), in_mhz);
    return std::fabs(back - hz) <= 1e-12 * std::fabs(hz);
}

} // namespace

FrequencyRange panel_frequency_range(int model_index) {
    switch (model_index) {
    case kModelRx1:
        return {9e3, 8 * kGHz, "9KHz to 8GHz"};
    case kModelRx2:
        return up_to_ghz(12.4);
    case kModelRx3:
        return up_to_ghz(18.5);
    case kModelRx4:
        return up_to_ghz(26.5);
    case kModelRx5:
        return up_to_ghz(40.0);
    case kModelRx6:
        return {75 * kGHz, 110 * kGHz, "75GHz to 110GHz"};
    default:
        return up_to_ghz(40.0);
    }
}

FrequencyRange box_frequency_range(int model_index) {
    FrequencyRange range = panel_frequency_range(model_index);
    if (model_index == kModelRx6) {
        range.low_hz = 74.9 * kGHz;
        range.high_hz = 110.1 * kGHz;
    }
    return range;
}

std::string frequency_refusal(const FrequencyRange &range) {
    return "Valid frequency range: " + range.text;
}

double frequency_from_edit(double number, bool in_mhz) {
    return number * (in_mhz ? kMHz : kGHz);
}

std::string frequency_edit_text(double hz, bool in_mhz, int mhz_places_below_1mhz, int mhz_places,
                                int ghz_places) {
    const double number = hz / (in_mhz ? kMHz : kGHz);
    int places = in_mhz ? (hz < kMHz ? mhz_places_below_1mhz : mhz_places) : ghz_places;
    const int most = in_mhz ? kMostMhzPlaces : kMostGhzPlaces;
    std::string text = printf_fixed(number, places);
    while (!reads_back(text, hz, in_mhz) && places < most) text = printf_fixed(number, ++places);
    return text;
}

} // namespace meterdesk
