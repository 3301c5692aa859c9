#include "meterdesk/ui/stop_signals.h"

#include <QObject>

#if defined(__unix__) || defined(__APPLE__)

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace meterdesk::ui {
namespace {

int wake_pipe[2] = {-1, -1};

// Async-signal-safe: one byte into the pipe that the event loop watches.
extern "C" void on_stop_signal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wake_pipe[1], &byte, 1);
}

} // namespace

void quit_on_stop_signals(QObject &context, std::function<void()> quit) {
    if (wake_pipe[0] >= 0 || ::pipe(wake_pipe) != 0) return;
    for (int fd : wake_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    auto *notifier = new QSocketNotifier(wake_pipe[0], QSocketNotifier::Read, &context);
    QObject::connect(notifier, &QSocketNotifier::activated, &context, [quit = std::move(quit)] {
        char bytes[16];
        while (::read(wake_pipe[0], bytes, sizeof bytes) > 0) {
        }
        quit();
    });
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace meterdesk::ui

#else

namespace meterdesk::ui {

void quit_on_stop_signals(QObject &, std::function<void()>) {}

} // namespace meterdesk::ui

#endif
