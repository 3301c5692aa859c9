#include "platform.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace rfsense::cli::platform {

namespace {

std::atomic<int> requested_stop{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void on_stop_signal(int signal_number) {
    requested_stop.store(signal_number);
}

} // namespace

bool stderr_is_terminal() {
    return isatty(STDERR_FILENO) == 1;
}

void set_environment(const char *name, const std::string &value) {
    setenv(name, value.c_str(), 1);
}

void install_stop_handlers() {
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: a second signal ends the process. SA_RESTART: the library's waits and the
    // link's reads carry on; the command notices the request after the current reading.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int stop_signal() {
    return requested_stop.load();
}

std::tm local_time(std::time_t when) {
    std::tm result{};
    localtime_r(&when, &result);
    return result;
}

std::string utc_offset(const std::tm &local) {
    char text[8] = {};
    if (std::strftime(text, sizeof text, "%z", &local) != 5) return "Z";
    // "+0100" becomes "+01:00", the extended form that goes with "hh:mm:ss".
    return std::string(text, 3) + ":" + std::string(text + 3, 2);
}

} // namespace rfsense::cli::platform
