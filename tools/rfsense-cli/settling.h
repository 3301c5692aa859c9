// The wait before the first reading: auto-ranging starts in range 2 after start-up (and after a
// zero), so the first averages still hold conversions from a range the sensor is leaving, or too
// few conversions. Readings and the relative reference are taken only after this wait.
#pragma once

#include <rfsense/rfsense.h>

namespace rfsense::cli {

enum class Settling {
    settled, // the average holds a full length of conversions, all in the range now in use
    stopped, // a stop signal came first
    lost,    // the sensor stopped answering
};

// Waits until the range has stayed the same for a whole average length: about 1 s in range 0,
// 3 s in range 1 and 18 s in range 2 with the default range settings.
Settling wait_for_settled_average(SensorRecord *record);

} // namespace rfsense::cli
