// StatsProgressBox: the modal box shown while the measurement thread takes a statistics burst:
// "Gathering stats data, please wait.", bar 1145 over 0..N and "BREAK" (1621). BREAK and
// Escape ask the run to stop; the box closes only when the run says so, then gives the focus
// back to the main window.
//
// QtUi opens it by name ("StatsProgressBox") through make_stats_progress_box. A burst steps it
// up to 10000 times, faster than a screen can show: steps only count, and the bar follows the
// count at most once per frame.
#pragma once

#include "meterdesk/ui/qt_ui.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

class QProgressBar;

namespace meterdesk::ui {

class StatsProgressBox : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kProgressBarId = 1145;
    static constexpr int kBreakId = 1621;

    StatsProgressBox(QWidget *owner, const QString &text, int range,
                     std::function<void()> on_break);

    void step();   // one more reading
    void finish(); // closes the box; the owner gets the focus

    int value() const; // the bar as shown

    void reject() override; // Escape is BREAK

  private:
    void show_count();

    QProgressBar *bar_;
    QTimer frame_;
    int count_ = 0;
    std::function<void()> on_break_;
};

std::unique_ptr<ProgressBox> make_stats_progress_box(QWidget *owner, const QString &text, int range,
                                                     std::function<void()> on_break);

} // namespace meterdesk::ui
