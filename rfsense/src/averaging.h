// The averaging buffer of the reader thread. Every function here expects the caller to hold the
// record's `average` mutex.
#pragma once

#include "record.h"

namespace rfsense::averaging {

// Empties the average (position 0, not full).
void clear(SensorRecord &record);

// Stores one sample at the write position and returns the mean of the valid samples.
double add_sample(SensorRecord &record, double sample);

// Mean of the valid samples (0 when there are none).
double mean(const SensorRecord &record);

// Number of valid samples in the buffer.
int valid_count(const SensorRecord &record);

// Multiplies the valid samples by `factor` (a change of amplifier gain).
void scale(SensorRecord &record, double factor);

// Changes the average length while keeping the most recent valid samples (at most the new
// length), oldest first, so that no stale or never-written entry joins the mean.
void resize(SensorRecord &record, int new_length);

// Step history, a sliding window over the newest 20 entries: adds one entry (replacing the
// oldest once the window is full); true when the window holds 20 entries.
bool add_step_entry(SensorRecord &record, double value);
// Mean of the entries in the window (0 when it is empty).
double step_window_mean(SensorRecord &record);
// Empties the window.
void clear_step_history(SensorRecord &record);

} // namespace rfsense::averaging
