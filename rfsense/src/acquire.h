// Acquisition: range selection, ADC reads, the reader and tick threads.
#pragma once

#include "record.h"

namespace rfsense::acquire {

// Filter codes 0..14 as conversion rates (Hz).
double conversion_rate(int filter_code);

// One ADC read: "ADC?" and its 32-bit reply; sets and returns ADC volts.
double adc_read(SensorRecord &record);

// Range selection for range r: gain and filter commands, optional clearing of the average,
// range index, average length, display update rate, one discarded ADC read.
void select_range(SensorRecord &record, int range, bool clear);

// Selects the high (true) or low reference with "REF0"/"REF1" and the matching volts per count.
void select_reference(SensorRecord &record, bool high);

// Reads the thermistors of channels 1 and 3 into temperature 1 and 3.
void read_temperatures(SensorRecord &record);

// Starts the reader and tick threads (SensorInit's last step).
void start_threads(SensorRecord &record);

// Waits for both threads to end after connected has dropped to 0 (they always do, promptly).
void join_threads(SensorRecord &record);

} // namespace rfsense::acquire
