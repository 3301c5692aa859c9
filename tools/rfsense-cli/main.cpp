// rfsense: the command-line power meter. Parses the command line, prepares the environment the
// sensor library reads at its first use, and runs one command.
#include "cli_options.h"
#include "commands.h"
#include "diagnostics.h"
#include "exit_status.h"
#include "help_text.h"
#include "platform.h"
#include "session.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace rfsense::cli;

namespace {

ExitStatus dispatch(const CommandLine &line) {
    switch (line.command) {
    case Command::list:
        return run_list(line);
    case Command::info:
        return run_info(line);
    case Command::read:
        return run_read(line);
    case Command::zero:
        return run_zero(line);
    case Command::firmware:
        return run_firmware(line);
    case Command::serve:
        return run_serve(line);
    case Command::none:
        break;
    }
    return ExitStatus::usage;
}

} // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParseResult parsed = parse_command_line(arguments);
    if (!parsed.error.empty()) {
        report_error(parsed.error);
        print_usage_hint(stderr);
        return exit_code(ExitStatus::usage);
    }
    const CommandLine &line = parsed.line;
    if (line.global.help) {
        print_help(stdout);
        return std::fflush(stdout) == 0 ? 0 : exit_code(ExitStatus::output_failed);
    }
    if (line.global.version) {
        print_version(stdout);
        return std::fflush(stdout) == 0 ? 0 : exit_code(ExitStatus::output_failed);
    }

    // The link layer chooses its bus from these at first use, which has not happened yet.
    if (line.global.simulate) {
        platform::set_environment("RFSENSE_SIM", *line.global.simulate);
        platform::set_environment("RFSENSE_LINK", "sim");
    }
    if (const ExitStatus status = check_link_choice(); status != ExitStatus::ok)
        return exit_code(status);
    platform::install_stop_handlers();
    return exit_code(dispatch(line));
}
