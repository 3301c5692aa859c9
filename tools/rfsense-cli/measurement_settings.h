// Applies the measurement settings of `read` to an open sensor, in the order the sensor needs
// them (a frequency recomputes the cal factor, so an explicit cal factor comes after it).
#pragma once

#include "cli_options.h"
#include "exit_status.h"
#include "session.h"

namespace rfsense::cli {

// Reports a refused value with the limit it broke.
ExitStatus apply_settings(Session &session, const ReadOptions &options);

} // namespace rfsense::cli
