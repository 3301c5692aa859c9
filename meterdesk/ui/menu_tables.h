// The main window's menus, as static tables keyed by resource name ("Zyn_Menu", ...).
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace meterdesk::ui {

// One entry of a menu: a command (id != 0), a separator (no text), or a submenu (items).
struct MenuEntry {
    MenuEntry() = default; // a separator
    MenuEntry(std::string_view entry_text, int command_id) : text(entry_text), id(command_id) {}
    MenuEntry(std::string_view entry_text, std::vector<MenuEntry> entries)
        : text(entry_text), items(std::move(entries)) {}

    std::string_view text;
    int id = 0;
    std::vector<MenuEntry> items;

    bool separator() const { return text.empty(); }
    bool submenu() const { return !items.empty(); }
};

// The top-level entries of a menu resource: pull-down menus, or commands placed directly on
// the menu bar. nullptr for an unknown name.
const std::vector<MenuEntry> *menu_resource(std::string_view name);

// Every menu resource the window can install.
std::vector<std::string_view> menu_resource_names();

// The toolbar button that gives the same command as a menu item (0 when none): greying one
// greys both.
int toolbar_twin(int command_id);

} // namespace meterdesk::ui
