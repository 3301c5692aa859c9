// ConnectDefaults: the reset that runs on the measurement thread every time a sensor has been
// identified (first connect, reconnect, Preset), before the first reading. It returns the
// measurement, trace, statistics and test settings to their defaults and reads the sensor's
// tables into AppState.
#pragma once

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

// Zero-drift supervision period of timer 3.
inline constexpr int kZeroDriftPeriodMs = 15'000;

// Expects model_index, brand_marrick and sensor_serial to be set already.
void ConnectDefaults(AppState &state, Ui &ui, SensorRecord *sensor);

} // namespace meterdesk
