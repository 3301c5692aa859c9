#include "sensor-setup/core/launcher.h"

#include <string_view>

namespace sensor_setup {
namespace {

// Characters that make an Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
// Characters escaped with a backslash inside the quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

} // namespace

std::string launcher_file_name(const fs::path &application) {
    return "org.rfsense." + application.stem().string() + ".desktop";
}

std::string exec_argument(const std::string &argument) {
    const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
    std::string out;
    if (quote) out.push_back('"');
    for (char c : argument) {
        if (c == '%') {
            out += "%%";
            continue;
        }
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) out.push_back('\\');
        out.push_back(c);
    }
    if (quote) out.push_back('"');
    return out;
}

std::string escape_string_value(const std::string &value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string desktop_entry(const fs::path &application, const fs::path &working_folder) {
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=" + escape_string_value(application.stem().string()) + "\n";
    text += "Comment=Power Sensor\n";
    text += "Exec=" + escape_string_value(exec_argument(application.string())) + "\n";
    text += "Path=" + escape_string_value(working_folder.string()) + "\n";
    text += "Icon=org.rfsense.meterdesk\n";
    text += "Categories=Science;Electronics;\n";
    return text;
}

} // namespace sensor_setup
