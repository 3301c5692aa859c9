// The checks of the trace entries, shared by the trace control panel (Start, Redraw) and the
// trace settings dialog (Apply). Each step stores its values as soon as they are valid; the
// first refused entry shows its message (exclamation icon), takes the focus, and ends the
// checks, so fields checked before it keep their new values. Values that are not finite
// numbers ("nan", "inf") are refused with the field's message.
#pragma once

namespace meterdesk {

struct AppState;
class Controls;
class Ui;

namespace trace_ids {
inline constexpr int kStart = 1111;
inline constexpr int kClose = 1112;
inline constexpr int kSamples = 1109;
inline constexpr int kPeriod = 1110;
inline constexpr int kSeconds = 1525;
inline constexpr int kMinutes = 1526;
inline constexpr int kSensor = 1116;
inline constexpr int kTemperatureLabel = 1630;
inline constexpr int kTempMin = 1126;
inline constexpr int kTempMax = 1127;
inline constexpr int kTempAutoScale = 1128;
inline constexpr int kAuto = 1162;
inline constexpr int kPlotMin = 1163;
inline constexpr int kPlotMax = 1164;
inline constexpr int kRedraw = 1250;
inline constexpr int kSaveTrace = 1530;
inline constexpr int kSaveData = 1531;
inline constexpr int kRecallTrace = 1402;
inline constexpr int kVolts = 1120;
inline constexpr int kLinear = 1121;
inline constexpr int kLog = 1122;
// The settings dialog.
inline constexpr int kApply = 1667;
inline constexpr int kSettingsClose = 1666;
} // namespace trace_ids

// Samples (10..500) and period (0.2..100 s, or 1..15 min stored x 60).
bool check_samples_and_period(AppState &state, Ui &ui, Controls &controls);

// The level scale when manual, then the temperature scale when recorded and manual.
bool check_scaling(AppState &state, Ui &ui, Controls &controls);

// The texts of the scale edits: "%.3f" for dBm, "%.7f" for volts and mW; "%.1f" temperatures.
void show_level_scale(const AppState &state, Controls &controls);
void show_temperature_scale(const AppState &state, Controls &controls);

// A scale's "Auto" check box and its two edits as the state has them: the edits are enabled and
// hold the manual scale only while Auto is off.
void show_level_autoscale(const AppState &state, Controls &controls);
void show_temperature_autoscale(const AppState &state, Controls &controls);

// "Temperature ('C)" or "Temperature ('F)".
const char *temperature_label(bool celsius);

} // namespace meterdesk
