#include "meterdesk/ui/factory/flash_prog_progress_box.h"

#include "meterdesk/factory/flash_programmer.h"

namespace meterdesk::ui {

std::unique_ptr<ProgressBox> make_flash_prog_progress_box(QWidget *owner, const QString &text,
                                                          int range, std::function<void()>) {
    return make_named_progress_box(owner, text, range,
                                   QString::fromUtf8(pic_flash_box::kProgressBox),
                                   pic_flash_box::kProgressBar);
}

} // namespace meterdesk::ui
