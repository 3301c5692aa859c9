// The two small state files that survive between runs: "AppSettings.dat" (four user options)
// and "pos.dat" (the main window's restored rectangle).
//
// Loads never fail visibly: a missing file gives the defaults. Saves write a temporary file in
// the same folder and rename it over the old one, so a failed or interrupted write leaves the
// previous file intact; they report success for callers that care, and the application ignores
// it (write failures are silent).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace meterdesk {

struct AppState;

inline constexpr const char *kAppSettingsFileName = "AppSettings.dat";
inline constexpr const char *kWindowPositionFileName = "pos.dat";

// The four user options, in file order (one byte each, 0 or 1).
struct AppSettings {
    bool play_welcome_tune = true;
    bool temperature_celsius = true;
    bool temp_comp_setting = false;
    bool confirm_exit = false;

    friend bool operator==(const AppSettings &, const AppSettings &) = default;
};

// Reads "AppSettings.dat". No file: the defaults above. A short file leaves the fields it does
// not reach at 0.
AppSettings load_app_settings(const std::filesystem::path &file);

// Writes the four bytes. Returns false (and keeps any previous file) when the write fails.
bool save_app_settings(const std::filesystem::path &file, const AppSettings &settings);

// Copies between the file record and the live AppState fields.
void apply_app_settings(AppState &state, const AppSettings &settings);
AppSettings app_settings_of(const AppState &state);

// The main window's normal rectangle in screen coordinates, as stored in "pos.dat": four
// little-endian signed 32-bit values in the order bottom, left, right, top.
struct WindowRect {
    std::int32_t bottom = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    friend bool operator==(const WindowRect &, const WindowRect &) = default;
};

// The rectangle the main window is created with when "pos.dat" gives none.
inline constexpr WindowRect kDefaultWindowRect{250 + 325, 300, 300 + 600, 250};

// Reads "pos.dat". Returns nothing when the file is missing, shorter than 16 bytes, or holds a
// rectangle without area or with a corner more than 2^24 pixels out (the window then keeps its
// creation rectangle).
std::optional<WindowRect> load_window_position(const std::filesystem::path &file);

// Writes the 16 bytes. Returns false (and keeps any previous file) when the write fails.
bool save_window_position(const std::filesystem::path &file, const WindowRect &rect);

// Writes `size` bytes to `file` through a temporary file in the same folder that is renamed
// over it; the old file stays untouched unless the whole new content was written.
bool replace_file_contents(const std::filesystem::path &file, const unsigned char *bytes,
                           std::size_t size);

} // namespace meterdesk
