// PanelRegistry: the main window's modeless panels, created hidden at start-up by resource
// name and kept for the whole run, and the modal dialogs that commands open, by command id.
//
// Whoever builds a dialog registers it here before start-up (see dialog_set.h); the main
// window's dispatcher then shows panels and runs dialogs without knowing their classes. A
// panel or dialog that nobody registered is not there: the window greys its command, and a
// registration un-greys it (the registry tells the window through on_change).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace meterdesk::ui {

// Private commands the main window sends to an open measurement control panel.
inline constexpr int kPanelRefreshFrequency = 100;    // frequency and cal factor changed
inline constexpr int kPanelReselectMode = 101;        // meas_mode switched log <-> linear
inline constexpr int kPanelRefreshDisplaySetup = 102; // display_setup changed
inline constexpr int kPanelRefreshResolution = 103;   // check the radio of resolution_radio_id

// Resource names of the modeless panels.
inline constexpr const char *kControlPanel = "MeasurementControlPanel";
inline constexpr const char *kTraceBox = "TraceBox";
inline constexpr const char *kTraceMarkersBox = "TraceMarkersBox";
inline constexpr const char *kStatsBox = "StatsBox";
inline constexpr const char *kHelpBox = "HelpBox";
inline constexpr const char *kPowerUnitsConverterBox = "PowerUnitsConverterBox";
inline constexpr const char *kMicrowaveCalculatorBox = "uWaveCalculatorBox";
inline constexpr const char *kMismatchCalculatorBox = "MismatchCalculatorBox";
inline constexpr const char *kAppSettingsBoxNew = "AppSettingsBoxNew";
inline constexpr const char *kAppSettingsBox = "AppSettingsBox";

struct PanelHooks {
    // Builds the panel, hidden, owned by `owner` (the main window). Required.
    std::function<QWidget *(QWidget *owner)> create;
    // "Show the panel": re-initialise it as if just opened and make it visible. Default:
    // show, raise and activate.
    std::function<void(QWidget &panel)> show;
    // A private command (kPanelRefreshFrequency, ...). Default: ignored.
    std::function<void(QWidget &panel, int command)> command;
};

// Runs a modal dialog (or any command another module owns) with the main window as owner.
using DialogRunner = std::function<void(QWidget *owner)>;

class PanelRegistry {
  public:
    // The start-up order of the panels; panels of other names follow in registration order.
    static const std::vector<std::string_view> &startup_order();

    void add_panel(std::string name, PanelHooks hooks);
    void add_dialog(int command_id, DialogRunner runner);

    // Called after every registration (the window refreshes its commands' states).
    void set_on_change(std::function<void()> on_change) { on_change_ = std::move(on_change); }

    // Creates every registered panel, hidden, in the start-up order. Runs once.
    void create_panels(QWidget *owner);

    // The panel, or nullptr when none of that name was registered or created.
    QWidget *panel(std::string_view name) const;
    bool has_dialog(int command_id) const;
    // A panel of that name is registered (created or not yet).
    bool has_panel(std::string_view name) const;

    // Re-initialises and shows the panel; false when there is none.
    bool show_panel(std::string_view name);
    // Hides the panel if it is open; a modal dialog of that resource name (objectName) that
    // is on screen is closed as by its close button.
    void close_panel(std::string_view name);
    // The panel is on screen.
    bool is_open(std::string_view name) const;
    // Sends a private command to the panel; false when there is none.
    bool send_command(std::string_view name, int command);

    // Runs the dialog of a command id; false when none is registered.
    bool run_dialog(int command_id, QWidget *owner) const;

  private:
    struct Entry {
        PanelHooks hooks;
        QWidget *widget = nullptr; // owned by the main window
    };
    Entry *find(std::string_view name);
    const Entry *find(std::string_view name) const;
    void create(Entry &entry); // hidden, owned by owner_

    std::vector<std::pair<std::string, Entry>> panels_; // registration order
    std::map<int, DialogRunner> dialogs_;
    std::function<void()> on_change_;
    QWidget *owner_ = nullptr;
    bool created_ = false;
};

} // namespace meterdesk::ui
