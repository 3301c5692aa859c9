// Checks one Intel HEX record as the sensor's boot loader receives it.
#pragma once

#include <string_view>

namespace rfsim {

enum class HexRecordCheck { data, end_of_file, malformed };

// ":" + byte count + 16-bit address + type + data + checksum, all hex digits; the bytes
// including the checksum must sum to 0 modulo 256. Type 01 is the end-of-file record.
HexRecordCheck check_hex_record(std::string_view record);

} // namespace rfsim
