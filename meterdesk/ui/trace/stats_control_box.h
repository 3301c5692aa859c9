// StatsControlBox: the Qt face of the statistics control panel ("StatsBox", modeless, created
// hidden at start-up). The decisions are StatsBox's; this class holds the radios, check boxes
// and buttons, named "id<number>". Escape hides it like "Close".
#pragma once

#include "meterdesk/trace/stats_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class StatsControlBox : public QDialog {
    Q_OBJECT

  public:
    StatsControlBox(AppState &state, Ui &ui, QWidget *owner = nullptr);

    // "Stats..." / "Control...": re-initialise and show.
    void open_panel();

    void reject() override;

  private:
    void clicked(int id);

    StatsBox logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
