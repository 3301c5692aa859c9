// The measurement settings' panel and dialogs, registered with the main window: the control
// panel (MeasurementControlPanel), the frequency box (9002), the cal-factor table editor
// (40045) and the setup files (40014 / 9008 save, 40036 / 9009 recall).
#pragma once

namespace meterdesk::ui {

class PanelRegistry;
struct DialogContext;

void register_settings_dialogs(PanelRegistry &panels, const DialogContext &context);

} // namespace meterdesk::ui
