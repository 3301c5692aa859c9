#include "meterdesk/factory/flash_image.h"

#include <algorithm>
#include <cstdio>

namespace meterdesk {

namespace {

using namespace factory::hex_type;
constexpr std::size_t kRowBytes = 16;

const Packet kSkip = {0x08, 0x87, 0x00, 0x82};

bool configuration_address(std::uint16_t address) {
    return (address & 0xF000) == 0x4000; // the address's first hex digit is 4
}

std::string hex_word(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
    return text;
}

int count_lines(std::string_view content) {
    if (content.empty()) return 0;
    const auto breaks = std::count(content.begin(), content.end(), '\n');
    return static_cast<int>(breaks) + (content.back() == '\n' ? 0 : 1);
}

} // namespace

const Packet &identity_query_packet() {
    static const Packet packet = {'I', 'D', '?', 0x82};
    return packet;
}

const Packet &end_packet() {
    static const Packet packet = {0x00, 0x83, 0x00, 0x82};
    return packet;
}

FlashImageResult build_flash_image(std::string_view content) {
    FlashImageResult result;
    auto refuse = [&result](int line, std::string reason) {
        result.error = FlashImageError{line, std::move(reason)};
        return result;
    };
    if (content.size() > kMaxFlashFileBytes) return refuse(0, "the file is larger than 1 MiB");
    factory::HexReadResult read = factory::read_intel_hex(content);
    if (read.error) return refuse(read.error->line, read.error->reason);

    FlashImage image;
    image.file_lines = count_lines(content);
    // The first data packet carries 00 80 also when no extended address record comes first.
    std::uint8_t header = 0x80;
    std::uint32_t counter = 0; // the address of the next 16-byte row the programmer expects
    bool ended = false;
    for (const factory::HexRecord &record : read.records) {
        if (ended) return refuse(record.line, "data after the end record");
        FlashLine line{record.line, {}};
        switch (record.type) {
        case kData:
            if (record.data.size() > kRowBytes)
                return refuse(record.line, "a record of more than 16 data bytes");
            if (configuration_address(record.address)) {
                if (record.data.size() < 2)
                    return refuse(record.line, "a configuration record of less than one word");
                if (record.data.size() > 2) image.multiword_lines.push_back(record.line);
                line.packets.push_back({0x07, 0x85, record.data[0], record.data[1], 0x00, 0x82});
                break;
            }
            if (record.address % kRowBytes != 0)
                return refuse(record.line,
                              "address " + hex_word(record.address) + " is not a multiple of 16");
            if (record.address < counter)
                return refuse(record.line, "address " + hex_word(record.address) +
                                               " is not above the previous record's");
            if (counter < record.address) {
                while (counter < record.address) {
                    line.packets.push_back(kSkip);
                    counter += kRowBytes;
                }
                header = 0x81;
            }
            {
                Packet data = {0x00, header};
                data.insert(data.end(), record.data.begin(), record.data.end());
                data.resize(2 + kRowBytes, 0xFF); // a short record is padded with blank bytes
                data.push_back(0x00);
                data.push_back(0x82);
                line.packets.push_back(std::move(data));
            }
            header = 0x81;
            counter += kRowBytes;
            break;
        case kEndOfFile:
            ended = true;
            break;
        case kLinearAddress:
            if (record.data.size() != 2 || record.data[0] != 0 || record.data[1] != 0)
                return refuse(record.line, "an extended address other than 0");
            header = 0x80;
            break;
        case kStartSegment:
        case kStartLinear:
            break; // a start address: nothing to program
        case kSegmentAddress:
        default:
            return refuse(record.line,
                          "record type " + hex_word(record.type).substr(2) + " is not supported");
        }
        image.packet_count += line.packets.size();
        image.lines.push_back(std::move(line));
    }
    if (!ended) return refuse(image.file_lines, "no end record");
    image.packet_count += 1; // the end packet
    result.image = std::move(image);
    return result;
}

std::string bad_hex_file_text(const FlashImageError &error) {
    return "Bad HEX file: line " + std::to_string(error.line) + " " + error.reason +
           ".\n\nNothing was programmed.";
}

} // namespace meterdesk
