// The factory tools' dialogs and commands: firmware download (40030), equation parameters
// (40057), test exec settings (40089) and the calibration and test control panel (40067).
#pragma once

namespace meterdesk::ui {

class PanelRegistry;
struct DialogContext;

void register_factory_dialogs(PanelRegistry &panels, const DialogContext &context);

} // namespace meterdesk::ui
