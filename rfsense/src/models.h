// The sensor models: names in both brands, accepted frequencies, cal-factor tables, zero limits.
#pragma once

#include <array>

namespace rfsense::models {

inline constexpr int generic_model = 6; // any other device; also the unprogrammed bridge

struct Model {
    const char *name_a;      // brand A name prefix, as it follows "USB Power Sensor "
    const char *name_b;      // brand B name prefix, or nullptr
    const char *details_a;   // SensorDetails text, brand A
    const char *details_b;   // SensorDetails text, brand B
    double min_hz;           // frequencies accepted by SensorFrequency
    double max_hz;
    int cal_points;          // points of the stored cal-factor table (0: none)
    int reported_points;     // count reported by SensorFreqCfTableQuery
    double zero_limit;       // volts: largest accepted range-2 zero offset
};

const Model &model(int index);

// Model index 0..6 from the bridge's USB description ("USB Power Sensor " + name).
int model_from_description(const char *description);

// Brand A when the serial begins with 'R' or 'X'.
bool is_brand_a(const char *serial);

// The model's frequency table (Hz). Returns the point count (0 for model 5).
int frequency_table(int index, std::array<double, 46> &out);

// Detector equation parameters used when the sensor's own cannot be read.
extern const std::array<double, 13> default_equation;

} // namespace rfsense::models
