// TestControlPanelBox: the Qt face of "TestControlPanel" (modal, command 40067). The decisions
// are TestControlPanel's; this class lays out its groups with controls named "id<number>".
#pragma once

#include "meterdesk/factory/test_control_panel.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>

namespace meterdesk::ui {

class TestControlPanelBox : public QDialog {
    Q_OBJECT

  public:
    TestControlPanelBox(AppState &state, Ui &ui, TestControlPanelLinks links,
                        QWidget *owner = nullptr);
    int run();
    void reject() override;

  private:
    void clicked(int id);

    TestControlPanel logic_;
    QtControls controls_;
};

} // namespace meterdesk::ui
