// FreqCfTableBox: the Qt face of the frequency/cal-factor table editor (modal, command 40045).
// The decisions are CfTableEditor's; this class holds the table list, the "Edit Table" group
// and "Done", named "id<number>". Enter presses "Edit" (the default button), Escape is "Done".
#pragma once

#include "meterdesk/settings/cf_table_editor.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class FreqCfTableBox : public QDialog {
    Q_OBJECT

  public:
    FreqCfTableBox(AppState &state, Ui &ui, CfTableEditorLinks links, QWidget *owner = nullptr);

    // Shows the sensor's table and runs the editor until it ends.
    int run();

    void reject() override;

  private:
    void clicked(int id);

    CfTableEditor logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
