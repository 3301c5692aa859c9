// The calibration store: checksums of the built areas, the factory write commands read back
// byte for byte, date stamps and "CLR".
#include "sim_link.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using rfsim_test::get;
using rfsim_test::SimLink;

int32_t little_endian(const std::string &bytes) {
    uint32_t v = 0;
    for (size_t i = bytes.size(); i-- > 0;) v = (v << 8) | static_cast<uint8_t>(bytes[i]);
    return static_cast<int32_t>(v);
}

// Reads one area as the host does and checks its checksum: header bytes as signed values,
// data bytes as unsigned.
struct AreaRead {
    std::string header;
    std::string data;
    int32_t stored = 0;
    int32_t computed = 0;
};

AreaRead read_area(SimLink &link, const char *select, const char *header_cmd, size_t header_size,
                   const char *row_cmd, size_t row_size, size_t rows) {
    AreaRead a;
    link.send(select);
    a.header = link.query(header_cmd, header_size);
    for (size_t r = 0; r < rows; ++r) a.data += link.query(row_cmd, row_size);
    a.stored = little_endian(link.query("MR4\n", 4));
    uint32_t sum = 0;
    for (char c : a.header)
        sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    for (char c : a.data) sum += static_cast<uint8_t>(c);
    a.computed = static_cast<int32_t>(sum);
    return a;
}

TEST(StoredAreas, DefaultAreasCarryValidChecksums) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    const AreaRead cft = read_area(link, "MI3\n", "MR4\n", 4, "MR4\n", 4, 30);
    EXPECT_EQ(cft.header, "CFT>");
    EXPECT_EQ(cft.stored, cft.computed);

    const AreaRead tcd = read_area(link, "MI2\n", "MR12\n", 12, "MR36\n", 36, 46);
    EXPECT_EQ(tcd.header.substr(0, 4), "XTCD");
    EXPECT_EQ(tcd.stored, tcd.computed);

    const AreaRead lin = read_area(link, "MI4\n", "MR4\n", 4, "MR40\n", 40, 16);
    EXPECT_EQ(lin.header, "LIN>");
    EXPECT_EQ(lin.stored, lin.computed);

    uint32_t sum = 0;
    for (int n = 1; n <= 13; ++n) {
        char cmd[16];
        std::snprintf(cmd, sizeof cmd, "EQ%02dRD\n", n);
        const std::string reply = link.query(cmd, 9);
        ASSERT_EQ(reply.size(), 9u);
        EXPECT_EQ(reply[8], '\n');
        for (size_t i = 0; i < 8; ++i) sum += static_cast<uint8_t>(reply[i]);
    }
    const std::string cs = link.query("EQCS?\n", 5);
    EXPECT_EQ(little_endian(cs.substr(0, 4)), static_cast<int32_t>(sum));
}

TEST(StoredAreas, SpoiltAndMissingAreasAsConfigured) {
    ASSERT_EQ(rfsim_configure("cft = bad_checksum\ntcd = 7\nlin = absent\n"
                              "equation_checksum = bad\n"),
              1);
    SimLink link;
    const AreaRead cft = read_area(link, "MI3\n", "MR4\n", 4, "MR4\n", 4, 30);
    EXPECT_NE(cft.stored, cft.computed);
    const AreaRead tcd = read_area(link, "MI2\n", "MR12\n", 12, "MR24\n", 24, 46);
    EXPECT_EQ(tcd.header.substr(0, 4), ">TCD");
    EXPECT_EQ(tcd.stored, tcd.computed);
    link.send("MI4\n");
    EXPECT_EQ(link.query("MR4\n", 4), std::string(4, '\xFF'));

    uint32_t sum = 0;
    for (int n = 1; n <= 13; ++n) {
        char cmd[16];
        std::snprintf(cmd, sizeof cmd, "EQ%02dRD\n", n);
        const std::string reply = link.query(cmd, 9);
        for (size_t i = 0; i < 8; ++i) sum += static_cast<uint8_t>(reply[i]);
    }
    EXPECT_NE(little_endian(link.query("EQCS?\n", 5).substr(0, 4)), static_cast<int32_t>(sum));
}

std::string le32(uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string single(float f) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &f, 4);
    return s;
}

TEST(StoredAreas, CalFactorTableWrittenWithMwReadsBackIdentically) {
    ASSERT_EQ(rfsim_configure("cft = absent\n"), 1);
    SimLink link;
    // As the factory tool writes it: header, one single per point, checksum, one "FX6" each.
    link.send("MI3\n");
    link.send("FX6\n");
    link.send("MWCFT>");
    uint32_t checksum = 283;
    std::string data;
    for (int i = 0; i < 30; ++i) {
        const std::string bytes = single(0.95f + 0.001f * static_cast<float>(i));
        link.send("FX6\n");
        link.send("MW" + bytes);
        for (char c : bytes) checksum += static_cast<uint8_t>(c);
        data += bytes;
    }
    link.send("FX6\n");
    link.send("MW" + le32(checksum));

    const AreaRead back = read_area(link, "MI3\n", "MR4\n", 4, "MR4\n", 4, 30);
    EXPECT_EQ(back.header, "CFT>");
    EXPECT_EQ(back.data, data);
    EXPECT_EQ(back.stored, static_cast<int32_t>(checksum));
    EXPECT_EQ(back.stored, back.computed);
}

