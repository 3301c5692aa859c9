#include "meterdesk/factory/intel_hex.h"

namespace meterdesk::factory {
namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

// The record of one line, or the reason it is none.
std::optional<std::string> parse_record(std::string_view line, HexRecord &record) {
    constexpr const char *kNotARecord = "not an Intel HEX record";
    if (line.size() < 11 || line.front() != ':' || (line.size() - 1) % 2 != 0) return kNotARecord;
    std::vector<std::uint8_t> bytes;
    bytes.reserve((line.size() - 1) / 2);
    for (std::size_t i = 1; i + 1 < line.size(); i += 2) {
        const int high = hex_digit(line[i]);
        const int low = hex_digit(line[i + 1]);
        if (high < 0 || low < 0) return kNotARecord;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    const std::size_t count = bytes[0];
    if (bytes.size() != count + 5) return "byte count does not match the record length";
    unsigned sum = 0;
    for (std::uint8_t byte : bytes) sum += byte;
    if ((sum & 0xFF) != 0) return "checksum error";
    record.address = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
    record.type = bytes[3];
    record.data.assign(bytes.begin() + 4, bytes.end() - 1);
    return std::nullopt;
}

} // namespace

HexReadResult read_intel_hex(std::string_view content) {
    HexReadResult result;
    int line_number = 0;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (blank(line)) continue;
        HexRecord record;
        record.line = line_number;
        record.text = std::string(line);
        if (auto reason = parse_record(line, record)) {
            result.error = HexError{line_number, *reason};
            return result;
        }
        result.records.push_back(std::move(record));
    }
    return result;
}

} // namespace meterdesk::factory
