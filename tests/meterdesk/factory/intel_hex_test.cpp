// The Intel HEX record reader: records with their line numbers, and the first line that is not
// a record.
#include "meterdesk/factory/intel_hex.h"

#include <gtest/gtest.h>

namespace {

using meterdesk::factory::read_intel_hex;

TEST(IntelHex, ReadsRecordsWithLineNumbersAcrossLineEnds) {
    const auto result = read_intel_hex(":0410000001020304E2\r\n"
                                       "\n"
                                       "   \r\n"
                                       ":020000040000FA\n"
                                       ":00000001FF"); // no line end after the last record
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.records.size(), 3u);
    const auto &data = result.records[0];
    EXPECT_EQ(data.line, 1);
    EXPECT_EQ(data.type, 0);
    EXPECT_EQ(data.address, 0x1000);
    EXPECT_EQ(data.data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(data.text, ":0410000001020304E2");
    EXPECT_EQ(result.records[1].line, 4);
    EXPECT_EQ(result.records[1].type, 4);
    EXPECT_EQ(result.records[2].line, 5);
    EXPECT_EQ(result.records[2].type, 1);
    EXPECT_TRUE(result.records[2].data.empty());
}

TEST(IntelHex, LowerCaseDigitsAreRead) {
    const auto result = read_intel_hex(":02abcd00beefd9\n");
    ASSERT_FALSE(result.error);
    EXPECT_EQ(result.records[0].address, 0xABCD);
    EXPECT_EQ(result.records[0].data, (std::vector<std::uint8_t>{0xBE, 0xEF}));
}

TEST(IntelHex, TheFirstBadLineEndsReadingWithItsReason) {
    const struct {
        const char *line;
        const char *reason;
    } cases[] = {
        {"0410000001020304E2", "not an Intel HEX record"},  // no colon
        {":0410000001020304E", "not an Intel HEX record"},  // odd digit count
        {":04100000010203G4E2", "not an Intel HEX record"}, // not a hex digit
        {":00000001", "not an Intel HEX record"},           // shorter than a record
        {":0510000001020304E1", "byte count does not match the record length"},
        {":0410000001020304E3", "checksum error"},
    };
    for (const auto &c : cases) {
        const auto result =
            read_intel_hex(std::string(":00000001FF\n") + c.line + "\n:00000001FF\n");
        ASSERT_TRUE(result.error) << c.line;
        EXPECT_EQ(result.error->line, 2) << c.line;
        EXPECT_EQ(result.error->reason, c.reason) << c.line;
        EXPECT_EQ(result.records.size(), 1u) << c.line;
    }
}

} // namespace
