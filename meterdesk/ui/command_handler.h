// What the main window hands its menu commands, toolbar buttons and keyboard shortcuts to.
#pragma once

namespace meterdesk::ui {

// The main window's keyboard shortcuts.
enum class Shortcut {
    kControlPanel,    // Ctrl+C
    kLogMode,         // Ctrl+L
    kRepaint,         // R
    kSettings,        // Ctrl+S
    kTemperatureMode, // Ctrl+T
    kWattsMode,       // Ctrl+W
    kDateStamps,      // Ctrl+X
    kZero,            // Ctrl+Z
};

class CommandHandler {
  public:
    virtual ~CommandHandler() = default;
    virtual void command(int command_id) = 0;
    virtual void shortcut(Shortcut key) = 0;
};

} // namespace meterdesk::ui
