// HelpBox: the installer's modal help window, "Quorix USB Power Sensor Installation Help", with
// a read-only rich-text pane in RGB(160, 180, 230) that shows topic 1 or 2 of the medium. A
// missing file gives the warning through the port, and the window stays open and empty.
#pragma once

#include "meterdesk/base/help_file.h"
#include "sensor-setup/core/setup_ui.h"

#include <QDialog>

#include <filesystem>

class QTextEdit;

namespace sensor_setup::ui {

class HelpBox : public QDialog {
  public:
    HelpBox(const std::filesystem::path &source, int topic, SetupUi &ui, QWidget *owner);
    QTextEdit *pane() const { return pane_; }
    // Close: closes the file and the window.
    void reject() override;

  private:
    meterdesk::HelpStreamReader reader_;
    QTextEdit *pane_;
};

} // namespace sensor_setup::ui
