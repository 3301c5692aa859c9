// The Qt faces of the calibration support dialogs: date stamps, diode serial number,
// temperature compensation, linearity correction, moving filter size and filter settings. Each
// holds its widgets, named "id<number>", and forwards clicks and choices to its logic in
// meterdesk/factory/, which decides everything. Escape and the close button act as the
// dialog's own close or cancel button.
#pragma once

#include "meterdesk/factory/date_stamps_box.h"
#include "meterdesk/factory/diode_serial_box.h"
#include "meterdesk/factory/filo_size_box.h"
#include "meterdesk/factory/filter_settings_box.h"
#include "meterdesk/factory/lin_cor_box.h"
#include "meterdesk/factory/temp_comp_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk::ui {

class DateStampsBox : public QDialog {
    Q_OBJECT
  public:
    DateStampsBox(AppState &state, QWidget *owner = nullptr);
    int run();

  private:
    DateStampsDialog logic_;
    QtControls controls_;
};

class DiodeSerialNumberBox : public QDialog {
    Q_OBJECT
  public:
    DiodeSerialNumberBox(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    DiodeSerialDialog logic_;
    QtControls controls_;
};

class TempCompBox : public QDialog {
    Q_OBJECT
  public:
    TempCompBox(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    TempCompDialog logic_;
    QtControls controls_;
};

class LinCorPramsBox : public QDialog {
    Q_OBJECT
  public:
    LinCorPramsBox(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    LinCorDialog logic_;
    QtControls controls_;
};

class FiloSizeBox : public QDialog {
    Q_OBJECT
  public:
    FiloSizeBox(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    FiloSizeDialog logic_;
    QtControls controls_;
};

class FilterSettingsBox : public QDialog {
    Q_OBJECT
  public:
    FilterSettingsBox(AppState &state, Ui &ui, QWidget *owner = nullptr);
    int run();

  private:
    FilterSettingsDialog logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
