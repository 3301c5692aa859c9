// The configuration text of the bus: `key = value` lines, `#` comments, blank lines and one
// `[device]` section per attached device in bus order; keys before the first section are
// defaults for every device. With no section the bus holds one device built from the defaults.
#pragma once

#include "settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rfsim {

inline constexpr size_t max_devices = 16;
inline constexpr size_t max_config_size = 1 << 20;

// The devices in bus order, or nullopt with `error` naming the line ("line 4: unknown key
// 'powr_dbm'").
std::optional<std::vector<DeviceSettings>> parse_config(std::string_view text, std::string &error);

} // namespace rfsim
