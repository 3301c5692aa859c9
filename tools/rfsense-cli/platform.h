// The few operating-system services the command needs, kept together so a port touches one file.
#pragma once

#include <ctime>
#include <string>

namespace rfsense::cli::platform {

bool stderr_is_terminal();

// Sets an environment variable for this process (and the sensor library loaded in it).
void set_environment(const char *name, const std::string &value);

// SIGINT and SIGTERM ask the command to stop at the next reading; a second one ends the process
// at once. A closed output pipe becomes a write error instead of killing the process, so the
// sensor session is still closed.
void install_stop_handlers();

// The signal that asked to stop, or 0.
int stop_signal();

// Broken-down local time of `when`, and its offset from UTC as "+hh:mm".
std::tm local_time(std::time_t when);
std::string utc_offset(const std::tm &local);

} // namespace rfsense::cli::platform
