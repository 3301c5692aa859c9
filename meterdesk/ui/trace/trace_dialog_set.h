// The trace view's panels, dialogs and commands, registered with the main window's
// PanelRegistry: the trace control panel, the markers dialog, the settings dialog, Start (1111),
// Stop (40128), Exit (40114), and the data-collection options (40035).
#pragma once

#include <string>
#include <vector>

namespace meterdesk::ui {

class PanelRegistry;
struct DialogContext;

// The private command of the trace control panel: re-initialise it if it is on screen.
inline constexpr int kTracePanelRefresh = 110;

void register_trace_dialogs(PanelRegistry &panels, const DialogContext &context);

// The marker readings of a plot pass, for the markers dialog if it was created.
void show_marker_readings(PanelRegistry &panels, const std::vector<std::string> &lines);

} // namespace meterdesk::ui
