#include "meterdesk/factory/test_exec_settings.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/factory/equation_fit.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace meterdesk {

namespace {

void put_double(std::uint8_t *at, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

double get_double(const std::uint8_t *at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool usable_limit(double value) {
    return std::isfinite(value) && value > 0.0;
}

} // namespace

std::filesystem::path test_exec_settings_file() {
    return paths::quorix_root() / "tes.dat";
}

std::array<std::uint8_t, kTestExecFileSize> encode_test_exec_settings(const TestExecSettings &s) {
    std::array<std::uint8_t, kTestExecFileSize> bytes{};
    bytes[0] = s.four_part ? 1 : 0;
    put_double(&bytes[1], s.check_limit_db);
    put_double(&bytes[9], s.warning_limit_dbm);
    bytes[17] = s.play_tune ? 1 : 0;
    return bytes;
}

std::optional<TestExecSettings> decode_test_exec_settings(const std::uint8_t *bytes,
                                                          std::size_t size) {
    if (size < kTestExecFileSize) return std::nullopt;
    TestExecSettings s;
    s.four_part = bytes[0] != 0;
    s.check_limit_db = get_double(bytes + 1);
    s.warning_limit_dbm = get_double(bytes + 9);
    s.play_tune = bytes[17] != 0;
    if (!usable_limit(s.check_limit_db) || !usable_limit(s.warning_limit_dbm)) return std::nullopt;
    return s;
}

TestExecSettings load_test_exec_settings(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> content((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    const auto decoded = decode_test_exec_settings(
        reinterpret_cast<const std::uint8_t *>(content.data()), content.size());
    return decoded.value_or(TestExecSettings{});
}

bool save_test_exec_settings(const std::filesystem::path &file, const TestExecSettings &s) {
    const auto bytes = encode_test_exec_settings(s);
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    return replace_file_contents(file, bytes.data(), bytes.size());
}

TestExecSettings test_exec_settings_of(const AppState &state) {
    return {state.tes_four_part, state.tes_check_limit_db, state.tes_warning_limit_dbm,
            state.tes_play_tune};
}

void set_test_exec_settings(AppState &state, const TestExecSettings &s) {
    state.tes_four_part = s.four_part;
    state.tes_check_limit_db = s.check_limit_db;
    state.tes_warning_limit_dbm = s.warning_limit_dbm;
    state.tes_play_tune = s.play_tune;
}

bool copy_fitter_template(Ui &ui, bool four_part) {
    const std::filesystem::path folder = levmar_folder();
    std::ifstream in(folder / (four_part ? "fn_dn_four_part.dat" : "fn_dn_three_part.dat"),
                     std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in) {
        ui.message("Test Exec (Levmar)",
                   "Missing file\nfn_dn_four_part.dat or\nfn_dn_three_part.dat",
                   MessageButtons::kOk, MessageIcon::kExclamation);
        return false;
    }
    const std::string text = content.str();
    return replace_file_contents(folder / "fn_dn.dat",
                                 reinterpret_cast<const unsigned char *>(text.data()), text.size());
}

} // namespace meterdesk
