// The firmware file check and its rewrite into the copy that goes to the sensor.
//
// The copy ("temp.hex") holds the source's records in order with blank filler records over the
// gaps of the lower program blocks, without the 0x3000-0x4FFF block and without records of
// types 02, 03 and 05. The rewrite counts records, not addresses, so it is only sound for
// sources that the check accepts: every record at most 16 data bytes below 0x10000, none
// overlapping another, one end-of-file record at the end, and no filler of the copy landing on
// real data. No Qt and no sensor here: the CLI compiles this file too.
#pragma once

#include "meterdesk/factory/intel_hex.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk {

using factory::HexReadResult;
using factory::HexRecord;
using factory::read_intel_hex;

// Why a source was refused, and on which line of it.
struct FirmwareRefusal {
    int line = 0;
    std::string reason; // without a final full stop
};

struct FirmwareCopy {
    std::vector<std::string> lines; // the copy's records, without line ends
    std::optional<FirmwareRefusal> refusal;
};

// A blank record of 16 bytes of 0xFF: ":10%04X00" + 32 F + checksum.
std::string filler_record(std::uint16_t address);

// Reads, checks and rewrites a whole source. A refused source gives no lines.
FirmwareCopy normalise_firmware(std::string_view content);

// The copy as a file: every line ended by a single line feed.
std::string firmware_copy_text(const std::vector<std::string> &lines);

// "Syntax error/bad data\n\n<file>, line <n>: <reason>.\nNothing was sent to the sensor."
std::string firmware_refusal_text(std::string_view file, const FirmwareRefusal &refusal);

} // namespace meterdesk
