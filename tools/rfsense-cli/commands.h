// The subcommands. Each runs to completion and returns the process's exit status; failures are
// reported on standard error by the command itself.
#pragma once

#include "cli_options.h"
#include "exit_status.h"

namespace rfsense::cli {

ExitStatus run_list(const CommandLine &line);
ExitStatus run_info(const CommandLine &line);
ExitStatus run_read(const CommandLine &line);
ExitStatus run_zero(const CommandLine &line);
ExitStatus run_firmware(const CommandLine &line);
ExitStatus run_serve(const CommandLine &line);

} // namespace rfsense::cli
