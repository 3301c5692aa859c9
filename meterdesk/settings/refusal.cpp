#include "meterdesk/settings/refusal.h"

#include "meterdesk/base/controls.h"
#include "meterdesk/core/ports.h"

namespace meterdesk {

void show_refusal(Ui &ui, Controls &controls, const Refusal &refusal) {
    ui.message(refusal.caption, refusal.text, MessageButtons::kOk, MessageIcon::kExclamation);
    controls.set_focus(refusal.edit_id);
}

} // namespace meterdesk
