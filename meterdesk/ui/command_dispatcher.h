// CommandDispatcher: what the main window's menu commands, toolbar buttons and keyboard
// shortcuts do. Commands owned by other modules reach them through the PanelRegistry (panels
// by resource name, modal dialogs by command id). A command whose panel or dialog nobody has
// registered has nothing to do: handles() says so and the window greys it.
//
// Until the measurement thread has taken the window over from the splash, only the commands
// that neither need a sensor nor draw (Help, About, Sensor Details, Exit) are carried out.
#pragma once

#include "meterdesk/ui/command_handler.h"

namespace meterdesk {
struct AppState;
class Ui;
class MeasurementThread;
class ZeroThread;
} // namespace meterdesk

namespace meterdesk::ui {

class MainWindow;
class PanelRegistry;
class PrintService;

struct DispatcherServices {
    AppState &state;
    Ui &ui;
    MainWindow &window;
    PanelRegistry &panels;
    MeasurementThread &measurement;
    ZeroThread &zero;
    PrintService &printing;
};

class CommandDispatcher final : public CommandHandler {
  public:
    explicit CommandDispatcher(DispatcherServices services) : s_(services) {}

    void command(int command_id) override;
    void shortcut(Shortcut key) override;
    bool handles(int command_id) const override;
    bool handles(Shortcut key) const override;

  private:
    void about();
    void control_panel();
    void help();
    void sensor_details();
    void preset();
    void toggle_log_linear();
    void next_display_setup();
    void next_resolution();
    void select_mode(int mode);
    void send_to_sensor(const char *command);
    void clear_sensor_store();
    bool show_panel(const char *name);
    bool window_taken_over() const;

    DispatcherServices s_;
};

} // namespace meterdesk::ui