TEST(StoredAreas, EquationWrittenWithFx15AndFx9ReadsBack) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    uint32_t checksum = 0;
    std::vector<std::string> written;
    for (int n = 1; n <= 13; ++n) {
        const double e = 0.5 * n - 3.25;
        std::string bytes(8, '\0');
        std::memcpy(bytes.data(), &e, 8);
        char cmd[16];
        std::snprintf(cmd, sizeof cmd, "EQ%02dWR", n);
        link.send("FX15\n");
        link.send(cmd);
        for (char c : bytes) {
            link.send(std::string(1, c)); // one byte per write, as the factory tool sends them
            checksum += static_cast<uint8_t>(c);
        }
        link.send("\n");
        written.push_back(bytes);
    }
    link.send("FX9\n");
    link.send("EQCS" + le32(checksum) + "\n");

    for (int n = 1; n <= 13; ++n) {
        char cmd[16];
        std::snprintf(cmd, sizeof cmd, "EQ%02dRD\n", n);
        EXPECT_EQ(link.query(cmd, 9), written[static_cast<size_t>(n - 1)] + "\n") << n;
    }
    EXPECT_EQ(link.query("EQCS?\n", 5), le32(checksum) + "\n");
}

TEST(StoredAreas, DiodeDataTriggerLevelAndLegacyFactors) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    link.send("FX7\n");
    link.send(std::string("DSN\x00\x0F\x42\x3F", 7)); // 999999
    link.send("FX3\n");
    link.send(std::string("K\x03\xE7", 3)); // 999
    link.send("FX9\n");
    link.send(std::string("TRG.L\x01\x02\x03\x04", 9));
    EXPECT_EQ(link.query_big_endian("DSN?\n", 4), 999999u);
    EXPECT_EQ(link.read(1), "\n");
    EXPECT_EQ(link.query_big_endian("K?\n", 2), 999u);
    EXPECT_EQ(link.read(1), "\n");
    EXPECT_EQ(get(0, "trigger_level"), std::to_string(0x01020304));

    link.send("FRCF610000999099804501600\n");
    EXPECT_EQ(link.query("FRCF6?\n", 21), "10000999099804501600\n");
    // The RX4LO has 30 points: FRCF6 holds 25-29; nothing lies beyond.
    ASSERT_EQ(rfsim_set(0, "description", "USB Power Sensor RX2LOKAN"), 0);
    EXPECT_EQ(link.query("FRCF4?\n", 21).substr(4), "1000100010001000\n");
}

TEST(StoredAreas, DateStampsAndClear) {
    ASSERT_EQ(rfsim_configure(""), 1);
    SimLink link;
    EXPECT_EQ(link.query("DACF?\n", 7), "000000\n");
    link.send("DACF050306\n");
    link.send("DAEQ311209\n");
    link.send("DALC010110\n");
    EXPECT_EQ(link.query("DACF?\n", 7), "050306\n");
    EXPECT_EQ(link.query("DAEQ?\n", 7), "311209\n");
    EXPECT_EQ(get(0, "stamp.lc"), "010110");

    link.send("CLR\n");
    EXPECT_EQ(link.query("DAEQ?\n", 7), "000000\n");
    for (const char *select : {"MI2\n", "MI3\n", "MI4\n"}) {
        link.send(select);
        EXPECT_EQ(link.query("MR12\n", 12), std::string(12, '\xFF')) << select;
    }
    EXPECT_EQ(link.query("EQ01RD\n", 9), std::string(8, '\0') + "\n");
    EXPECT_EQ(link.query("EQCS?\n", 5), std::string(4, '\0') + "\n");
    EXPECT_EQ(get(0, "area.cft"), "");
}

} // namespace

namespace {

// A store that takes no writes receives them (they are recorded) and keeps what it held; one
// that ignores only the stamps takes everything else.
TEST(StoredAreas, AStoreThatTakesNoWritesKeepsWhatItHeld) {
    ASSERT_EQ(rfsim_configure("store_writes = ignored\n"), 1);
    SimLink link;
    const std::string cft = get(0, "area.cft");
    const std::string equation = get(0, "area.eq");
    const std::string legacy = link.query("FRCF1?\n", 21);
    link.send("MI3\n");
    link.send("FX6\n");
    link.send("MWCFT>");
    link.send("FX6\n");
    link.send("MW" + le32(1234));
    link.send("FX15\n");
    link.send(std::string("EQ01WR\x01\x02\x03\x04\x05\x06\x07\x08\n", 15));
    link.send("FRCF100000000000000000000\n");
    link.send("DACF050306\n");
    EXPECT_EQ(get(0, "last_command"), "DACF050306");
    EXPECT_EQ(get(0, "area.cft"), cft);
    EXPECT_EQ(get(0, "area.eq"), equation);
    EXPECT_EQ(link.query("FRCF1?\n", 21), legacy);
    EXPECT_EQ(link.query("DACF?\n", 7), "000000\n");

    ASSERT_EQ(rfsim_set(0, "store_writes", "stamps_ignored"), 0);
    EXPECT_EQ(get(0, "store_writes"), "stamps_ignored");
    link.send("FRCF100000000000000000000\n");
    link.send("DACF050306\n");
    EXPECT_EQ(link.query("FRCF1?\n", 21), "00000000000000000000\n");
    EXPECT_EQ(link.query("DACF?\n", 7), "000000\n");
    ASSERT_EQ(rfsim_set(0, "store_writes", "ok"), 0);
    link.send("DACF050306\n");
    EXPECT_EQ(link.query("DACF?\n", 7), "050306\n");
}

} // namespace
