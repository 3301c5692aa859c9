// SetupUi: the port through which the page logic reaches the user and the window (message
// boxes, the folder picker, timer 1, the help box) and starts the installation. The Qt main
// window implements it; tests use a recording fake.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sensor_setup {

class SetupUi {
  public:
    virtual ~SetupUi() = default;

    // A modal warning box.
    virtual void message(std::string_view caption, std::string_view text) = 0;
    // The folder picker titled `title`; nullopt when it is dismissed.
    virtual std::optional<std::string> choose_folder(std::string_view title) = 0;
    virtual void start_timer(int timer_id, int period_ms) = 0;
    virtual void stop_timer(int timer_id) = 0;
    // The modal help box on topic 1 or 2.
    virtual void show_help(int topic) = 0;
    // Runs the installation on a worker thread; its report comes back to the progress page's
    // install_finished() on the page's thread.
    virtual void start_install() = 0;
};

} // namespace sensor_setup
