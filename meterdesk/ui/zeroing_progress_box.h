// ZeroingProgressBox: the modal box with a progress bar (1046) shown while a worker thread
// does a long job for the sensor - the zero, "Zeroing sensor, please wait.", 0..150.
//
// QtUi shows it through make_zeroing_progress_box (a ProgressBoxFactory): progress_open makes
// and starts one, progress_step steps it, progress_close closes it, all on the GUI thread.
// Without QtUi, the post_ calls may come from any thread: they queue the change to the GUI
// thread, in order, so the box always opens before the worker's first step reaches it. The
// user cannot dismiss the box; the job closes it, and the focus goes back to the owner window.
#pragma once

#include "meterdesk/ui/qt_ui.h"

#include <QDialog>

#include <memory>
#include <string_view>

class QLabel;
class QProgressBar;

namespace meterdesk::ui {

class ZeroingProgressBox : public QDialog {
  public:
    static constexpr int kProgressBarId = 1046;
    static constexpr int kExtraTextId = 1332; // an empty text line below the bar

    explicit ZeroingProgressBox(QWidget *owner = nullptr);

    // GUI thread: shows the box modally with `text` and a bar of 0..range at 0, step 1.
    // Returns at once.
    void start(std::string_view text, int range);
    void step();   // one step, stopping at the end of the range
    void finish(); // closes the box and gives the focus back to the owner

    // Any thread: the same, queued to the GUI thread. The box must outlive the callers (the
    // main window keeps it for the whole run).
    void post_start(std::string_view text, int range);
    void post_step();
    void post_finish();

    int value() const;
    int maximum() const;

    void reject() override; // Escape does not end a running job's box

  private:
    QLabel *text_;
    QProgressBar *bar_;
};

// A ProgressBoxFactory for QtUi: a ZeroingProgressBox owned by `owner`, started with `text`
// and 0..range (it has no BREAK button). Destroying the result destroys the box.
std::unique_ptr<ProgressBox> make_zeroing_progress_box(QWidget *owner, const QString &text,
                                                       int range, std::function<void()> on_break);

} // namespace meterdesk::ui
