// Which bridges belong to a sensor: the library's search takes them, and the factory tools
// program only them. A sensor's bridge describes itself as a sensor ("USB Power Sensor ...") or
// is a bridge not yet programmed ("USB <-> Serial ...").
#pragma once

#include <string_view>

namespace rfsense::link {

inline constexpr std::string_view kSensorDescription = "USB Power Sensor";
inline constexpr std::string_view kUnprogrammedDescription = "USB <-> Serial";

inline bool is_sensor_bridge(std::string_view description) {
    return description.starts_with(kSensorDescription) ||
           description.starts_with(kUnprogrammedDescription);
}

// An unprogrammed bridge: the library takes it for a sensor of unknown model.
inline bool is_unprogrammed_bridge(std::string_view description) {
    return description.starts_with(kUnprogrammedDescription);
}

} // namespace rfsense::link
