#include "meterdesk/ui/dialog_set.h"

#include "meterdesk/core/zeroing.h"
#include "meterdesk/ui/app_settings_box.h"
#include "meterdesk/ui/factory/factory_dialog_set.h"
#include "meterdesk/ui/help_box.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/qt_ui.h"
#include "meterdesk/ui/settings/calculator_dialog_set.h"
#include "meterdesk/ui/settings/settings_dialog_set.h"
#include "meterdesk/ui/trace/stats_dialog_set.h"
#include "meterdesk/ui/trace/trace_dialog_set.h"
#include "meterdesk/ui/zeroing_progress_box.h"

namespace meterdesk::ui {

// Modeless panels: panels.add_panel(kHelpBox, {create, show, command}).
// Modal dialogs and commands of other modules: panels.add_dialog(command id, runner).
void register_dialog_set(PanelRegistry &panels, const DialogContext &context) {
    AppState &state = context.state;
    Ui &ui = context.ui;

    // The measurement settings: control panel, frequency box, cal-factor table editor, setup
    // files.
    register_settings_dialogs(panels, context);

    // The factory tools: firmware download, equation, test exec settings, test control panel.
    register_factory_dialogs(panels, context);

    // Statistics: the control panel, its progress box and the view's "Exit".
    register_stats_dialogs(panels, context);

    // The RF calculators.
    register_calculator_dialogs(panels, context);

    // The trace view: control panel, markers, settings, Start / Stop / Exit, data collection.
    register_trace_dialogs(panels, context);

    // The help window shows the topic its caller has put into AppState::help_topic.
    panels.add_panel(kHelpBox,
                     {[&state, &ui, shipped = context.shipped_data](QWidget *owner) -> QWidget * {
                          return new HelpBox(state, ui, owner, shipped);
                      },
                      [](QWidget &panel) {
                          if (auto *box = dynamic_cast<HelpBox *>(&panel))
                              box->show_current_topic();
                      },
                      {}});

    // Ctrl+S: the Application Settings dialog, showing the settings afresh at every opening.
    panels.add_panel(kAppSettingsBox, {[&state, &ui](QWidget *owner) -> QWidget * {
                                           return new AppSettingsBox(state, ui, owner);
                                       },
                                       [](QWidget &panel) {
                                           if (auto *box = dynamic_cast<AppSettingsBox *>(&panel))
                                               box->open_settings();
                                       },
                                       {}});

    // The progress box of the zero.
    if (auto *qt_ui = dynamic_cast<QtUi *>(&ui))
        qt_ui->set_progress_box_factory(kZeroingProgressBox, make_zeroing_progress_box);
}

} // namespace meterdesk::ui
