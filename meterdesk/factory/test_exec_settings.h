// The test exec settings and their file "tes.dat" in the install root (18 bytes,
// little-endian): u8 four-part equation (1) or three-part (0), f64 equation check limit (dB),
// f64 test error warning limit (dBm), u8 play the completion tune.
//
// Defaults, used when the file is missing, short or holds a limit that is not a finite number
// above 0: four-part equation, check limit 0.05 dB, warning limit 0.5 dBm, tune on.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace meterdesk {

struct AppState;
class Ui;

struct TestExecSettings {
    bool four_part = true;
    double check_limit_db = 0.05;
    double warning_limit_dbm = 0.5;
    bool play_tune = true;

    bool operator==(const TestExecSettings &) const = default;
};

inline constexpr std::size_t kTestExecFileSize = 18;

std::filesystem::path test_exec_settings_file(); // "tes.dat" in the install root

std::array<std::uint8_t, kTestExecFileSize> encode_test_exec_settings(const TestExecSettings &s);
// Nothing for a file that is too short or holds an unusable limit.
std::optional<TestExecSettings> decode_test_exec_settings(const std::uint8_t *bytes,
                                                          std::size_t size);

// The file's settings, or the defaults.
TestExecSettings load_test_exec_settings(const std::filesystem::path &file);
// Through a temporary file and a rename; false (the old file kept) on failure.
bool save_test_exec_settings(const std::filesystem::path &file, const TestExecSettings &s);

// The settings in AppState (loaded at start-up, changed by TestExecSettingsBox).
TestExecSettings test_exec_settings_of(const AppState &state);
void set_test_exec_settings(AppState &state, const TestExecSettings &s);

// Copies the fitter model template of the chosen form ("fn_dn_four_part.dat" or
// "fn_dn_three_part.dat") to "fn_dn.dat" in the Levmar folder. A missing template shows
// "Missing file\nfn_dn_four_part.dat or\nfn_dn_three_part.dat" (title "Test Exec (Levmar)").
bool copy_fitter_template(Ui &ui, bool four_part);

} // namespace meterdesk
