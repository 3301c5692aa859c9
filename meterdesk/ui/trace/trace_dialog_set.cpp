#include "meterdesk/ui/trace/trace_dialog_set.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/trace_data_collection_box.h"
#include "meterdesk/trace/trace_box.h"
#include "meterdesk/trace/trace_control.h"
#include "meterdesk/ui/dialog_set.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/settings/trace_data_collection_dialog.h"
#include "meterdesk/ui/trace/trace_markers_dialog.h"
#include "meterdesk/ui/trace/trace_panel.h"
#include "meterdesk/ui/trace/trace_settings_dialog.h"

namespace meterdesk::ui {

namespace {

constexpr int kCmdStartTrace = 1111;
constexpr int kCmdTraceSettings = 40127;
constexpr int kCmdStopTrace = 40128;
constexpr int kCmdLeaveTrace = 40114;

} // namespace

void register_trace_dialogs(PanelRegistry &panels, const DialogContext &context) {
    AppState &state = context.state;
    Ui &ui = context.ui;

    panels.add_panel(kTraceBox, {[&state, &ui](QWidget *owner) -> QWidget * {
                                     return new TracePanel(state, ui, owner);
                                 },
                                 [](QWidget &panel) {
                                     if (auto *box = dynamic_cast<TracePanel *>(&panel))
                                         box->open_panel();
                                 },
                                 [](QWidget &panel, int command) {
                                     auto *box = dynamic_cast<TracePanel *>(&panel);
                                     if (box != nullptr && command == kTracePanelRefresh)
                                         box->refresh();
                                 }});

    // The markers dialog; the plot hands it the marker readings.
    panels.add_panel(kTraceMarkersBox,
                     {[&state, &ui](QWidget *owner) -> QWidget * {
                          return new TraceMarkersDialog(state, ui, owner);
                      },
                      [](QWidget &panel) {
                          if (auto *box = dynamic_cast<TraceMarkersDialog *>(&panel))
                              box->open_panel();
                      },
                      {}});

    panels.add_dialog(kCmdStartTrace,
                      [&state, &ui](QWidget *) { start_trace_from_menu(state, ui); });
    panels.add_dialog(kCmdStopTrace, [&state, &ui](QWidget *) { stop_trace(state, ui); });
    panels.add_dialog(kCmdLeaveTrace, [&state, &ui](QWidget *) { exit_trace(state, ui); });
    panels.add_dialog(kCmdTraceSettings, [&state, &ui](QWidget *owner) {
        if (!state.trace_running) return; // offered only while a trace runs
        TraceSettingsDialog dialog(state, ui, owner);
        dialog.run();
    });
    panels.add_dialog(kCmdTraceDataCollection, [&state, &ui](QWidget *owner) {
        TraceDataCollectionDialog dialog(state, ui, owner);
        dialog.run();
    });
}

void show_marker_readings(PanelRegistry &panels, const std::vector<std::string> &lines) {
    if (auto *box = dynamic_cast<TraceMarkersDialog *>(panels.panel(kTraceMarkersBox)))
        box->show_readings(lines);
}

} // namespace meterdesk::ui
