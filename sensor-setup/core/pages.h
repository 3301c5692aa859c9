// The logic of the installer's pages, over the Controls view of each page and the SetupUi
// port: the texts after each Continue, the ticks and the target, help topics 1 and 2, timer 1
// and command 100, and the lines after the installation.
#pragma once

#include "meterdesk/base/controls.h"
#include "sensor-setup/core/installer.h"
#include "sensor-setup/core/setup_ui.h"

#include <optional>
#include <string>

namespace sensor_setup {

using meterdesk::Controls;
using meterdesk::DialogAction;

inline constexpr int kInstallTimer = 1;
inline constexpr int kInstallDelayMs = 3000;
inline constexpr int kInstallCommand = 100;

inline constexpr const char *kWelcomeCaption = "Zyn Quorix USB Power Sensor Installation";
inline constexpr const char *kProgressCaption = "Quorix USB Power Sensor Installation";
inline constexpr const char *kHelpCaption = "Quorix USB Power Sensor Installation Help";
inline constexpr const char *kWindowTitle = "Zyn Quorix USB Sensor Installation";
inline constexpr const char *kPickerTitle = "Select directory path for Zyn Quorix folder";

// Where a page stood on the screen when it closed; the next page opens there.
struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The installer's state, owned by the main window.
struct SetupState {
    fs::path source;
    std::string target = default_target_text();
    bool desktop_launcher = true;
    bool menu_launcher = true;
    std::optional<Placement> placement;
    int help_topic = 0;
    std::optional<InstallReport> report;
    int exit_status = 0;
};

// UserInterfaceBox1.
class WelcomePage {
  public:
    explicit WelcomePage(Controls &controls) : controls_(controls) {}
    void open();
    // First press: the sensor lines; second press: blank lines and close.
    DialogAction continue_pressed();

  private:
    Controls &controls_;
    int presses_ = 0;
};

// UserInterfaceBox2.
class OptionsPage {
  public:
    OptionsPage(Controls &controls, SetupState &state, SetupUi &ui)
        : controls_(controls), state_(state), ui_(ui) {}
    void open();
    void desktop_clicked();
    void menu_clicked();
    void browse_pressed();
    void help_pressed();
    DialogAction continue_pressed();

  private:
    Controls &controls_;
    SetupState &state_;
    SetupUi &ui_;
};

// UserInterfaceBox3.
class ProgressPage {
  public:
    ProgressPage(Controls &controls, SetupState &state, SetupUi &ui)
        : controls_(controls), state_(state), ui_(ui) {}
    void open();
    // Command 100 (sent when timer 1 fires) starts the installation.
    void command(int command_id);
    void install_finished(const InstallReport &report);
    void help_pressed();
    DialogAction finish_pressed();
    // Cancel is possible until the installation starts.
    bool can_cancel() const { return !started_; }
    DialogAction cancel_pressed();

  private:
    Controls &controls_;
    SetupState &state_;
    SetupUi &ui_;
    bool started_ = false;
};

// What the user is told beside the four lines after an installation: the recovery of an
// earlier run, missing medium folders, why no launcher was made. Empty when nothing.
std::string installation_notes(const InstallReport &report);

} // namespace sensor_setup
