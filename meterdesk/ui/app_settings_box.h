// AppSettingsBox: the Qt face of the Application Settings dialog (modeless, Ctrl+S). The
// decisions are AppSettingsDialog's; this class lays out the controls, names them "id<number>"
// and forwards their clicks.
#pragma once

#include "meterdesk/core/app_settings_dialog.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class AppSettingsBox : public QDialog {
  public:
    // Created hidden at start-up and kept; `ui` receives the menu re-install of Apply.
    AppSettingsBox(AppState &state, Ui &ui, QWidget *owner = nullptr);

    // Ctrl+S: shows the application's settings afresh and brings the dialog up.
    void open_settings();

    // Escape and the title bar's close button act as Cancel.
    void reject() override;

  private:
    void clicked(int id);

    AppSettingsDialog logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
