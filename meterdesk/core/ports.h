// The two ports through which the logic layer reaches the screen, the user and the speaker.
//
// The Qt layer implements them (queuing every call to the GUI thread); tests replace them with
// recording fakes. Every member may be called from any thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace meterdesk {

// Areas of the main window that a thread may ask to have drawn.
enum class RepaintRequest : int {
    kSplash = 0,
    kClear = 1,        // clear the client area below the toolbar
    kDisconnected = 2, // "NO SENSOR CONNECTED"
    kFrame = 3,        // measurement frame and model label (and the meter frame)
    kStatusPanel = 4,
    kLiveReadout = 5,
    kTracePlot = 6,
    kStatistics = 7,
    kTemperatureLabels = 8,
    kTemperatureReadout = 9,
    kTraceScreen = 10,
};

enum class MessageButtons { kOk, kOkCancel };
enum class MessageIcon { kNone, kInformation, kExclamation };
enum class MessageAnswer { kOk, kCancel };

// Window timer ids.
inline constexpr int kSplashTimer = 1;
inline constexpr int kTraceSampleTimer = 2;
inline constexpr int kZeroDriftTimer = 3;

class Ui {
  public:
    virtual ~Ui() = default;

    // A modal message box. Blocks the calling thread until the user answers.
    virtual MessageAnswer message(std::string_view caption, std::string_view text,
                                  MessageButtons buttons, MessageIcon icon) = 0;

    // Asks for one area of the main window to be drawn; returns at once.
    virtual void repaint(RepaintRequest code) = 0;

    // Installs the menu of the given resource name ("Zyn_Menu", "Trace_Menu_1", ...).
    virtual void install_menu(std::string_view resource_name) = 0;

    // Shows or hides the toolbar of a view mode (0..4).
    virtual void show_toolbar(int view_mode, bool shown) = 0;

    // Enables or greys a menu / toolbar command.
    virtual void enable_command(int command_id, bool enabled) = 0;

    // Main-window timers 1 (splash), 2 (trace sample period), 3 (zero-drift check). Starting a
    // running timer restarts it with the new period.
    virtual void start_timer(int timer_id, int period_ms) = 0;
    virtual void stop_timer(int timer_id) = 0;

    // Closes a modeless panel or a modal dialog by its resource name ("MeasurementControlPanel",
    // "TraceBox", "MeasurementFrequencyBox") if it is open.
    virtual void close_panel(std::string_view resource_name) = 0;

    // Modal progress boxes, one per dialog resource name ("ZeroingProgressBox",
    // "StatsProgressBox", ...), so that the boxes of different jobs never replace each other.
    // progress_open shows the box with the given text and a bar of 0..range, step 1, and
    // returns at once; the box stays up until progress_close with its name. The worker that does
    // the job steps and closes it from its own thread. A box with a BREAK button calls
    // `on_break` (on the GUI thread) when it is pressed.
    virtual void progress_open(std::string_view resource_name, std::string_view text, int range,
                               std::function<void()> on_break = {}) = 0;
    virtual void progress_step(std::string_view resource_name) = 0;
    virtual void progress_close(std::string_view resource_name) = 0;

    // The trace view's two edit boxes on the main window, "LiveReadingBox" (the present power)
    // and "StatusBox" (the trace status text): shown together, and given their texts.
    virtual void show_trace_boxes(bool shown) = 0;
    virtual void set_trace_box_text(std::string_view resource_name, std::string_view text) = 0;

    // The data log's state, shown after the window title (" - Logging: 12 readings", ...;
    // empty while no log runs). Ports that show no title ignore it.
    virtual void log_status(std::string_view status) { (void)status; }

    // File dialogs starting in `initial_folder` with a filter such as "All Files (*.*)".
    // Return the chosen path, or an empty string when the user cancels.
    virtual std::string open_file_dialog(std::string_view initial_folder,
                                         std::string_view filter) = 0;
    virtual std::string save_file_dialog(std::string_view initial_folder,
                                         std::string_view filter) = 0;
};

class Sound {
  public:
    virtual ~Sound() = default;

    // A tone; blocks the calling thread for its duration.
    virtual void beep(int hz, int ms) = 0;

    // Starts playing a WAV file; returns at once. A missing file plays nothing.
    virtual void play_wav(std::string_view path) = 0;
};

} // namespace meterdesk
