// Messages to the user on standard error, prefixed with the program name like other Unix tools.
#pragma once

#include <string>

namespace rfsense::cli {

void report_error(const std::string &message);
void report_warning(const std::string &message);
// What the user can do next, below an error: each line of `text` indented by two spaces.
void report_hint(const std::string &text);

} // namespace rfsense::cli
