// The three RF calculators of the "Calculators" sub-menu (40077, 40078, 40080), registered as
// modeless panels with the main window at start-up.
#pragma once

namespace meterdesk::ui {

class PanelRegistry;
struct DialogContext;

void register_calculator_dialogs(PanelRegistry &panels, const DialogContext &context);

} // namespace meterdesk::ui
