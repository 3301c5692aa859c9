// The power chain: from the averaged detector voltage to the reading of each power export.
#pragma once

#include "record.h"

namespace rfsense::chain {

// Waits for and consumes the next average of the reader thread. When the reader is (or becomes)
// parked no new average comes: true within a short slice, the last average standing. False when
// the sensor was lost.
bool wait_for_average(SensorRecord &record);

// Steps 2 to 5: |volts| to dBm, cal factor, linearity correction, offset (no relative reference).
double absolute_dbm(SensorRecord &record, double averaged_volts);

// The full chain in dBm (relative reference subtracted in relative mode).
double log_value(SensorRecord &record, double averaged_volts);

// The linear chain in mW, signed like the voltage; in relative mode the percentage of the
// relative reference.
double lin_value(SensorRecord &record, double averaged_volts);

// One reading of the dBm chain: waits for the next average (not in trigger mode) and returns
// 0 (lost while waiting; `dbm` untouched), 1, or 2 when over range.
int read_log(SensorRecord &record, double &dbm);

// One reading of the linear chain (mW or percent): waits unless trigger mode is on or the
// immediate flag was set (which it consumes). Results as read_log.
int read_lin(SensorRecord &record, double &value);

} // namespace rfsense::chain
