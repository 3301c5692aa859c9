// The statistics panel, its progress box (by the name "StatsProgressBox") and the statistics
// view's "Exit" (40119, toolbar 9037), registered with the main window at start-up.
#pragma once

namespace meterdesk::ui {

class PanelRegistry;
struct DialogContext;

void register_stats_dialogs(PanelRegistry &panels, const DialogContext &context);

} // namespace meterdesk::ui
