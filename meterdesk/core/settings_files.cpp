#include "meterdesk/core/settings_files.h"

#include "meterdesk/core/app_state.h"

#include <array>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace meterdesk {

namespace fs = std::filesystem;

namespace {

// A name beside `file` that no other writer uses at the same moment.
fs::path temporary_sibling(const fs::path &file) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto tag = std::to_string(random() & 0xffffffffu);
    return file.parent_path() / ("." + file.filename().string() + "." + tag + ".tmp");
}

void put_le32(unsigned char *out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(u >> (8 * i));
}

std::int32_t get_le32(const unsigned char *in) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

} // namespace

bool replace_file_contents(const fs::path &file, const unsigned char *bytes, std::size_t size) {
    const fs::path temporary = temporary_sibling(file);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char *>(bytes), static_cast<std::streamsize>(size));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, file, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

AppSettings load_app_settings(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return AppSettings{};
    std::array<char, 4> bytes{}; // fields the file does not reach stay 0
    in.read(bytes.data(), bytes.size());
    AppSettings settings;
    settings.play_welcome_tune = bytes[0] != 0;
    settings.temperature_celsius = bytes[1] != 0;
    settings.temp_comp_setting = bytes[2] != 0;
    settings.confirm_exit = bytes[3] != 0;
    return settings;
}

bool save_app_settings(const fs::path &file, const AppSettings &settings) {
    const std::array<unsigned char, 4> bytes = {
        static_cast<unsigned char>(settings.play_welcome_tune),
        static_cast<unsigned char>(settings.temperature_celsius),
        static_cast<unsigned char>(settings.temp_comp_setting),
        static_cast<unsigned char>(settings.confirm_exit)};
    return replace_file_contents(file, bytes.data(), bytes.size());
}

void apply_app_settings(AppState &state, const AppSettings &settings) {
    state.play_welcome_tune = settings.play_welcome_tune;
    state.temperature_celsius = settings.temperature_celsius;
    state.temp_comp_setting = settings.temp_comp_setting;
    state.confirm_exit = settings.confirm_exit;
}

AppSettings app_settings_of(const AppState &state) {
    AppSettings settings;
    settings.play_welcome_tune = state.play_welcome_tune;
    settings.temperature_celsius = state.temperature_celsius;
    settings.temp_comp_setting = state.temp_comp_setting;
    settings.confirm_exit = state.confirm_exit;
    return settings;
}

std::optional<WindowRect> load_window_position(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::array<unsigned char, 16> bytes{};
    in.read(reinterpret_cast<char *>(bytes.data()), bytes.size());
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) return std::nullopt;
    WindowRect rect;
    rect.bottom = get_le32(&bytes[0]);
    rect.left = get_le32(&bytes[4]);
    rect.right = get_le32(&bytes[8]);
    rect.top = get_le32(&bytes[12]);
    // A window of no or negative size cannot be restored, nor one with corners beyond any
    // screen (whose size would not even fit the rectangle's integers); keep the creation
    // rectangle.
    constexpr std::int32_t kFarthest = 1 << 24;
    for (const std::int32_t edge : {rect.bottom, rect.left, rect.right, rect.top}) {
        if (edge < -kFarthest || edge > kFarthest) return std::nullopt;
    }
    if (rect.width() <= 0 || rect.height() <= 0) return std::nullopt;
    return rect;
}

bool save_window_position(const fs::path &file, const WindowRect &rect) {
    std::array<unsigned char, 16> bytes{};
    put_le32(&bytes[0], rect.bottom);
    put_le32(&bytes[4], rect.left);
    put_le32(&bytes[8], rect.right);
    put_le32(&bytes[12], rect.top);
    return replace_file_contents(file, bytes.data(), bytes.size());
}

} // namespace meterdesk
