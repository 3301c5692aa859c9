// TraceDataCollectionDialog: the Qt face of "Trace Data Collection"
// ("TraceDataCollectionBox", modal, 40035 in the factory menu's Test group). The decisions are
// TraceDataCollectionBox's.
#pragma once

#include "meterdesk/settings/trace_data_collection_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk::ui {

class TraceDataCollectionDialog : public QDialog {
    Q_OBJECT

  public:
    TraceDataCollectionDialog(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    void clicked(int id);

    QtControls controls_;
    TraceDataCollectionBox logic_;
};

} // namespace meterdesk::ui
