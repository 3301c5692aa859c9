#include "meterdesk/ui/factory/firmware_progress_box.h"

#include "meterdesk/factory/firmware_download.h"

namespace meterdesk::ui {

std::unique_ptr<ProgressBox> make_firmware_progress_box(QWidget *owner, const QString &text,
                                                        int range,
                                                        std::function<void()> /*no BREAK*/) {
    return make_named_progress_box(owner, text, range, QString::fromUtf8(kFirmwareProgressBox),
                                   kFirmwareProgressBarId);
}

} // namespace meterdesk::ui
