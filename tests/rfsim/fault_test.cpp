// The planned faults of key `fault`: unplug, silent and corrupt at the N-th command counted from
// the moment the key is set.
#include "sim_link.h"

#include <string>

namespace {

using rfsim_test::get;
using rfsim_test::SimLink;

class Fault : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(rfsim_configure(""), 1); }
};

TEST_F(Fault, KeyAcceptsThePlansAndRefusesTheRest) {
    const char *good[] = {"unplug@1", "silent@12", "corrupt@3", "none"};
    for (const char *value : good) {
        EXPECT_EQ(rfsim_set(0, "fault", value), 0) << value;
        EXPECT_EQ(get(0, "fault"), value);
    }
    const char *bad[] = {"unplug@0", "unplug", "melt@3", "silent@", "silent@-1", "corrupt@2x"};
    for (const char *value : bad) {
        EXPECT_EQ(rfsim_set(0, "fault", value), -1) << value;
        EXPECT_NE(std::string(rfsim_error()).find("fault"), std::string::npos);
    }
    EXPECT_EQ(get(0, "fault"), "none");
}

TEST_F(Fault, UnplugStrikesAsTheNthCommandArrivesAndAReplugClearsIt) {
    SimLink link;
    ASSERT_EQ(rfsim_set(0, "fault", "unplug@3"), 0);
    EXPECT_EQ(link.query_big_endian("INIT?\n", 2), 75u);      // 1
    EXPECT_EQ(link.query("ID?\n", 16), "USB SENSOR V4.7\n");  // 2
    EXPECT_EQ(rfsim_bus_write(link.handle(), "ID?\n", 4), 4); // 3: never handled
    EXPECT_EQ(get(0, "plugged"), "0");
    EXPECT_EQ(rfsim_bus_wait(link.handle(), 100), -1);
    EXPECT_EQ(get(0, "last_command"), "ID?");

    ASSERT_EQ(rfsim_set(0, "plugged", "1"), 0);
    SimLink again;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(again.query_big_endian("INIT?\n", 2), 75u);
}

TEST_F(Fault, SilentRecordsButNeverRepliesFromTheNthCommandOn) {
    SimLink link;
    ASSERT_EQ(rfsim_set(0, "fault", "silent@2"), 0);
    EXPECT_EQ(link.query_big_endian("INIT?\n", 2), 75u);
    EXPECT_EQ(link.query("ID?\n", 16, /*timeout_ms*/ 100), "");
    EXPECT_EQ(link.query("INIT?\n", 2, 100), "");
    EXPECT_EQ(get(0, "last_command"), "INIT?");
    EXPECT_EQ(get(0, "plugged"), "1");
    // Setting the key again starts afresh.
    ASSERT_EQ(rfsim_set(0, "fault", "none"), 0);
    EXPECT_EQ(link.query_big_endian("INIT?\n", 2), 75u);
}

// Each store write, hit by the fault, keeps exactly one byte (or digit) other than sent.
TEST_F(Fault, CorruptChangesOneByteOfTheFirstStoreWriteFromTheNthCommandOn) {
    SimLink link;
    // "MI3" is command 1 and no write, so the header "MWCFT>" (command 3) takes the fault.
    ASSERT_EQ(rfsim_set(0, "fault", "corrupt@1"), 0);
    link.send("MI3\n");
    link.send("FX6\n");
    link.send("MWCFT>");
    link.send("FX6\n");
    link.send(std::string("MW\x00\x00\x80\x3F", 6));
    EXPECT_EQ(get(0, "area.cft").substr(0, 16), "4246543E0000803F"); // 'C' ^ 1 = 'B'

    ASSERT_EQ(rfsim_set(0, "fault", "corrupt@2"), 0);
    link.send("DACF050306\n");
    link.send("DACF050306\n");
    EXPECT_EQ(get(0, "stamp.cf"), "050307");

    ASSERT_EQ(rfsim_set(0, "fault", "corrupt@1"), 0);
    link.send("FRCF110000998099910991000\n");
    EXPECT_EQ(link.query("FRCF1?\n", 21), "10010998099910991000\n");

    ASSERT_EQ(rfsim_set(0, "fault", "corrupt@2"), 0);
    link.send("FX15\n");                                                    // 1
    link.send(std::string("EQ01WR\x01\x02\x03\x04\x05\x06\x07\x08\n", 15)); // 2
    EXPECT_EQ(link.query("EQ01RD\n", 9), std::string("\x00\x02\x03\x04\x05\x06\x07\x08\n", 9));
}

TEST_F(Fault, CorruptInDownloadModeRefusesTheRecordAndEndsTheMode) {
    SimLink link;
    ASSERT_EQ(rfsim_set(0, "fault", "corrupt@3"), 0);
    link.send("DLOAD\n"); // 1
    ASSERT_EQ(link.read(2), "0\n");
    link.send(":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\n"); // 2
    ASSERT_EQ(link.read(2), "0\n");
    link.send(":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0\n"); // 3
    EXPECT_EQ(link.read(2), "E\n");
    EXPECT_EQ(link.query_big_endian("INIT?\n", 2), 75u);
}

} // namespace
