// Zeroing an open sensor step by step, so progress can be shown and a stop request honoured.
#pragma once

#include "exit_status.h"

#include <rfsense/rfsense.h>

namespace rfsense::cli {

// Runs the whole zero. Reports failures itself; ok when the sensor accepted the zero.
ExitStatus zero_sensor(SensorRecord *record);

} // namespace rfsense::cli
