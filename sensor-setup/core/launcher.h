// Launchers: the freedesktop desktop entries that stand for the shortcuts of the installation,
// one on the user's desktop and one in the applications menu.
#pragma once

#include <filesystem>
#include <string>

namespace sensor_setup {

namespace fs = std::filesystem;

// "org.rfsense." + the application's file stem + ".desktop". For meterdesk this is the id of the
// packaged entry, which the user's own launcher then shadows.
std::string launcher_file_name(const fs::path &application);

// One argument of an Exec key: quoted when it holds a reserved character, with '"', '`', '$'
// and '\' escaped inside the quotes; '%' doubled. The result is still to be escaped as a
// string value (escape_string_value) when it is written.
std::string exec_argument(const std::string &argument);

// A string value of a desktop entry: '\' doubled, newline, tab and carriage return escaped.
std::string escape_string_value(const std::string &value);

// The whole entry for `application`, run in `working_folder`.
std::string desktop_entry(const fs::path &application, const fs::path &working_folder);

// Permission bits: a launcher on the desktop is executable (desktops run only trusted,
// executable launchers); the one in the menu is not.
inline constexpr unsigned kDesktopLauncherMode = 0755;
inline constexpr unsigned kMenuLauncherMode = 0644;

} // namespace sensor_setup
