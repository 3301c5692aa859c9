#include "meterdesk/ui/settings/settings_dialog_set.h"

#include "meterdesk/core/command_ids.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/settings/setup_commands.h"
#include "meterdesk/ui/dialog_set.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/settings/freq_cf_table_box.h"
#include "meterdesk/ui/settings/measurement_control_panel.h"
#include "meterdesk/ui/settings/measurement_frequency_box.h"

#include <rfsense/rfsense.h>

#include <QPointer>

#include <memory>

namespace meterdesk::ui {

namespace {

// The settings dialogs need a sensor that answers, as the control panel does.
bool sensor_answers(AppState &state) {
    SensorLease lease(state);
    unsigned char overload = 0;
    return lease && SensorConnected(lease.get(), &overload) != 0;
}

} // namespace

void register_settings_dialogs(PanelRegistry &panels, const DialogContext &context) {
    AppState &state = context.state;
    Ui &ui = context.ui;
    // The frequency box on screen, for the panel's command 100.
    auto frequency_box = std::make_shared<QPointer<MeasurementFrequencyBox>>();
    const auto refresh_panel = [&panels] {
        panels.send_command(kControlPanel, kPanelRefreshFrequency);
    };

    // The control panel: showing it initialises it from the state; the main window's private
    // commands (100 frequency, 101 mode, 102 display setup, 103 resolution) refresh it.
    panels.add_panel(kControlPanel,
                     {[&state, &ui, &panels, frequency_box](QWidget *owner) -> QWidget * {
                          ControlPanelLinks links;
                          links.show_help = [&panels] { panels.show_panel(kHelpBox); };
                          links.refresh_frequency_box = [frequency_box] {
                              if (*frequency_box) (*frequency_box)->refresh();
                          };
                          return new MeasurementControlPanel(state, ui, std::move(links), owner);
                      },
                      [](QWidget &panel) {
                          if (auto *box = dynamic_cast<MeasurementControlPanel *>(&panel))
                              box->open_panel();
                      },
                      [](QWidget &panel, int command) {
                          if (auto *box = dynamic_cast<MeasurementControlPanel *>(&panel))
                              box->command(command);
                      }});

    // 9002: the frequency box, modal; an open control panel follows a new frequency.
    panels.add_dialog(9002, [&state, &ui, frequency_box, refresh_panel](QWidget *owner) {
        if (!sensor_answers(state)) return;
        MeasurementFrequencyBox box(state, ui, refresh_panel, owner);
        *frequency_box = &box;
        box.run();
        *frequency_box = nullptr;
    });

    // 40045: the cal-factor table editor, modal. After a verified "Save Table" the sensor is
    // disconnected, so that it comes back with the table it now holds.
    panels.add_dialog(
        40045, [&state, &ui, refresh_panel, &measurement = context.measurement](QWidget *owner) {
            if (!sensor_answers(state)) return;
            CfTableEditorLinks links;
            links.refresh_panel = refresh_panel;
            links.force_disconnect = [&measurement] { measurement.force_disconnect(); };
            FreqCfTableBox box(state, ui, std::move(links), owner);
            box.run();
        });

    // File menu and toolbar (9008, 9009 give the same commands): setup files.
    panels.add_dialog(kCmdSaveSetup, [&state, &ui](QWidget *) { save_setup_command(state, ui); });
    panels.add_dialog(kCmdRecallSetup,
                      [&state, &ui](QWidget *) { recall_setup_command(state, ui); });
}

} // namespace meterdesk::ui
