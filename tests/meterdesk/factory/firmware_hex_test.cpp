// The firmware file check and the rewrite into the copy sent to the sensor: the fillers before
// the first data record, the records dropped and kept, and every refusal naming its line.
#include "meterdesk/factory/firmware_hex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using meterdesk::filler_record;
using meterdesk::firmware_refusal_text;
using meterdesk::FirmwareCopy;
using meterdesk::normalise_firmware;

// A record with its checksum: ":" count address type data checksum.
std::string record(unsigned address, unsigned type, const std::vector<unsigned> &data) {
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) + type;
    char text[16];
    std::snprintf(text, sizeof text, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address,
                  type);
    std::string out = text;
    for (unsigned b : data) {
        std::snprintf(text, sizeof text, "%02X", b);
        out += text;
        sum += b;
    }
    std::snprintf(text, sizeof text, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return out + text;
}

std::string data16(unsigned address, unsigned fill = 0x12) {
    return record(address, 0, std::vector<unsigned>(16, fill));
}

const std::string kEnd = ":00000001FF";

std::string file(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &l : lines) text += l + "\r\n";
    return text;
}

TEST(FirmwareHex, FillersBeforeTheFirstDataRecordAt0x1000) {
    const FirmwareCopy copy = normalise_firmware(file({data16(0x1000), data16(0x1010), kEnd}));
    ASSERT_FALSE(copy.refusal) << copy.refusal->reason;
    ASSERT_EQ(copy.lines.size(), 256u + 3u);
    EXPECT_EQ(copy.lines[0], ":10000000" + std::string(32, 'F') + "00");
    EXPECT_EQ(copy.lines[1].substr(copy.lines[1].size() - 2), "F0");
    EXPECT_EQ(copy.lines[1], filler_record(0x0010));
    EXPECT_EQ(copy.lines[255], filler_record(0x0FF0));
    EXPECT_EQ(copy.lines[256], data16(0x1000));
    EXPECT_EQ(copy.lines.back(), kEnd);
}

TEST(FirmwareHex, DropsTheThirdAndFourthBlocksAndTypes02_03_05) {
    std::vector<std::string> lines = {record(0, 4, {0, 0}), record(0, 2, {0, 0})};
    for (unsigned a = 0; a < 0x3000; a += 16) lines.push_back(data16(a));
    lines.push_back(data16(0x3000));
    lines.push_back(data16(0x4FF0));
    lines.push_back(data16(0x5000));
    lines.push_back(record(0, 3, {0, 0, 0x10, 0}));
    lines.push_back(record(0, 5, {0, 0, 0x10, 0}));
    lines.push_back(kEnd);
    const FirmwareCopy copy = normalise_firmware(file(lines));
    ASSERT_FALSE(copy.refusal) << copy.refusal->reason;
    // The linear address record, 0x300 data records, 0x5000, the end record: no fillers needed.
    ASSERT_EQ(copy.lines.size(), 1u + 0x300u + 1u + 1u);
    EXPECT_EQ(copy.lines.front(), record(0, 4, {0, 0}));
    EXPECT_EQ(copy.lines[1 + 0x300], data16(0x5000));
    EXPECT_EQ(copy.lines.back(), kEnd);
    for (const std::string &l : copy.lines) {
        EXPECT_NE(l.substr(3, 1), "3") << l;
        EXPECT_NE(l.substr(3, 1), "4") << l;
        EXPECT_NE(l.substr(7, 2), "02") << l;
    }
}

TEST(FirmwareHex, RefusalsNameTheirLine) {
    struct Case {
        std::vector<std::string> lines;
        int line;
        const char *reason;
    };
    const Case cases[] = {
        {{data16(0), "hello", kEnd}, 2, "not an Intel HEX record"},
        {{data16(0), ":10000000FF00", kEnd}, 2, "byte count does not match the record length"},
        {{":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01", kEnd}, 1, "checksum error"},
        {{data16(0), record(0x10, 6, {}), kEnd}, 2, "unknown record type 06"},
        {{record(0, 0, std::vector<unsigned>(17, 1)), kEnd}, 1, "more than 16 data bytes"},
        {{data16(0xFFF8), kEnd}, 1, "data past address 0xFFFF"},
        {{record(0, 4, {0, 1}), data16(0), kEnd}, 2, "data past address 0xFFFF"},
        {{data16(0x0000), data16(0x0008), kEnd}, 2, "data at 0x0008 overlaps line 1"},
        {{record(0, 2, {0x10, 0}), data16(0), kEnd},
         1,
         "segment address record with a non-zero segment"},
        {{data16(0), kEnd, data16(0x10)}, 3, "line after the end-of-file record"},
        {{data16(0), data16(0x10)}, 2, "no end-of-file record"},
        // A gap inside block 0: the running address lags, so fillers would land on 0x0100.
        {{data16(0x0000), data16(0x0100), data16(0x1000), kEnd},
         2,
         "the copy would hold two records for address 0x0100 (blank fillers over real data)"},
        // A gap inside block 1, filled when block 2 begins.
        {{data16(0x1000), data16(0x1800), data16(0x2000), kEnd},
         2,
         "the copy would hold two records for address 0x1800 (blank fillers over real data)"},
    };
    for (const Case &c : cases) {
        const FirmwareCopy copy = normalise_firmware(file(c.lines));
        ASSERT_TRUE(copy.refusal) << c.reason;
        EXPECT_EQ(copy.refusal->line, c.line) << c.reason;
        EXPECT_EQ(copy.refusal->reason, c.reason);
        EXPECT_TRUE(copy.lines.empty()) << c.reason;
    }
}

TEST(FirmwareHex, RefusalMessage) {
    EXPECT_EQ(firmware_refusal_text("/x/fw.hex", {7, "checksum error"}),
              "Syntax error/bad data\n\n/x/fw.hex, line 7: checksum error.\nNothing was sent to "
              "the sensor.");
}

} // namespace
