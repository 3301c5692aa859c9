// The bench FLASH programmer answers its identity packet and records every other packet.
#include "sim_link.h"

#include <string>

namespace {

using rfsim_test::get;
using rfsim_test::SimLink;

TEST(Programmer, AnswersIdentityAndRecordsFramedPackets) {
    ASSERT_EQ(rfsim_configure("[device]\n[device]\nkind = programmer\nidentity = PROG 1.0\n"), 2);
    char description[80];
    ASSERT_EQ(rfsim_bus_info(1, nullptr, 0, description, sizeof description), 0);
    EXPECT_STREQ(description, "USB PIC Programmer");

    SimLink link(1);
    EXPECT_EQ(link.query("ID?\x82", 10), "PROG 1.0\r\n");

    std::string data = std::string("\x00\x80", 2);
    for (int i = 0; i < 16; ++i) data += static_cast<char>(i);
    data += std::string("\x00\x82", 2);
    // Packets may arrive split across writes, or several in one.
    link.send(std::string("\x08\x87\x00\x82", 4) + data.substr(0, 7));
    link.send(data.substr(7));
    link.send(std::string("\x07\x85\x12\x34\x00\x82\x00\x83\x00\x82", 10));

    EXPECT_EQ(get(1, "packets"), "08 87 00 82\n"
                                 "00 80 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 00 82\n"
                                 "07 85 12 34 00 82\n"
                                 "00 83 00 82\n");
}

} // namespace
