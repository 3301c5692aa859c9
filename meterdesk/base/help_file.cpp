#include "meterdesk/base/help_file.h"

#include <array>
#include <system_error>

namespace meterdesk {
namespace {

constexpr std::array<HelpTopic, 6> kHelpTopics = {{
    {0, "hts1.dat", "Zyn Quorix USB Power Sensor"},
    {1, "hs2.dat", "Measurement Control Panel"},
    {2, "hs4.dat", "Microwave Parameter Calculator"},
    {3, "hs3.dat", "VSWR Mismatch Calculator"},
    {9, "hs20.dat", "Sensor Test Procedure"},
    {10, "hs5.dat", "Trace"},
}};

constexpr std::size_t kCopyChunk = 64 * 1024;

} // namespace

void scramble_help_bytes(std::span<char> bytes, std::uint8_t key) {
    for (char &c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
}

bool scramble_help_file(const std::filesystem::path &from, const std::filesystem::path &to,
                        std::string &error, std::uint8_t key) {
    std::error_code ec;
    if (std::filesystem::equivalent(from, to, ec)) {
        error = "input and output are the same file: " + from.string();
        return false;
    }
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        error = "cannot open " + from.string() + " for reading";
        return false;
    }
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot create " + to.string();
        return false;
    }
    std::string buffer(kCopyChunk, '\0');
    for (;;) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<std::size_t>(in.gcount());
        if (count == 0) break;
        scramble_help_bytes(std::span<char>(buffer.data(), count), key);
        out.write(buffer.data(), static_cast<std::streamsize>(count));
        if (!out) break;
    }
    const bool read_ok = !in.bad();
    out.close();
    if (!read_ok || !out) {
        error = read_ok ? "cannot write " + to.string() : "cannot read " + from.string();
        std::filesystem::remove(to, ec);
        return false;
    }
    return true;
}

void HelpStreamReader::arm(std::filesystem::path path, int cookie) {
    // A topic shown while another document is open must start from its own first byte.
    if (file_.is_open()) file_.close();
    path_ = std::move(path);
    cookie_ = cookie;
    open_on_next_read_ = true;
}

HelpStreamReader::Chunk HelpStreamReader::read(std::span<char> buffer) {
    if (open_on_next_read_) {
        file_.clear();
        file_.open(path_, std::ios::binary);
        if (!file_.is_open()) return {true, 0};
        open_on_next_read_ = false;
    }
    if (!file_.is_open() || buffer.empty()) return {false, 0};
    file_.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = file_.gcount();
    if (got <= 0) {
        file_.close(); // end of the document
        return {false, 0};
    }
    const auto count = static_cast<std::size_t>(got);
    scramble_help_bytes(buffer.first(count));
    return {false, count};
}

void HelpStreamReader::close() {
    if (file_.is_open()) file_.close();
    open_on_next_read_ = true;
}

std::optional<HelpTopic> help_topic(int index) {
    for (const HelpTopic &topic : kHelpTopics)
        if (topic.index == index) return topic;
    return std::nullopt;
}

std::string help_window_title(const HelpTopic &topic) {
    return "Help for " + std::string(topic.caption);
}

HelpMissingWarning application_help_missing(const HelpTopic &topic) {
    return {std::string(topic.caption), "Cant find help file"};
}

HelpMissingWarning installer_help_missing() {
    return {"Zyn Quorix Sensor Installation", "Can't find help file"};
}

} // namespace meterdesk
