// How the process picks its link backend from the environment; split out of active_bus() so the
// rules can be checked without fixing the process's one choice.
#pragma once

#include "link/link.h"

#include <memory>
#include <string>

namespace rfsense::link {

struct BusChoice {
    std::unique_ptr<Bus> bus;
    const char *backend = "ftdi"; // "ftdi" or "sim"
    std::string error;            // empty when the choice went as asked
};

// `sim` and `link` are the values of RFSENSE_SIM and RFSENSE_LINK (null when unset).
BusChoice choose_bus(const char *sim, const char *link);

} // namespace rfsense::link
