// FlashProgProgressBox: the FLASH programmer's progress box (bar 1454, one step per record),
// shown by name through the Ui port while the worker streams the image. The user cannot
// dismiss it; the job closes it.
#pragma once

#include "meterdesk/ui/qt_ui.h"

#include <memory>

namespace meterdesk::ui {

std::unique_ptr<ProgressBox> make_flash_prog_progress_box(QWidget *owner, const QString &text,
                                                          int range,
                                                          std::function<void()> on_break);

} // namespace meterdesk::ui
