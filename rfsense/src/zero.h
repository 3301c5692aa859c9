// Zeroing: the zero offset of each range, measured with no RF power applied.
#pragma once

#include "record.h"

#include <rfsense/rfsense.h>

namespace rfsense::zero {

inline constexpr int samples_per_range = 50;

// Selects the gain and filter of `range` and sends "CAL" (the start of a range's zero).
void begin_range(SensorRecord &record, int range);

// After the last range: the held range (or range 2) is selected again, with its reference,
// gain and filter, and a cleared average. The caller holds `average`.
void restore_range_locked(SensorRecord &record);

// The end of every zero, once the verdict against the model's zero limit is known: temperature
// at zero and the zeroed flag for an accepted zero. 1 accepted, 13 zero too large (the offsets
// in use before were put back), 0 when the sensor was lost.
int32_t conclude(SensorRecord &record, bool accepted);

// The whole zero with the reader paused (SensorZero).
int32_t full_zero(SensorRecord &record);

// One step of the same zero (SensorZeroTick): 17 while in progress, then 1 or 13.
int32_t zero_tick(SensorRecord &record, ZeroTickState &state);

} // namespace rfsense::zero
