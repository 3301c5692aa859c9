#include "meterdesk/factory/fit_archive.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/factory/equation_fit.h"

#include <fstream>
#include <optional>
#include <sstream>

namespace meterdesk {

namespace {

std::optional<std::string> read_text(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first `count` lines, each ended by a line feed.
std::string first_lines(const std::string &text, int count) {
    std::istringstream in(text);
    std::string out;
    std::string line;
    for (int i = 0; i < count && std::getline(in, line); ++i) out += line + "\n";
    return out;
}

bool store(const std::filesystem::path &folder, const std::string &serial,
           const std::string &text) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return replace_file_contents(folder / (serial + ".txt"),
                                 reinterpret_cast<const unsigned char *>(text.data()), text.size());
}

} // namespace

int archive_fit(bool marrick, const std::string &serial, bool four_part) {
    const std::filesystem::path root = paths::test_root(marrick);
    const auto prams = read_text(levmar_folder() / "fn_dn_ou.dat");
    if (!prams) return 0;
    const std::string archived = four_part
                                     ? *prams
                                     : first_lines(*prams, 7) + "1           1           0\n" +
                                           "0                     1                 1\n";
    if (!store(paths::resolve(root, "Equation Parameters"), serial, archived)) return 0;
    const auto report = read_text(levmar_folder() / "fn_result.dat");
    if (!report) return 1;
    return store(paths::resolve(root, "Equation Fit"), serial, *report) ? 2 : 1;
}

} // namespace meterdesk
