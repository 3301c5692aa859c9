// TraceSettingsDialog: the Qt face of "Trace Settings" ("TraceSettingsBox", modal), opened by
// "Settings..." while a trace runs. The decisions are TraceSettingsBox's.
#pragma once

#include "meterdesk/trace/trace_settings_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk::ui {

class TraceSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    TraceSettingsDialog(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    void clicked(int id);

    QtControls controls_;
    TraceSettingsBox logic_;
};

} // namespace meterdesk::ui
