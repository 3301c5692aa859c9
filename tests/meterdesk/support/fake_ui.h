// Recording fakes of the Ui and Sound ports for headless tests.
//
// FakeUi records every call in order (thread-safe: the measurement and worker threads call it
// while the test thread inspects it), answers message boxes from a script (OK when the script
// is empty), and returns scripted paths from the file dialogs (empty = cancel). Tests wait for
// calls with wait_until(), which wakes on every new call.
#pragma once

#include "meterdesk/core/ports.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace meterdesk_test {

using meterdesk::MessageAnswer;
using meterdesk::MessageButtons;
using meterdesk::MessageIcon;
using meterdesk::RepaintRequest;

struct UiCall {
    enum class Kind {
        message,
        repaint,
        install_menu,
        show_toolbar,
        enable_command,
        start_timer,
        stop_timer,
        close_panel,
        progress_open,
        progress_step,
        progress_close,
        open_file_dialog,
        save_file_dialog,
        show_trace_boxes,
        log_status,
        trace_box_text,
    };
    Kind kind;
    std::string caption; // message caption, menu / panel / progress box name, dialog folder,
                         // trace box name
    std::string text;    // message text, progress text, dialog filter, trace box text
    int number = 0;      // repaint code, view mode, command id, timer id, progress range
    int value = 0;       // toolbar / trace boxes shown, command enabled, timer period
    MessageButtons buttons = MessageButtons::kOk;
    MessageIcon icon = MessageIcon::kNone;
};

class FakeUi : public meterdesk::Ui {
  public:
    using Calls = std::vector<UiCall>;
    using Kind = UiCall::Kind;

    // --- the port ---
    MessageAnswer message(std::string_view caption, std::string_view text, MessageButtons buttons,
                          MessageIcon icon) override;
    void repaint(RepaintRequest code) override;
    void install_menu(std::string_view resource_name) override;
    void show_toolbar(int view_mode, bool shown) override;
    void enable_command(int command_id, bool enabled) override;
    void start_timer(int timer_id, int period_ms) override;
    void stop_timer(int timer_id) override;
    void close_panel(std::string_view resource_name) override;
    void progress_open(std::string_view resource_name, std::string_view text, int range,
                       std::function<void()> on_break = {}) override;
    void progress_step(std::string_view resource_name) override;
    void progress_close(std::string_view resource_name) override;
    void show_trace_boxes(bool shown) override;
    void set_trace_box_text(std::string_view resource_name, std::string_view text) override;
    void log_status(std::string_view status) override;
    std::string open_file_dialog(std::string_view initial_folder, std::string_view filter) override;
    std::string save_file_dialog(std::string_view initial_folder, std::string_view filter) override;

    // --- scripting ---
    // Presses the BREAK button of the open progress box of that name (on the calling thread);
    // false when no such box with a BREAK action is open.
    bool press_break(std::string_view resource_name);
    void script_answer(MessageAnswer answer);
    void script_file(std::string path);
    // Called (on the calling thread, without the lock) for every message box before it is
    // answered; its answer, if any, replaces the script.
    void on_message(std::function<std::optional<MessageAnswer>(const UiCall &)> handler);
    // Called on the requesting thread for every repaint request, before it is recorded: sees
    // AppState exactly as a display drawing that request at once would.
    void on_repaint(std::function<void(RepaintRequest)> handler);

    // --- inspection ---
    Calls calls() const;
    std::size_t size() const;
    Calls calls_since(std::size_t mark) const;
    Calls of_kind(Kind kind, std::size_t since = 0) const;
    int count(Kind kind, std::size_t since = 0) const;
    int repaints(RepaintRequest code, std::size_t since = 0) const;
    std::vector<std::string> message_texts(std::size_t since = 0) const;
    // The last enable state given to a command; nothing when it was never set.
    std::optional<bool> command_enabled(int command_id) const;

    // Waits until `condition` holds for the recorded calls; false after `limit`.
    bool wait_until(const std::function<bool(const Calls &)> &condition,
                    std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) const;
    // Waits until at least `n` calls of `kind` (with `number` when given) exist since `since`.
    bool wait_for(Kind kind, int n, std::optional<int> number = std::nullopt, std::size_t since = 0,
                  std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) const;

  private:
    void record(UiCall call);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Calls calls_;
    std::deque<MessageAnswer> answers_;
    std::deque<std::string> files_;
    std::map<int, bool> enabled_;
    std::function<std::optional<MessageAnswer>(const UiCall &)> message_handler_;
    std::function<void(RepaintRequest)> repaint_handler_;
    std::map<std::string, std::function<void()>> break_actions_;
};

// Records beeps and WAV files; plays nothing and does not block.
class FakeSound : public meterdesk::Sound {
  public:
    struct Beep {
        int hz;
        int ms;
    };
    void beep(int hz, int ms) override;
    void play_wav(std::string_view path) override;
    std::vector<Beep> beeps() const;
    std::vector<std::string> wavs() const;

  private:
    mutable std::mutex mutex_;
    std::vector<Beep> beeps_;
    std::vector<std::string> wavs_;
};

} // namespace meterdesk_test
