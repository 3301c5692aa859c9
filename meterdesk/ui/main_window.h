// MainWindow: the meter's main window. A fixed-size frame holding the menu bar and the client
// area, which shows the persistent backing image the screens are drawn into; the toolbar of
// the current view mode lies across the client area's top. It owns the menus (installed by
// resource name from static tables), the toolbars, the window timers 1, 2 and 3, the keyboard
// shortcuts and the exit sequence, and hands every command to its CommandHandler.
//
// Repaint requests may come from any thread: they wait in a RepaintQueue and are drawn on the
// GUI thread at most once per frame, then the client area is updated.
#pragma once

#include "meterdesk/core/ports.h"
#include "meterdesk/ui/command_handler.h"
#include "meterdesk/ui/menu_tables.h"
#include "meterdesk/ui/repaint_queue.h"
#include "meterdesk/ui/screen_painter.h"
#include "meterdesk/ui/screen_resources.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QShortcut;

namespace meterdesk {
struct AppState;
}

namespace meterdesk::ui {

class ScreenWidget;
class ToolbarSet;

inline constexpr const char *kWindowTitle = "Zyn Quorix USB Power Sensor";
// The client area of the 600 x 325 window below its menu bar.
inline constexpr int kClientWidth = 594;
inline constexpr int kClientHeight = 281;

struct MainWindowOptions {
    int frame_interval_ms = 16; // repaints are drawn at most this often
    int splash_period_ms = -1;  // >= 0: replaces the splash timer's period (tests, demos)
};

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(AppState &state, Ui &ui, MainWindowOptions options = {});
    ~MainWindow() override;

    // Also decides which commands have something to do: the others are greyed (see
    // command_enabled).
    void set_command_handler(CommandHandler *handler);
    // Called after a frame whose drawing found a limit alarm or overload with its beep on.
    void set_alarm_wake(std::function<void()> wake) { alarm_wake_ = std::move(wake); }

    // --- driven by the Ui port (GUI thread, except request_repaint) ---
    void request_repaint(RepaintRequest code); // any thread
    void install_menu(std::string_view resource_name);
    // A command placed last on the menu bar of every menu installed from now on (and of the
    // one installed now): the simulated-source panel's.
    void set_trailing_menu_entry(std::string text, int command_id);
    void show_toolbar(int view_mode, bool shown);
    // The trace view's edit boxes "LiveReadingBox" and "StatusBox".
    void show_trace_boxes(bool shown);
    // The data log's state after the title (empty: none).
    void set_log_status(const QString &status);
    void set_trace_box_text(std::string_view resource_name, const QString &text);
    // Enables or greys a command (with the toolbar button that gives it too). A command the
    // handler cannot carry out stays greyed whatever this says.
    void set_command_enabled(int command_id, bool enabled);
    // Applies the handler's view of what it can do again to every menu item, toolbar button
    // and key (a panel or dialog was registered).
    void refresh_commands();
    void start_timer(int timer_id, int period_ms);
    void stop_timer(int timer_id);

    // --- window ---
    // "Exit" (40007): asks "OK to exit?" with confirm_exit; otherwise saves the position.
    void exit_command();
    // Moves the window to the position "pos.dat" holds, if any, kept inside the available area
    // of the screens.
    void restore_position();
    void save_position() const;
    // "R": clears the client area and redraws the screens that are up.
    void replay_screens();
    // Draws the waiting repaint requests now.
    void flush_repaints();

    // --- inspection (tests, printing, benchmarks) ---
    const QImage &backing_image() const { return image_; }
    ScreenPainter &painter() { return painter_; }
    const ScreenResources &resources() const { return resources_; }
    ToolbarSet &toolbars() { return *toolbars_; }
    QWidget *screen() const;
    QAction *menu_action(int command_id) const; // in the installed menu
    const std::string &installed_menu() const { return installed_menu_; }
    // The command is enabled: it has something to do and is not greyed for want of a sensor.
    bool command_enabled(int command_id) const;
    // The key's shortcut; disabled while its panel or dialog is not there.
    QShortcut *shortcut(Shortcut key) const;
    bool repaints_pending() const { return !queue_.empty(); }
    bool timer_active(int timer_id) const;
    // The two read-only edit boxes of the trace screens: 0 at (260, 4), 1 at (510, 6).
    QLineEdit *trace_edit(int index) const;

  signals:
    // The window has been closed for good: the program ends.
    void quit_requested();

  protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    // Moves the window inside the available area of the screens when it is not.
    void keep_on_screen();
    void schedule_flush();
    void dispatch(int command_id);
    void timer_fired(int timer_id);
    QAction *make_menu_action(std::string_view text, int command_id, QObject *parent);
    void add_menu_entries(QMenu &menu, const std::vector<MenuEntry> &entries);

    AppState &state_;
    Ui &ui_;
    const MainWindowOptions options_;
    CommandHandler *handler_ = nullptr;
    std::function<void()> alarm_wake_;

    const ScreenResources resources_;
    QImage image_;
    ScreenPainter painter_;
    ScreenWidget *screen_ = nullptr;
    std::unique_ptr<ToolbarSet> toolbars_;
    std::array<QLineEdit *, 2> trace_edits_{};

    RepaintQueue queue_;
    QTimer frame_timer_;
    QElapsedTimer since_flush_;

    std::array<QTimer, 3> timers_; // window timers 1, 2, 3

    std::string installed_menu_;
    std::optional<std::pair<std::string, int>> trailing_entry_;
    std::vector<QPointer<QObject>> menu_objects_;
    std::multimap<int, QPointer<QAction>> menu_actions_;
    std::set<int> disabled_; // greyed by set_command_enabled
    std::map<Shortcut, QShortcut *> shortcuts_;

    bool closing_confirmed_ = false;
    bool placed_ = false; // kept on screen at the first show
};

} // namespace meterdesk::ui
