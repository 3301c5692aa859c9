// The menu resource of each view mode: the measurement view's is the standard menu, or the
// factory menu when the meter was started for the factory; the trace and statistics views
// have their own.
#pragma once

#include <string_view>

namespace meterdesk {

struct AppState;

inline constexpr std::string_view kStandardMenu = "Zyn_Menu";
inline constexpr std::string_view kFactoryMenu = "QUORIX_USB_POWER_SENSOR";

// The menu of view mode `view` (0 measurement, 1..3 trace, 4 statistics); an unknown view gets
// the measurement view's.
std::string_view view_menu(const AppState &state, int view);

} // namespace meterdesk
