// The two link backends behind link::Bus.
#pragma once

#include "link/link.h"

#include <memory>
#include <string>

namespace rfsense::link {

// Real FT232R-class bridges (vendor 0403) through libftdi1.
std::unique_ptr<Bus> make_ftdi_bus();

// The simulated bus of librfsim. `config` is a configuration file path, "default" for the
// built-in default sensor, or empty to use the bus as the process has configured it. A file
// that cannot be read or parsed leaves `error` set and the bus empty.
std::unique_ptr<Bus> make_sim_bus(const std::string &config, std::string &error);

} // namespace rfsense::link
