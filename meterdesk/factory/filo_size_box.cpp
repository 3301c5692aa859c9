#include "meterdesk/factory/filo_size_box.h"

#include "meterdesk/factory/averaging_lengths.h"

namespace meterdesk {

namespace ids = filo_size_box;

FiloSizeDialog::FiloSizeDialog(AppState &state, Ui &ui) : state_(state), ui_(ui) {}

void FiloSizeDialog::open(Controls &controls) {
    show_averaging_lengths(state_, controls, ids::kLengthEdits);
}

DialogAction FiloSizeDialog::clicked(Controls &controls, int id) {
    if (id == ids::kEnter) return enter_averaging_lengths(state_, ui_, controls, ids::kLengthEdits);
    if (id == ids::kClose) return DialogAction::kClose;
    return DialogAction::kStay;
}

} // namespace meterdesk
