#include "meterdesk/ui/string_table.h"

#include <map>

namespace meterdesk::ui {

const char *string_resource(int id) {
    static const std::map<int, const char *> strings = {
        {40086, "Launches the measurement control panel"},
        {40087, "Performs sensor zero"},
        {40088, "Allows the measurement frequency to be set"},
        {40089, "Sets measurement mode (toggles between log and linear)"},
        {40090, "Changes the display setup (toggles through numeric, meter and both)"},
        {40091, "Launches the trace control panel"},
        {40093, "Allows the current application setup to be saved in a file"},
        {40094, "Allows an application setup to be recalled from a file"},
        {40095, "Displays the application help file"},
        {40096, "Launches the trace settings dialog window"},
        {40097, "Stops the trace"},
        {40098, "Launches the trace control panel"},
        {40099, "Launches the trace markers dialog window"},
        {40100, "Exits trace mode and returns to measurement mode"},
        {40101, "Launches the trace control panel"},
        {40102, "Exits trace mode and returns to measurement mode"},
        {40103, "Launches the stats control panel"},
        {40104, "Exits stats mode and returns to measurement mode"},
        {40105, "Sets measurement resolution (toggles through 0, 1, 2 and 3 places)"},
        {40106, "Starts trace"},
        {40107, "Prints trace screen"},
        {40108, "Prints the measurement screen"},
        {40109, "Prints stats screen"},
    };
    auto it = strings.find(id);
    return it == strings.end() ? "" : it->second;
}

} // namespace meterdesk::ui
