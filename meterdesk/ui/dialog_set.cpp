#include "meterdesk/ui/dialog_set.h"

#include "meterdesk/ui/panel_registry.h"

namespace meterdesk::ui {

// Modeless panels: panels.add_panel(kHelpBox, {create, show, command}).
// Modal dialogs and commands of other modules: panels.add_dialog(command id, runner).
void register_dialog_set(PanelRegistry &panels, const DialogContext &context) {
    (void)panels;
    (void)context;
}

} // namespace meterdesk::ui
