// SetupWindow: the installer's main window - white, "Zyn Quorix USB Sensor Installation", at
// (500, 200), 600 x 300 - which runs the modal pages in order and implements the SetupUi port:
// message boxes, the folder picker, timer 1 (whose firing sends command 100 to the progress
// page), the help box, and the installation on a worker thread.
#pragma once

#include "sensor-setup/core/file_system.h"
#include "sensor-setup/core/installer.h"
#include "sensor-setup/core/pages.h"
#include "sensor-setup/core/setup_ui.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <thread>

class QMessageBox;

namespace sensor_setup::ui {

class HelpBox;
class PageBox;
class UserInterfaceBox3;

struct SetupWindowConfig {
    fs::path source;
    fs::path program_folder; // for the meterdesk beside sensor-setup
    // Replace the folder picker (tests); by default a folder dialog.
    std::function<std::optional<std::string>(std::string_view title)> folder_picker;
    // Replace the file system (tests); by default the machine's.
    std::shared_ptr<FileSystem> file_system;
};

class SetupWindow : public QWidget, public SetupUi {
    Q_OBJECT

  public:
    explicit SetupWindow(SetupWindowConfig config);
    ~SetupWindow() override;

    // Shows the window and the first page.
    void start();

    SetupState &state() { return state_; }
    // The page on screen, the help box and the last message box (nullptr when none).
    PageBox *page() const;
    HelpBox *help_box() const;
    QMessageBox *message_box() const;

    // SetupUi
    void message(std::string_view caption, std::string_view text) override;
    std::optional<std::string> choose_folder(std::string_view title) override;
    void start_timer(int timer_id, int period_ms) override;
    void stop_timer(int timer_id) override;
    void show_help(int topic) override;
    void start_install() override;

  signals:
    // The pages are over: Cancel (0), Finish (0, or 1 or 3 after a failure).
    void finished(int exit_status);

  private:
    void show_page(PageBox *page);
    void next_page(int step);
    void install_done(const InstallReport &report);

    SetupWindowConfig config_;
    SetupState state_;
    QPointer<PageBox> page_;
    QPointer<HelpBox> help_;
    QPointer<QMessageBox> message_;
    UserInterfaceBox3 *progress_ = nullptr;
    QTimer install_timer_;
    std::thread worker_;
};

} // namespace sensor_setup::ui
