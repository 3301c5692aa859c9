#include "meterdesk/factory/firmware_hex.h"

#include <array>
#include <cstdio>

namespace meterdesk {

namespace {

using namespace factory::hex_type;

constexpr std::size_t kRecordBytes = 16;
constexpr std::uint32_t kAddressSpace = 0x10000;
constexpr std::uint32_t kBlockSize = 4096;

std::string hex_text(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// Which source line owns each byte address (0 for none).
using AddressOwners = std::vector<int>;

// The rules the rewrite relies on, record by record, before anything is written or sent.
std::optional<FirmwareRefusal> check_records(const std::vector<HexRecord> &records) {
    AddressOwners owner(kAddressSpace, 0);
    std::uint32_t upper = 0; // from an extended linear address record
    bool ended = false;
    for (const HexRecord &r : records) {
        auto refuse = [&r](std::string reason) {
            return FirmwareRefusal{r.line, std::move(reason)};
        };
        if (ended) return refuse("line after the end-of-file record");
        switch (r.type) {
        case kData: {
            if (r.data.size() > kRecordBytes) return refuse("more than 16 data bytes");
            const std::uint32_t start = upper + r.address;
            if (start + r.data.size() > kAddressSpace) return refuse("data past address 0xFFFF");
            for (std::uint32_t a = start; a < start + r.data.size(); ++a) {
                if (owner[a] != 0)
                    return refuse("data at 0x" + hex_text(a, 4) + " overlaps line " +
                                  std::to_string(owner[a]));
                owner[a] = r.line;
            }
            break;
        }
        case kEndOfFile:
            if (!r.data.empty()) return refuse("end-of-file record with data");
            ended = true;
            break;
        case kSegmentAddress:
            if (r.data.size() != 2) return refuse("segment address record without two bytes");
            // Dropping it from the copy would move the data after it.
            if (r.data[0] != 0 || r.data[1] != 0)
                return refuse("segment address record with a non-zero segment");
            break;
        case kLinearAddress:
            if (r.data.size() != 2) return refuse("linear address record without two bytes");
            upper = static_cast<std::uint32_t>(r.data[0] << 8 | r.data[1]) << 16;
            break;
        case kStartSegment:
        case kStartLinear:
            break;
        default:
            return refuse("unknown record type " + hex_text(r.type, 2));
        }
    }
    if (!ended)
        return FirmwareRefusal{records.empty() ? 1 : records.back().line, "no end-of-file record"};
    return std::nullopt;
}

// The rewrite. Records of types 01 and 04 are kept, 02, 03 and 05 dropped. A data record whose
// address begins with the digit of the next block to fill first gets filler records from the
// rewrite's running address up to the end of the block before; records of 0x3000-0x4FFF are
// dropped; every other data record is kept and advances the running address by 16. The
// running address counts records, so a gap inside a block puts fillers over later data: the
// copy's addresses are checked for that.
FirmwareCopy rewrite(const std::vector<HexRecord> &records) {
    FirmwareCopy copy;
    AddressOwners owner(kAddressSpace, 0);
    constexpr int kFiller = -1;
    // Claims `count` bytes for a line of the copy; on a clash refuses, naming the source line
    // whose data the other record would cover.
    auto claim = [&](std::uint32_t start, std::size_t count, int line) {
        for (std::uint32_t a = start; a < start + count && a < kAddressSpace; ++a) {
            if (owner[a] == 0) {
                owner[a] = line;
                continue;
            }
            copy.lines.clear();
            copy.refusal = FirmwareRefusal{line == kFiller ? owner[a] : line,
                                           "the copy would hold two records for address 0x" +
                                               hex_text(a, 4) + " (blank fillers over real data)"};
            return false;
        }
        return true;
    };
    std::uint32_t next_address = 0;
    std::uint32_t block_end = kBlockSize;
    int block_mark = 1; // blocks 1, 2 and 3 start the filling of the one below; then no more
    for (const HexRecord &r : records) {
        if (r.type == kEndOfFile || r.type == kLinearAddress) {
            copy.lines.push_back(r.text);
            continue;
        }
        if (r.type != kData) continue;
        const int digit = r.address >> 12;
        if (digit == block_mark) {
            for (; next_address < block_end; next_address += kRecordBytes) {
                if (!claim(next_address, kRecordBytes, kFiller)) return copy;
                copy.lines.push_back(filler_record(static_cast<std::uint16_t>(next_address)));
            }
            block_mark = block_mark < 3 ? block_mark + 1 : -1;
            block_end += kBlockSize;
        }
        if (digit == 3 || digit == 4) continue;
        if (!claim(r.address, r.data.size(), r.line)) return copy;
        copy.lines.push_back(r.text);
        next_address += kRecordBytes;
    }
    return copy;
}

} // namespace

std::string filler_record(std::uint16_t address) {
    const unsigned high = address >> 8;
    const unsigned low = address & 0xFF;
    const unsigned checksum = (0x100 - ((high + low) & 0xFF)) & 0xFF;
    return ":10" + hex_text(address, 4) + "00" + std::string(32, 'F') + hex_text(checksum, 2);
}

FirmwareCopy normalise_firmware(std::string_view content) {
    const HexReadResult read = read_intel_hex(content);
    if (read.error) return {{}, FirmwareRefusal{read.error->line, read.error->reason}};
    if (auto refusal = check_records(read.records)) return {{}, std::move(refusal)};
    return rewrite(read.records);
}

std::string firmware_copy_text(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

std::string firmware_refusal_text(std::string_view file, const FirmwareRefusal &refusal) {
    return "Syntax error/bad data\n\n" + std::string(file) + ", line " +
           std::to_string(refusal.line) + ": " + refusal.reason +
           ".\nNothing was sent to the sensor.";
}

} // namespace meterdesk
