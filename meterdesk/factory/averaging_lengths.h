// The moving-filter (FILO) lengths of the three ranges, as "Moving Filter Size (FILO)" and
// "Filter Settings" enter them: all three are checked before any is sent, so a refused value
// leaves the sensor and the zero as they were.
#pragma once

#include "meterdesk/base/controls.h"

#include <array>

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr int kMaxAveragingLength = 1000;

// Shows each range's length ("%d") in its edit.
void show_averaging_lengths(const AppState &state, Controls &controls,
                            const std::array<int, 3> &edits);

// Reads the three edits (ranges 0, 1, 2). A value that is not a whole number in 1..1000 shows
// "Valid FILO range = 1 to 1000" and changes nothing (kStay). Otherwise each length is sent with
// SensorFilterSettingsUpdate(6 + range), stored, the zero is marked needed again, and kClose.
DialogAction enter_averaging_lengths(AppState &state, Ui &ui, Controls &controls,
                                     const std::array<int, 3> &edits);

} // namespace meterdesk
