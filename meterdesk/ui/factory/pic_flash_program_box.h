// PicFlashProgramBox: the Qt face of the microcontroller FLASH programmer (modal, command
// 40059). The decisions are PicFlashProgramDialog's; closing the dialog in any way releases
// the programmer.
#pragma once

#include "meterdesk/factory/flash_programmer.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk::ui {

class PicFlashProgramBox : public QDialog {
    Q_OBJECT
  public:
    PicFlashProgramBox(AppState &state, Ui &ui, FlashProgrammer &programmer,
                       QWidget *owner = nullptr);
    int run();
    void reject() override;

  private:
    PicFlashProgramDialog logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
