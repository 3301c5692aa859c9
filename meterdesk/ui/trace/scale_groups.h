// The two scaling groups that the trace control panel and "Trace Settings" both show: level
// scaling (Auto, Min, Max) and the temperature curve (label, Sensor, Auto scale, Min, Max).
#pragma once

class QGroupBox;

namespace meterdesk::ui {

QGroupBox *level_scaling_group();
QGroupBox *temperature_scaling_group();

} // namespace meterdesk::ui
