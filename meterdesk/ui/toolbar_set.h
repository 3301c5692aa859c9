// ToolbarSet: the main window's five toolbars, one per view mode; only the toolbar of the
// current view mode is shown. The buttons carry 16 x 16 pictures and the tooltips of the
// string table, and give their command ids to the window's dispatcher.
#pragma once

#include <functional>
#include <map>
#include <vector>

class QAction;
class QToolBar;
class QWidget;

namespace meterdesk::ui {

struct ToolbarButton {
    int command_id;
    int tooltip_id; // string table
};

// The buttons of view modes 0..4.
const std::vector<ToolbarButton> &toolbar_buttons(int view_mode);

inline constexpr int kToolbarCount = 5;
inline constexpr int kToolbarHeight = 28;

class ToolbarSet {
  public:
    // The toolbars are children of `parent`, across its top; toolbar 0 is shown.
    ToolbarSet(QWidget &parent, std::function<void(int command_id)> on_command);

    QToolBar *toolbar(int view_mode) const;
    void set_shown(int view_mode, bool shown);
    // Enables or greys every button of this command.
    void set_enabled(int command_id, bool enabled);
    QAction *action(int command_id) const; // the first button of this command
    // Lays the toolbars across a new width.
    void set_width(int width);

  private:
    std::vector<QToolBar *> toolbars_;
    std::multimap<int, QAction *> actions_;
};

} // namespace meterdesk::ui
