// What the sensor's USB description and identity text say about it: the model index (decided
// exactly as the host library decides it), the model's frequency table and the firmware revision.
#pragma once

#include <string_view>
#include <vector>

namespace rfsim {

inline constexpr int generic_model = 6;    // any other description, and the unprogrammed bridge
inline constexpr int millimetre_model = 5; // "RX6", 75 to 110 GHz, no cal-factor table
inline constexpr int linearity_model = 3;  // the only model whose linearity table is applied

// Model index 0..6 from "USB Power Sensor " + name (brand A or brand B name as a prefix).
int model_from_description(std::string_view description);

// The model's frequency points in Hz (empty for model 5; model 6 has the 29-point table).
std::vector<double> frequency_table(int model);

// Points held by the stored cal-factor area and the legacy FRCF fields: 22, 16, 22, 30, 44,
// 0 for model 5 and 22 for model 6.
int cal_points(int model);

// Major × 10 + minor from the digits at characters 12 and 14 of the "ID?" text (0 when absent).
int firmware_revision(std::string_view identity);

} // namespace rfsim
