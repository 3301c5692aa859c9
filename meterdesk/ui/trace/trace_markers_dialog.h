// TraceMarkersDialog: the Qt face of "Trace Markers" ("TraceMarkersBox", modeless, created at
// start-up, shown by "Markers..."). The decisions are TraceMarkersBox's; the plot fills its list.
#pragma once

#include "meterdesk/trace/trace_markers_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

#include <string>
#include <vector>

namespace meterdesk::ui {

class TraceMarkersDialog : public QDialog {
    Q_OBJECT

  public:
    TraceMarkersDialog(AppState &state, Ui &ui, QWidget *owner = nullptr);

    void open_panel();
    // The plot's marker readings (GUI thread).
    void show_readings(const std::vector<std::string> &lines);

    void reject() override;

  private:
    void clicked(int id);

    QtControls controls_;
    TraceMarkersBox logic_;
};

} // namespace meterdesk::ui
