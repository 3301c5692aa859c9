#include "cli/support/cli_runner.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace cli_test {

namespace {

std::string temporary_path(const char *stem) {
    std::string pattern = std::string("/tmp/") + stem + "-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd >= 0) close(fd);
    return pattern;
}

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void keep_variable(std::vector<std::string> &environment, const char *name) {
    if (const char *value = std::getenv(name))
        environment.push_back(std::string(name) + "=" + value);
}

} // namespace

std::vector<std::string> RunResult::out_lines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

RunResult run_cli(const std::vector<std::string> &arguments, const RunOptions &options) {
    const std::string out_path = temporary_path("rfsense-cli-out");
    const std::string err_path = temporary_path("rfsense-cli-err");

    std::vector<std::string> argument_texts{RFSENSE_CLI_PATH};
    argument_texts.insert(argument_texts.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (auto &text : argument_texts) argv.push_back(text.data());
    argv.push_back(nullptr);

    std::vector<std::string> environment_texts;
    keep_variable(environment_texts, "PATH");
    keep_variable(environment_texts, "HOME");
    keep_variable(environment_texts, "TZ");
    environment_texts.insert(environment_texts.end(), options.environment.begin(),
                             options.environment.end());
    std::vector<char *> envp;
    for (auto &text : environment_texts) envp.push_back(text.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(), O_WRONLY | O_TRUNC,
                                     0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(), O_WRONLY | O_TRUNC,
                                     0);
    pid_t pid = 0;
    RunResult result;
    const int spawned =
        posix_spawn(&pid, RFSENSE_CLI_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.err = "cannot start " + std::string(RFSENSE_CLI_PATH);
        return result;
    }

    const auto start = std::chrono::steady_clock::now();
    bool signalled = options.signal == 0;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (!signalled && elapsed >= options.signal_after) {
            kill(pid, options.signal);
            signalled = true;
        }
        if (elapsed >= options.time_limit) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timed_out = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status))
        result.exit_code = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.exit_code = 128 + WTERMSIG(status);

    result.out = slurp(out_path);
    result.err = slurp(err_path);
    std::remove(out_path.c_str());
    std::remove(err_path.c_str());
    return result;
}

SimConfig::SimConfig(const std::string &text) : path_(temporary_path("rfsense-cli-sim")) {
    std::ofstream(path_) << text;
}

SimConfig::~SimConfig() {
    std::remove(path_.c_str());
}

} // namespace cli_test
