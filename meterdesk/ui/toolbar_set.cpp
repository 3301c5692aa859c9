#include "meterdesk/ui/toolbar_set.h"

#include "meterdesk/ui/string_table.h"
#include "meterdesk/ui/toolbar_icons.h"

#include <QAction>
#include <QToolBar>

namespace meterdesk::ui {

const std::vector<ToolbarButton> &toolbar_buttons(int view_mode) {
    static const std::vector<std::vector<ToolbarButton>> buttons = {
        {{9000, 40086},
         {9001, 40087},
         {9002, 40088},
         {9003, 40089},
         {9004, 40090},
         {9005, 40105},
         {9006, 40091},
         {9008, 40093},
         {9009, 40094},
         {9010, 40108},
         {9011, 40095}},
        {{9020, 40096}, {9021, 40097}},
        {{9025, 40098}, {9026, 40099}, {9027, 40106}, {9028, 40107}, {9029, 40100}},
        {{9030, 40101}, {9031, 40102}},
        {{9035, 40103}, {9036, 40109}, {9037, 40104}},
    };
    static const std::vector<ToolbarButton> none;
    if (view_mode < 0 || view_mode >= static_cast<int>(buttons.size())) return none;
    return buttons[static_cast<std::size_t>(view_mode)];
}

ToolbarSet::ToolbarSet(QWidget &parent, std::function<void(int)> on_command) {
    for (int mode = 0; mode < kToolbarCount; ++mode) {
        auto *bar = new QToolBar(&parent);
        bar->setObjectName(QStringLiteral("toolbar%1").arg(mode));
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setGeometry(0, 0, parent.width(), kToolbarHeight);
        for (const ToolbarButton &button : toolbar_buttons(mode)) {
            QAction *action = bar->addAction(toolbar_icon(button.command_id), QString());
            action->setObjectName(QStringLiteral("id%1").arg(button.command_id));
            action->setToolTip(QString::fromUtf8(string_resource(button.tooltip_id)));
            action->setData(button.command_id);
            QObject::connect(action, &QAction::triggered,
                             [on_command, id = button.command_id] { on_command(id); });
            actions_.emplace(button.command_id, action);
        }
        bar->setVisible(mode == 0);
        toolbars_.push_back(bar);
    }
}

QToolBar *ToolbarSet::toolbar(int view_mode) const {
    if (view_mode < 0 || view_mode >= kToolbarCount) return nullptr;
    return toolbars_[static_cast<std::size_t>(view_mode)];
}

void ToolbarSet::set_shown(int view_mode, bool shown) {
    if (QToolBar *bar = toolbar(view_mode)) bar->setVisible(shown);
}

void ToolbarSet::set_enabled(int command_id, bool enabled) {
    auto [first, last] = actions_.equal_range(command_id);
    for (auto it = first; it != last; ++it) it->second->setEnabled(enabled);
}

QAction *ToolbarSet::action(int command_id) const {
    auto it = actions_.find(command_id);
    return it == actions_.end() ? nullptr : it->second;
}

void ToolbarSet::set_width(int width) {
    for (QToolBar *bar : toolbars_) bar->setGeometry(0, 0, width, kToolbarHeight);
}

} // namespace meterdesk::ui
