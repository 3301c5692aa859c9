// A Ui port for benchmarks: nothing is shown and every message box is answered OK at once. A
// benchmark derives from it to watch the calls it measures.
#pragma once

#include "meterdesk/core/ports.h"

#include <functional>
#include <string>
#include <string_view>

class QuietUi : public meterdesk::Ui {
  public:
    meterdesk::MessageAnswer message(std::string_view, std::string_view, meterdesk::MessageButtons,
                                     meterdesk::MessageIcon) override {
        return meterdesk::MessageAnswer::kOk;
    }
    void repaint(meterdesk::RepaintRequest) override {}
    void install_menu(std::string_view) override {}
    void show_toolbar(int, bool) override {}
    void enable_command(int, bool) override {}
    void start_timer(int, int) override {}
    void stop_timer(int) override {}
    void close_panel(std::string_view) override {}
    void progress_open(std::string_view, std::string_view, int, std::function<void()>) override {}
    void progress_step(std::string_view) override {}
    void progress_close(std::string_view) override {}
    void show_trace_boxes(bool) override {}
    void set_trace_box_text(std::string_view, std::string_view) override {}
    std::string open_file_dialog(std::string_view, std::string_view) override { return {}; }
    std::string save_file_dialog(std::string_view, std::string_view) override { return {}; }
};
