// Acquisition: range selection, ADC reads, the reader and tick threads.
#pragma once

#include "record.h"

namespace rfsense::acquire {

// Filter codes 0..14 as conversion rates (Hz); 0 for other codes.
double conversion_rate(int filter_code);

// One ADC read: "ADC?" and its 32-bit reply; sets and returns ADC volts.
double adc_read(SensorRecord &record);

// Range selection for range r: gain and filter commands, optional clearing of the average,
// range index, average length, display update rate, one discarded ADC read. Without clearing
// the most recent samples are kept (within the new length).
void select_range(SensorRecord &record, int range, bool clear);
// The same for a caller that already holds the record's `average` mutex.
void select_range_locked(SensorRecord &record, int range, bool clear);

// Sends the gain and filter commands of `range` (the first step of range selection).
void send_gain_and_filter(SensorRecord &record, int range);

// Selects the high (true) or low reference with "REF0"/"REF1" and the matching volts per count.
void select_reference(SensorRecord &record, bool high);

// One auto-ranging step on the averaged volts `v` (doubled in range 0); the caller holds
// `average`. Returns true when the range changed.
bool auto_range_locked(SensorRecord &record, double v);

// Thermistor temperature ('C) from its divider voltage; `previous` when the voltage cannot come
// from a working thermistor (a silent sensor answers 0).
double thermistor_celsius(const SensorRecord::Thermistor &thermistor, double reference,
                          double volts, double previous);

// Reads the thermistors of channels 1 and 3 into temperature 1 and 3.
void read_temperatures(SensorRecord &record);

// Asks the reader thread for a thermistor read and waits until one that began after the
// request is done; reads the thermistors directly when the reader is (or becomes) parked.
// False when the sensor was lost.
bool fresh_temperature_read(SensorRecord &record);

// Pauses the reader for a multi-command operation unless it is parked already (trigger mode, a
// caller's own pause, a zero step by step): a second pause request would stay pending and park
// the reader again right after the next resume. True when this call paused it, so the caller
// resumes it.
bool pause_reader_if_running(SensorRecord &record);

// Starts the reader and tick threads (SensorInit's last step).
void start_threads(SensorRecord &record);

// Waits for both threads to end after connected has dropped to 0 (they always do, promptly).
void join_threads(SensorRecord &record);

// Wakes every wait on the record's events so that it sees a lost sensor.
void wake_waiters(SensorRecord &record);

// One cycle of the reader thread: zero handshake, one conversion into the average, ranging,
// over-range, measurement event, step check, thermistors on request, pause. False when the
// sensor was lost.
bool reader_cycle(SensorRecord &record);

// The thread bodies (reader_thread.cpp, tick_thread.cpp).
void reader_loop(SensorRecord &record);
void tick_loop(SensorRecord &record);

} // namespace rfsense::acquire
