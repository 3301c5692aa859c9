// The calibration-data formats read at start-up: the stored-area checksum, legacy cal-factor
// fields, "tcd.dat" and "tessaline prams.txt".
#include "cal_data.h"

#include "rfsense/rfsense.h"
#include "rfsense/sim_session.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace rfsense;
using namespace rfsense_test;

TEST(AreaChecksum, HeaderBytesCountSignedAndDataBytesUnsigned) {
    EXPECT_EQ(cal_data::area_checksum("CFT>", ""), uint32_t{'C' + 'F' + 'T' + '>'});
    EXPECT_EQ(cal_data::area_checksum("\xFF\xFE", "\xFF\x01"), uint32_t(-1 - 2 + 255 + 1));
    EXPECT_EQ(cal_data::area_checksum("\x80", ""), uint32_t(-128)); // 32-bit wrap
}

TEST(LegacyFactor, ThousandthsWithinHalfToOneAndAHalf) {
    struct Case {
        const char *field;
        double factor;
    };
    const Case cases[] = {
        {"1000", 1.0}, {"0995", 0.995}, {"0500", 0.5}, {"1500", 1.5},   {"0450", 1.0},
        {"1600", 1.0}, {"0499", 1.0},   {"1501", 1.0}, {" 995", 0.995}, {"", 1.0},
        {"abcd", 1.0}, {"-999", 1.0},   {"12", 1.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_DOUBLE_EQ(cal_data::legacy_factor(c.field), c.factor);
    }
    EXPECT_EQ(cal_data::legacy_factor("1000"), 1.0); // exactly
}

using Table = std::array<std::array<double, 10>, 46>;

bool all_zero(const Table &table) {
    for (const auto &row : table)
        for (double v : row)
            if (v != 0.0) return false;
    return true;
}

TEST(TcdFile, EachModelTakesItsSection) {
    struct Case {
        int model;
        int section;
    };
    const std::string file = tcd_file();
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{2, 1}, Case{3, 2}, Case{4, 3}, Case{6, 0}}) {
        SCOPED_TRACE(c.model);
        Table table;
        ASSERT_EQ(cal_data::parse_tcd_file(file, c.model, table), 1);
        EXPECT_DOUBLE_EQ(table[0][0], tcd_value(c.section, 0, 0));
        EXPECT_DOUBLE_EQ(table[45][6], tcd_value(c.section, 45, 6));
        EXPECT_DOUBLE_EQ(table[17][3], tcd_value(c.section, 17, 3));
        EXPECT_EQ(table[17][7], 0.0); // the 7-column layout
    }
}

TEST(TcdFile, WrongOrMissingSectionsGiveNineteenAndAZeroTable) {
    struct Case {
        const char *name;
        std::string bytes;
        int model;
        int result;
    };
    const std::string good = tcd_file();
    const Case cases[] = {
        {"mark 185 first on a model-0 sensor", tcd_file({185, 185, 265, 400, 7510}), 0, 19},
        {"wrong mark after the first section", tcd_file({124, 186, 265, 400, 7510}), 1, 19},
        {"wrong mark of model 2's section", tcd_file({124, 184, 265, 400, 7510}), 2, 19},
        {"wrong mark after model 3's section", tcd_file({124, 185, 265, 401, 7510}), 3, 19},
        {"wrong end mark", tcd_file({124, 185, 265, 400, 7511}), 4, 19},
        {"model 6 takes the first section whatever its mark", tcd_file({1, 185, 0, 0, 0}), 6, 1},
        {"model 5 has no section", good, 5, 19},
        {"file cut inside model 3's section", good.substr(0, 6000), 3, 19},
        {"file cut before model 4's end mark", good.substr(0, 10328), 4, 19},
        {"file cut before the date ends", good.substr(0, 4), 0, 19},
        {"empty file", "", 0, 19},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Table table;
        table[0][0] = 99;
        EXPECT_EQ(cal_data::parse_tcd_file(c.bytes, c.model, table), c.result);
        EXPECT_EQ(all_zero(table), c.result != 1);
    }
}

TEST(TcdFile, MissingFileGivesEighteen) {
    TempFolder folder;
    Table table;
    table[0][0] = 99;
    EXPECT_EQ(cal_data::load_tcd_file((folder.path() / "tcd.dat").string(), 0, table),
              SENSOR_TCD_FILE_MISSING);
    EXPECT_TRUE(all_zero(table));
    folder.write("tcd.dat", tcd_file());
    EXPECT_EQ(cal_data::load_tcd_file((folder.path() / "tcd.dat").string(), 0, table), 1);
}

TEST(BandFile, EightBlocksOfATitleAndTenNumbers) {
    for (const char *line_end : {"\n", "\r\n"}) {
        std::array<std::array<double, 10>, 8> bands{};
        ASSERT_TRUE(cal_data::parse_band_file(band_file(line_end), bands));
        for (int band = 0; band < 8; ++band)
            for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(bands[band][i], band_value(band, i));
    }
}

TEST(BandFile, IncompleteOrMalformedFilesAreRefused) {
    const std::string good = band_file();
    std::string without_last_line = good.substr(0, good.rfind('\n', good.size() - 2) + 1);
    std::string with_text = good;
    with_text.replace(with_text.find("\n0.625") + 1, 5, "x.625");
    const std::string cases[] = {"", "Band 0\n1\n2\n", without_last_line, with_text};
    for (const std::string &text : cases) {
        std::array<std::array<double, 10>, 8> bands{};
        bands[0][0] = 42;
        EXPECT_FALSE(cal_data::parse_band_file(text, bands));
        EXPECT_EQ(bands[0][0], 42); // unchanged
    }
    // Numbers in the forms a text file may hold them, read whatever the locale.
    std::string forms = good;
    forms.replace(forms.find("0.500000"), 8, "  +5e-1 ");
    std::array<std::array<double, 10>, 8> bands{};
    ASSERT_TRUE(cal_data::parse_band_file(forms, bands));
    EXPECT_DOUBLE_EQ(bands[0][0], 0.5);
}

} // namespace
