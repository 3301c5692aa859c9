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

    // Whether a command or key has something to do: a handler of its own, or the panel or
    // dialog it opens is there. The window greys what has not (and disables such keys), so
    // that no control silently does nothing.
    virtual bool handles(int command_id) const = 0;
    virtual bool handles(Shortcut key) const = 0;
};

} // namespace meterdesk::ui
