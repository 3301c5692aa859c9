// Ending a sensor session: shared by SensorClose and by a SensorInit that finds a session left
// over on its record.
#pragma once

#include "record.h"

namespace rfsense::session {

// Marks the record not connected, wakes every waiter, waits for the library's threads to end
// and closes the device. The record itself stays allocated and may be initialised again.
void end(SensorRecord &record);

} // namespace rfsense::session
