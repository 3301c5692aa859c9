// QtUi: the Ui port on Qt widgets.
//
// Every call may come from any thread. Calls that change the window (menus, toolbars, command
// states, timers, panels, the progress box) run on the GUI thread: at once when made there,
// otherwise queued to it in order. Message boxes and file dialogs block the calling thread
// until the user answers: a worker's call is queued to the GUI thread and the worker waits for
// the answer. shut_down() (after the event loop has ended) releases every waiting worker with
// "Cancel" / no file and makes later calls return at once, so stopping the threads can never
// deadlock on a dialog that will not be shown any more.
#pragma once

#include "meterdesk/core/ports.h"

#include <QPointer>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

class QWidget;

namespace meterdesk::ui {

class MainWindow;
class PanelRegistry;

// The modal progress box of a long job (the zero's "Zeroing sensor, please wait."). Shown when
// made; stepped and closed on the GUI thread. A box with a BREAK button calls the `on_break` it
// was made with.
class ProgressBox {
  public:
    virtual ~ProgressBox() = default;
    virtual void step() = 0;
    virtual void close() = 0;
    virtual QWidget *widget() = 0;
};

// A ProgressBox over a progress dialog of its own kind (one with step() and finish()), which
// the owner window may have deleted first.
template <class Dialog>
class DialogProgressBox final : public ProgressBox {
  public:
    explicit DialogProgressBox(Dialog *dialog) : dialog_(dialog) {}
    ~DialogProgressBox() override { delete dialog_.data(); }
    DialogProgressBox(const DialogProgressBox &) = delete;
    DialogProgressBox &operator=(const DialogProgressBox &) = delete;

    void step() override {
        if (dialog_) dialog_->step();
    }
    void close() override {
        if (dialog_) dialog_->finish();
    }
    QWidget *widget() override { return dialog_.data(); }

  private:
    QPointer<Dialog> dialog_;
};

using ProgressBoxFactory = std::function<std::unique_ptr<ProgressBox>(
    QWidget *owner, const QString &text, int range, std::function<void()> on_break)>;

// The standard progress box: a modal dialog without caption buttons holding the text and a bar
// of 0..range. It has no BREAK button.
std::unique_ptr<ProgressBox> make_standard_progress_box(QWidget *owner, const QString &text,
                                                        int range, std::function<void()> on_break);

// The same box as the dialog of a given resource name (its objectName) with its own progress
// bar id ("id<bar_id>"); the focus goes back to the owner when the job closes it.
std::unique_ptr<ProgressBox> make_named_progress_box(QWidget *owner, const QString &text, int range,
                                                     const QString &resource_name, int bar_id);

class QtUi final : public Ui {
  public:
    QtUi();
    ~QtUi() override;
    QtUi(const QtUi &) = delete;
    QtUi &operator=(const QtUi &) = delete;

    // Connects the port to the window and the panels. GUI thread, before any worker starts.
    void attach(MainWindow &window, PanelRegistry &panels);

    // The dialog that shows the progress box of the given resource name; a name without one
    // gets the standard box.
    void set_progress_box_factory(std::string resource_name, ProgressBoxFactory factory);

    // Releases waiting callers and turns every later call into nothing. Any thread.
    void shut_down();
    bool is_shut_down() const { return shut_down_flag_.load(); }

    // The progress box of that name on screen, or nullptr (GUI thread).
    QWidget *progress_widget(std::string_view resource_name) const;

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

  private:
    // Runs `job` on the GUI thread: now when called there, else queued (returns at once).
    void post(std::function<void(MainWindow &)> job);
    // Runs `job` on the GUI thread and waits for its result; nothing after shut_down().
    template <typename Result>
    std::optional<Result> call(std::function<Result(MainWindow &)> job);

    std::atomic<MainWindow *> window_{nullptr};
    PanelRegistry *panels_ = nullptr; // GUI thread only
    // GUI thread only: the boxes on screen and the dialogs registered, by resource name.
    std::map<std::string, std::unique_ptr<ProgressBox>, std::less<>> progress_boxes_;
    std::map<std::string, ProgressBoxFactory, std::less<>> progress_factories_;

    std::atomic<bool> shut_down_flag_{false};
    std::mutex mutex_;
    std::condition_variable answered_;
};

} // namespace meterdesk::ui
