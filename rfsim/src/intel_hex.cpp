#include "intel_hex.h"

#include <vector>

namespace rfsim {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

HexRecordCheck check_hex_record(std::string_view record) {
    if (record.size() < 11 || record[0] != ':' || (record.size() - 1) % 2 != 0)
        return HexRecordCheck::malformed;
    std::vector<int> bytes;
    for (size_t i = 1; i + 1 < record.size(); i += 2) {
        const int hi = hex_digit(record[i]);
        const int lo = hex_digit(record[i + 1]);
        if (hi < 0 || lo < 0) return HexRecordCheck::malformed;
        bytes.push_back(hi * 16 + lo);
    }
    if (static_cast<size_t>(bytes[0]) + 5 != bytes.size()) return HexRecordCheck::malformed;
    int sum = 0;
    for (int b : bytes) sum += b;
    if (sum % 256 != 0) return HexRecordCheck::malformed;
    return bytes[3] == 0x01 ? HexRecordCheck::end_of_file : HexRecordCheck::data;
}

} // namespace rfsim
