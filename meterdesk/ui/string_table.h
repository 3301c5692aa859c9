// The program's string table: the toolbar tooltips by string id.
#pragma once

namespace meterdesk::ui {

// The text of string `id`, or "" for an unknown id.
const char *string_resource(int id);

} // namespace meterdesk::ui
