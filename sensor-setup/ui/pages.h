// The Qt faces of the installer's pages: UserInterfaceBox1 (welcome), UserInterfaceBox2
// (options) and UserInterfaceBox3 (progress). Each builds its controls, names them
// "id<number>" (control_ids.h) and forwards presses to its page logic; it opens at the
// placement of the page closed last and records its own when it closes.
#pragma once

#include "meterdesk/widgets/qt_controls.h"
#include "sensor-setup/core/pages.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace sensor_setup::ui {

class PageBox : public QDialog {
  public:
    PageBox(SetupState &state, QWidget *owner);
    meterdesk::ui::QtControls &controls() { return controls_; }

    // Moves the page to the placement of the page closed last, if any.
    void place();
    // Records this page's placement, then closes it with `result`.
    void done(int result) override;

  protected:
    QLabel *line(int id);
    QPushButton *button(int id, const QString &text);

    SetupState &state_;
    meterdesk::ui::QtControls controls_;
};

class UserInterfaceBox1 : public PageBox {
  public:
    UserInterfaceBox1(SetupState &state, QWidget *owner);

  private:
    WelcomePage page_;
};

class UserInterfaceBox2 : public PageBox {
  public:
    UserInterfaceBox2(SetupState &state, SetupUi &ui, QWidget *owner);

  private:
    OptionsPage page_;
};

class UserInterfaceBox3 : public PageBox {
  public:
    UserInterfaceBox3(SetupState &state, SetupUi &ui, QWidget *owner);
    ProgressPage &page() { return page_; }
    // Escape and the window's close button act as Cancel does: only before the installation.
    void reject() override;

  private:
    ProgressPage page_;
};

} // namespace sensor_setup::ui
