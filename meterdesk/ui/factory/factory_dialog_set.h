// The factory tools' dialogs and commands, registered with the main window by command id:
// firmware download (40030), equation parameters (40057), test exec settings (40089), the
// calibration and test control panel (40067), date stamps (40082, also Ctrl+X), diode serial
// number (40064), temperature compensation (40034), linearity correction (40139), moving filter
// size (40153), filter settings (40041), the USB EE programmer (40060) and the microcontroller
// FLASH programmer (40059).
#pragma once

namespace meterdesk::ui {

class PanelRegistry;
struct DialogContext;

void register_factory_dialogs(PanelRegistry &panels, const DialogContext &context);

} // namespace meterdesk::ui
