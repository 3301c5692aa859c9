#include "meterdesk/ui/trace/stats_dialog_set.h"

#include "meterdesk/core/stats_burst.h"
#include "meterdesk/ui/dialog_set.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/qt_ui.h"
#include "meterdesk/ui/trace/stats_control_box.h"
#include "meterdesk/ui/trace/stats_progress_box.h"

namespace meterdesk::ui {

void register_stats_dialogs(PanelRegistry &panels, const DialogContext &context) {
    AppState &state = context.state;
    Ui &ui = context.ui;

    // "Stats..." (40017), "Control..." of the statistics menu and toolbar 9035.
    panels.add_panel(kStatsBox, {[&state, &ui](QWidget *owner) -> QWidget * {
                                     return new StatsControlBox(state, ui, owner);
                                 },
                                 [](QWidget &panel) {
                                     if (auto *box = dynamic_cast<StatsControlBox *>(&panel))
                                         box->open_panel();
                                 },
                                 {}});

    panels.add_dialog(kCmdLeaveStats,
                      [&state, &ui](QWidget *) { leave_statistics_view(state, ui); });

    if (auto *qt_ui = dynamic_cast<QtUi *>(&ui))
        qt_ui->set_progress_box_factory(kStatsProgressBox, make_stats_progress_box);
}

} // namespace meterdesk::ui
