#include "meterdesk/ui/panel_registry.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace meterdesk::ui {

const std::vector<std::string_view> &PanelRegistry::startup_order() {
    static const std::vector<std::string_view> order = {
        kControlPanel,
        kTraceBox,
        kTraceMarkersBox,
        kStatsBox,
        kHelpBox,
        kPowerUnitsConverterBox,
        kMicrowaveCalculatorBox,
        kMismatchCalculatorBox,
        kAppSettingsBoxNew,
        kAppSettingsBox,
    };
    return order;
}

void PanelRegistry::add_panel(std::string name, PanelHooks hooks) {
    Entry *entry = find(name);
    if (entry != nullptr) {
        entry->hooks = std::move(hooks);
    } else {
        panels_.emplace_back(std::move(name), Entry{std::move(hooks), nullptr});
        entry = &panels_.back().second;
    }
    // Registered after start-up: made now, as the others were then.
    if (created_) create(*entry);
    if (on_change_) on_change_();
}

void PanelRegistry::add_dialog(int command_id, DialogRunner runner) {
    dialogs_[command_id] = std::move(runner);
    if (on_change_) on_change_();
}

void PanelRegistry::create(Entry &entry) {
    if (entry.widget != nullptr || !entry.hooks.create) return;
    entry.widget = entry.hooks.create(owner_);
    if (entry.widget != nullptr) entry.widget->hide();
}

void PanelRegistry::create_panels(QWidget *owner) {
    if (created_) return;
    created_ = true;
    owner_ = owner;
    for (std::string_view name : startup_order()) {
        if (Entry *entry = find(name)) create(*entry);
    }
    for (auto &[name, entry] : panels_) create(entry);
}

namespace {

template <typename Panels>
auto *find_entry(Panels &panels, std::string_view name) {
    auto it = std::find_if(panels.begin(), panels.end(),
                           [name](const auto &item) { return item.first == name; });
    return it == panels.end() ? nullptr : &it->second;
}

} // namespace

PanelRegistry::Entry *PanelRegistry::find(std::string_view name) {
    return find_entry(panels_, name);
}

const PanelRegistry::Entry *PanelRegistry::find(std::string_view name) const {
    return find_entry(panels_, name);
}

QWidget *PanelRegistry::panel(std::string_view name) const {
    const Entry *entry = find(name);
    return entry == nullptr ? nullptr : entry->widget;
}

bool PanelRegistry::has_dialog(int command_id) const {
    auto it = dialogs_.find(command_id);
    return it != dialogs_.end() && it->second;
}

bool PanelRegistry::has_panel(std::string_view name) const {
    const Entry *entry = find(name);
    return entry != nullptr && (entry->widget != nullptr || entry->hooks.create);
}

bool PanelRegistry::show_panel(std::string_view name) {
    Entry *entry = find(name);
    if (entry == nullptr || entry->widget == nullptr) return false;
    if (entry->hooks.show) {
        entry->hooks.show(*entry->widget);
    } else {
        entry->widget->show();
        entry->widget->raise();
        entry->widget->activateWindow();
    }
    return true;
}

void PanelRegistry::close_panel(std::string_view name) {
    if (QWidget *widget = panel(name)) {
        widget->hide();
        return;
    }
    // A modal dialog of that resource name on screen ends as by its close button.
    const QString object_name = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == object_name) widget->close();
    }
}

bool PanelRegistry::is_open(std::string_view name) const {
    const QWidget *widget = panel(name);
    return widget != nullptr && widget->isVisible();
}

bool PanelRegistry::send_command(std::string_view name, int command) {
    Entry *entry = find(name);
    if (entry == nullptr || entry->widget == nullptr) return false;
    if (entry->hooks.command) entry->hooks.command(*entry->widget, command);
    return true;
}

bool PanelRegistry::run_dialog(int command_id, QWidget *owner) const {
    auto it = dialogs_.find(command_id);
    if (it == dialogs_.end() || !it->second) return false;
    it->second(owner);
    return true;
}

} // namespace meterdesk::ui
