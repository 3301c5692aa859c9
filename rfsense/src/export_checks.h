// Checks shared by the exports.
#pragma once

#include "record.h"

#include <cmath>

namespace rfsense {

// Every export that needs a sensor answers 0 and does nothing without one.
inline bool is_connected(const SensorRecord *record) {
    return record != nullptr && record->connected.load() != 0;
}

// True for a finite value within [low, high] (NaN and infinities are refused).
inline bool within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

} // namespace rfsense
