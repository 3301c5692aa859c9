// TracePanel: the Qt face of the trace control panel ("TraceBox", caption "Trace Control",
// modeless, created once at start-up). The decisions are TraceBox's; this class holds the
// controls, named "id<number>", and forwards their clicks.
#pragma once

#include "meterdesk/trace/trace_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class TracePanel : public QDialog {
    Q_OBJECT

  public:
    TracePanel(AppState &state, Ui &ui, QWidget *owner = nullptr);

    // Shows the panel, initialised afresh.
    void open_panel();
    // Re-initialises the panel if it is on screen (the end of a trace run).
    void refresh();

    void reject() override;

  private:
    void clicked(int id);

    QtControls controls_;
    TraceBox logic_;
};

} // namespace meterdesk::ui
