#include "meterdesk/core/view_menus.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/command_ids.h"

namespace meterdesk {

std::string_view view_menu(const AppState &state, int view) {
    if (view <= 0 || view >= static_cast<int>(kViewModeMenus.size()))
        return state.factory_menu ? kFactoryMenu : kStandardMenu;
    return kViewModeMenus[static_cast<std::size_t>(view)];
}

} // namespace meterdesk
