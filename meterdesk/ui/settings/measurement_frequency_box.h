// MeasurementFrequencyBox: the Qt face of the frequency box (modal, toolbar button 9002). The
// decisions are FrequencyBoxDialog's; this class holds the edit, the MHz/GHz pair and the two
// buttons, named "id<number>". Enter presses "Apply", Escape and the close button "Cancel".
#pragma once

#include "meterdesk/settings/frequency_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class MeasurementFrequencyBox : public QDialog {
    Q_OBJECT

  public:
    // `refresh_panel` sends the control panel its command 100 after a new frequency.
    MeasurementFrequencyBox(AppState &state, Ui &ui, std::function<void()> refresh_panel,
                            QWidget *owner = nullptr);

    // Shows the frequency and runs the box until it ends.
    int run();

    // Command 100 from the control panel.
    void refresh();

    void reject() override;

  private:
    void clicked(int id);

    FrequencyBoxDialog logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
