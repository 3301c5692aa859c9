// The Intel HEX record reader shared by the firmware download and the FLASH programmer.
//
// It checks only the record syntax of each line; which record types, addresses and orders a
// file may have is each tool's own check on the records it returns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk::factory {

// The record types.
namespace hex_type {
inline constexpr std::uint8_t kData = 0x00;
inline constexpr std::uint8_t kEndOfFile = 0x01;
inline constexpr std::uint8_t kSegmentAddress = 0x02; // extended segment address
inline constexpr std::uint8_t kStartSegment = 0x03;
inline constexpr std::uint8_t kLinearAddress = 0x04; // extended linear address
inline constexpr std::uint8_t kStartLinear = 0x05;
} // namespace hex_type

struct HexRecord {
    int line = 0;              // 1-based line number in the file
    std::uint8_t type = 0;     // 00 data, 01 end of file, 02..05 address records
    std::uint16_t address = 0; // the record's 16-bit load offset
    std::vector<std::uint8_t> data;
    std::string text; // the line as read, without its line end
};

struct HexError {
    int line = 0;
    std::string reason; // "checksum error", ...
};

struct HexReadResult {
    std::vector<HexRecord> records;
    std::optional<HexError> error; // the first line that is not a valid record
};

// Reads every record of `content`. Lines end in LF (a CR before it is dropped); empty or blank
// lines are skipped. A line must be ':' followed by an even number of hex digits: byte count,
// address (2 bytes), type, data and a checksum that makes the sum of all bytes 0 modulo 256.
// Reading stops at the first line that is not such a record.
HexReadResult read_intel_hex(std::string_view content);

} // namespace meterdesk::factory
