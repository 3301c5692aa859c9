// Ends the program in order when it is asked to stop from outside: Ctrl+C in the terminal it was
// started from, or a SIGTERM. The signal only wakes the event loop, which then quits, so the
// threads stop and the sensor session is closed as when the window is closed. POSIX systems
// only; elsewhere nothing is installed.
#pragma once

#include <functional>

class QObject;

namespace meterdesk::ui {

// Calls `quit` on the GUI thread when SIGINT or SIGTERM arrives. Install once, after the
// QApplication exists; `context` owns the watcher.
void quit_on_stop_signals(QObject &context, std::function<void()> quit);

} // namespace meterdesk::ui
