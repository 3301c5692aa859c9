// The 16 x 16 toolbar button pictures, drawn once at start-up.
#pragma once

#include <QIcon>

namespace meterdesk::ui {

// The picture of a toolbar command (9000 control panel, 9001 zero, ...); a plain square for
// an unknown id.
QIcon toolbar_icon(int command_id);

} // namespace meterdesk::ui
