// FirmwareDloadProgressBox: the modal box shown while the firmware download job runs, with the
// text "Downloading firmware, please wait." and bar 1166 over the copy's lines. The job steps
// and closes it through the Ui port; the user cannot dismiss it.
#pragma once

#include "meterdesk/ui/qt_ui.h"

#include <functional>
#include <memory>

namespace meterdesk::ui {

inline constexpr int kFirmwareProgressBarId = 1166;

// A ProgressBoxFactory for QtUi: the box for the resource name "FirmwareDloadProgressBox".
std::unique_ptr<ProgressBox> make_firmware_progress_box(QWidget *owner, const QString &text,
                                                        int range, std::function<void()> on_break);

} // namespace meterdesk::ui
