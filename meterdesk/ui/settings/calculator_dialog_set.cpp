#include "meterdesk/ui/settings/calculator_dialog_set.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/ui/dialog_set.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/settings/rf_calculator_boxes.h"

namespace meterdesk::ui {

namespace {

template <typename Box>
PanelHooks calculator_hooks(std::function<QWidget *(QWidget *)> create) {
    return {std::move(create),
            [](QWidget &panel) {
                if (auto *box = dynamic_cast<Box *>(&panel)) box->open_panel();
            },
            {}};
}

} // namespace

void register_calculator_dialogs(PanelRegistry &panels, const DialogContext &context) {
    AppState &state = context.state;
    Ui &ui = context.ui;
    const auto show_help = [&state, &panels](int topic) {
        state.help_topic = topic;
        panels.show_panel(kHelpBox);
    };

    panels.add_panel(kMismatchCalculatorBox,
                     calculator_hooks<MismatchCalculatorBox>([show_help](QWidget *owner) {
                         return new MismatchCalculatorBox(show_help, owner);
                     }));
    panels.add_panel(kMicrowaveCalculatorBox,
                     calculator_hooks<MicrowaveCalculatorBox>([&ui, show_help](QWidget *owner) {
                         return new MicrowaveCalculatorBox(ui, show_help, owner);
                     }));
    panels.add_panel(kPowerUnitsConverterBox,
                     calculator_hooks<PowerUnitsConverterBox>(
                         [](QWidget *owner) { return new PowerUnitsConverterBox(owner); }));
}

} // namespace meterdesk::ui
