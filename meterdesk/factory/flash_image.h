// The FLASH programmer's image: an Intel HEX file checked as a whole before a byte goes to the
// programmer, and turned into the programmer's packets line by line.
//
// Accepted: data records of at most 16 bytes at program-memory addresses that are multiples of
// 16 and ascending; records at 4xxx (configuration words, such as 0x400E), sent as data-word
// packets and exempt from the address rules; extended linear address records of address 0;
// start records (types 03 and 05, which carry nothing to program); one end record, last.
#pragma once

#include "meterdesk/factory/intel_hex.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk {

using Packet = std::vector<std::uint8_t>;

inline constexpr std::size_t kMaxFlashFileBytes = 1 << 20;

// The identity query and the end packet.
const Packet &identity_query_packet();
const Packet &end_packet();

struct FlashLine {
    int line = 0;                // line number in the file
    std::vector<Packet> packets; // what this line sends (may be none)
};

struct FlashImage {
    std::vector<FlashLine> lines; // every record, in file order
    int file_lines = 0;           // lines in the file, for "line %d of %d"
    std::size_t packet_count = 0; // every packet, the end packet included
    // Lines of records at 4xxx that hold more than one word: only the first word is sent.
    std::vector<int> multiword_lines;
};

struct FlashImageError {
    int line = 0;
    std::string reason;
};

struct FlashImageResult {
    std::optional<FlashImage> image;
    std::optional<FlashImageError> error;
};

// Checks the whole file and builds its packets.
FlashImageResult build_flash_image(std::string_view content);

// "Bad HEX file: line %d <reason>.\n\nNothing was programmed."
std::string bad_hex_file_text(const FlashImageError &error);

} // namespace meterdesk
