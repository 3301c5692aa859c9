// Runs the built rfsense binary as a child process, as a script would, and collects what it wrote
// and how it ended.
#pragma once

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

namespace cli_test {

struct RunResult {
    int exit_code = -1; // the exit status, or 128 + signal when killed by a signal
    bool timed_out = false;
    std::string out;
    std::string err;

    std::vector<std::string> out_lines() const;
};

struct RunOptions {
    // Environment entries "NAME=value" added to a clean environment (PATH, HOME and TZ kept).
    std::vector<std::string> environment;
    // When set, this signal is sent after `signal_after` has passed.
    int signal = 0;
    std::chrono::milliseconds signal_after{0};
    std::chrono::milliseconds time_limit{std::chrono::seconds(30)};
};

RunResult run_cli(const std::vector<std::string> &arguments, const RunOptions &options = {});

// A simulator configuration written to a temporary file, removed again on destruction.
class SimConfig {
  public:
    explicit SimConfig(const std::string &text);
    ~SimConfig();
    SimConfig(const SimConfig &) = delete;
    SimConfig &operator=(const SimConfig &) = delete;

    const std::string &path() const { return path_; }
    std::string simulate_option() const { return "--simulate=" + path_; }

  private:
    std::string path_;
};

} // namespace cli_test
