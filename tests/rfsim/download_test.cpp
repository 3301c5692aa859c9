// Firmware download mode: "0\n" before each line, "1\n" after the end-of-file record, "E\n" for a
// malformed record; every line is kept for inspection.
#include "sim_link.h"

#include <string>

namespace {

using rfsim_test::get;
using rfsim_test::SimLink;

class Download : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(rfsim_configure(""), 1); }
};

TEST_F(Download, AcknowledgesEveryLineAndEndsAfterTheEndRecord) {
    SimLink link;
    const char *lines[] = {
        ":020000040000FA",
        ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00",
        ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0",
        ":00000001FF",
    };
    link.send("DLOAD\n");
    for (const char *line : lines) {
        ASSERT_EQ(link.read(2), "0\n") << line;
        link.send(std::string(line) + "\n");
    }
    EXPECT_EQ(link.read(2), "1\n");
    EXPECT_EQ(get(0, "firmware_lines"),
              std::string(lines[0]) + "\n" + lines[1] + "\n" + lines[2] + "\n" + lines[3] + "\n");
    // The sensor runs normally again.
    EXPECT_EQ(link.query_big_endian("INIT?\n", 2), 75u);
}

TEST_F(Download, MalformedRecordIsRefusedAndEndsTheDownload) {
    struct Case {
        const char *line;
        const char *why;
    };
    const Case cases[] = {
        {":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01", "checksum"},
        {"10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00", "no colon"},
        {":10000000FFFF00", "count does not match"},
        {":0000000GFF", "not hex"},
    };
    for (const Case &c : cases) {
        SimLink link;
        link.send("DLOAD\n");
        ASSERT_EQ(link.read(2), "0\n");
        link.send(std::string(c.line) + "\n");
        EXPECT_EQ(link.read(2), "E\n") << c.why;
        EXPECT_EQ(link.query_big_endian("INIT?\n", 2), 75u) << c.why;
    }
}

} // namespace
