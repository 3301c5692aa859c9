#include "meterdesk/ui/menu_tables.h"

#include <map>
#include <string>

namespace meterdesk::ui {
namespace {

const MenuEntry kSeparator;

using Menus = std::map<std::string, std::vector<MenuEntry>, std::less<>>;

// The pull-down menus of the measurement view, Help last.
std::vector<MenuEntry> measurement_menus() {
    return {
        {"&File",
         {{"Save Setup...", 40014},
          {"Recall Setup...", 40036},
          kSeparator,
          {"Start Data Log...", 40160},
          {"Stop Data Log", 40161},
          kSeparator,
          {"Firmware Download...", 40030},
          kSeparator,
          {"Print", 40136},
          kSeparator,
          {"Exit", 40007}}},
        {"&Measurement",
         {{"Control Panel...", 40047},
          kSeparator,
          {"Zero Sensor", 40011},
          kSeparator,
          {"Preset", 40131}}},
        {"&Tools",
         {{"Trace...", 40033},
          kSeparator,
          {"Stats...", 40017},
          kSeparator,
          {"Calculators",
           {{"VSWR Mismatch", 40077}, {"Parameters", 40078}, {"Power Units Converter", 40080}}}}},
        {"&Help",
         {{"USB Power Sensor Help", 40051}, {"Sensor Details", 40066}, {"About...", 40009}}},
    };
}

// The factory's menu: the measurement view's, with the calibration, system and test tools
// before Help.
std::vector<MenuEntry> factory_menus() {
    std::vector<MenuEntry> entries = measurement_menus();
    const MenuEntry help = entries.back();
    entries.pop_back();
    entries.push_back({"&Settings",
                       {{"Freq/Cal Table", 40045},
                        {"Filter Settings...", 40041},
                        {"Temperature Compensation...", 40034},
                        {"Linearity Correction...", 40139},
                        {"Moving Filter Size (FILO)...", 40153},
                        kSeparator,
                        {"Equation Parameters...", 40057},
                        {"Test Exec Settings...", 40089}}});
    entries.push_back({"&System",
                       {{"Calibration Date Stamps...", 40082},
                        {"Diode Serial Number...", 40064},
                        kSeparator,
                        {"Program USB EE...", 40060}}});
    entries.push_back({"&Test",
                       {{"Control Panel ...", 40067},
                        {"Trace Data Collection...", 40035},
                        kSeparator,
                        {"Program uController FLASH...", 40059}}});
    entries.push_back(help);
    return entries;
}

const Menus &menus() {
    static const Menus table = {
        {"Zyn_Menu", measurement_menus()},
        {"QUORIX_USB_POWER_SENSOR", factory_menus()},
        // The trace and statistics views put their commands directly on the menu bar.
        {"Trace_Menu_1", {{"Settings...", 40127}, {"Stop", 40128}}},
        {"Trace_Menu_2",
         {{"Control...", 40033},
          {"Markers...", 40129},
          {"Start", 1111},
          {"Print", 40136},
          {"Exit", 40114}}},
        {"Trace_Menu_3", {{"Control...", 40033}, {"Exit", 40114}}},
        {"Stats_Menu", {{"Control...", 40017}, {"Print", 40136}, {"Exit", 40119}}},
    };
    return table;
}

} // namespace

const std::vector<MenuEntry> *menu_resource(std::string_view name) {
    const Menus &table = menus();
    auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}

std::vector<std::string_view> menu_resource_names() {
    std::vector<std::string_view> names;
    for (const auto &[name, entries] : menus()) names.emplace_back(name);
    return names;
}

int toolbar_twin(int command_id) {
    static const std::map<int, int> twins = {
        {40047, 9000}, {40011, 9001}, {40033, 9006}, {40014, 9008},
        {40036, 9009}, {40136, 9010}, {40051, 9011},
    };
    auto it = twins.find(command_id);
    return it == twins.end() ? 0 : it->second;
}

} // namespace meterdesk::ui
