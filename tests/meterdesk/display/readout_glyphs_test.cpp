#include "meterdesk/core/readout_glyphs.h"
#include "meterdesk/core/temperature_readout.h"

#include <gtest/gtest.h>

namespace meterdesk {
namespace {

TEST(ReadoutGlyphs, LaysTextRightToLeftFromTheLastCellWithThePointInTheRightOfItsCell) {
    // The last character's cell starts at x 240; each character before it one cell left.
    const ReadoutGlyphs g = layout_readout("-0.5", 2, 0, 20, 0);
    const int y = 20 + 105;
    ASSERT_EQ(g.digits.size(), 4u);
    EXPECT_EQ(g.digits[0], (GlyphDraw{5 * 31, 31, 240, y}));
    EXPECT_EQ(g.digits[1], (GlyphDraw{403, 20, 240 - 31 + 11, y}));
    EXPECT_EQ(g.digits[2], (GlyphDraw{0, 31, 240 - 62, y}));
    EXPECT_EQ(g.digits[3], (GlyphDraw{310, 31, 240 - 93, y}));
    EXPECT_EQ(g.unit, (GlyphDraw{226, 113, 280, y}));
}

TEST(ReadoutGlyphs, SevenCharactersStayInsideTheFrameAndClearOfTheUnit) {
    // "-10.000": the frame's left edge is at x 30, the unit glyph starts at x 280.
    const ReadoutGlyphs g = layout_readout("-10.000", 0, 0, 20, kInitialReadoutLength);
    ASSERT_EQ(g.digits.size(), 7u);
    EXPECT_EQ(g.digits.back().x, 240 - 6 * 31);
    EXPECT_EQ(g.digits.back().source_x, kMinusGlyphSourceX);
    for (const GlyphDraw &d : g.digits) {
        EXPECT_GT(d.x, 30);
        EXPECT_LT(d.x + d.width, g.unit.x);
    }
}

TEST(ReadoutGlyphs, ShrinkingTextBlanksTheCellsItNoLongerUses) {
    // -12.345 (7 characters) followed by 1.234 (5): the two left cells get the blank glyph.
    const ReadoutGlyphs first = layout_readout("-12.345", 0, 0, 20, kInitialReadoutLength);
    ASSERT_EQ(first.digits.size(), 7u);
    const ReadoutGlyphs next = layout_readout("1.234", 0, 0, 20, 7);
    ASSERT_EQ(next.digits.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(next.digits[i].x, first.digits[i].x) << i;
    EXPECT_EQ(next.digits[5].source_x, kBlankGlyphSourceX);
    EXPECT_EQ(next.digits[6].source_x, kBlankGlyphSourceX);
    EXPECT_EQ(next.digits[4].source_x, 31); // the "1"
}

TEST(ReadoutGlyphs, RowFollowsTheDisplaySetupAndUnitTableIsComplete) {
    EXPECT_EQ(readout_glyph_y(0, 20), 125);
    EXPECT_EQ(readout_glyph_y(2, -25), 70);
    EXPECT_EQ(unit_glyph_source_x(0), 0);
    EXPECT_EQ(unit_glyph_source_x(9), 1127);
    EXPECT_EQ(unit_glyph_source_x(15), 1803);
    EXPECT_EQ(unit_glyph_source_x(16), -1);
}

struct TemperatureCase {
    double celsius;
    bool show_celsius;
    const char *text;
};

TEST(TemperatureReadout, TextByUnit) {
    const TemperatureCase cases[] = {
        {-12.4, true, "-12"}, // no decimals at -10 'C and below
        {-10.0, true, "-10"},  {-9.96, true, "-10.0"}, {25.04, true, "25.0"},
        {25.0, false, "77.0"}, {-12.4, false, "9.7"},  {-40.0, false, "-40.0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(temperature_text(c.celsius, c.show_celsius), c.text) << c.celsius;
    EXPECT_STREQ(temperature_unit_text(false), "'F");
}

TEST(TemperatureReadout, FourCharactersGetABlankAndShorterTextsCoverTheOldCells) {
    const TemperatureReadout warm = layout_temperature_readout(25.3, true, 0);
    ASSERT_EQ(warm.digits.size(), 5u);
    EXPECT_EQ(warm.digits[4].source_x, kBlankGlyphSourceX);
    EXPECT_EQ(warm.digits[0].x, 275);
    EXPECT_EQ(warm.digits[4].x, 275 - 4 * 31);
    EXPECT_EQ(warm.unit, (GlyphDraw{1017, 54, 311, 125}));
    EXPECT_LT(warm.digits[0].x + 31, warm.unit.x);

    const TemperatureReadout cold = layout_temperature_readout(-12.4, true, warm.digits.size());
    ASSERT_EQ(cold.digits.size(), 5u);
    EXPECT_EQ(cold.digits[3].source_x, kBlankGlyphSourceX);
    EXPECT_EQ(cold.digits[4].source_x, kBlankGlyphSourceX);
    EXPECT_EQ(layout_temperature_readout(25.3, false, 0).unit.source_x, 1072);
}

} // namespace
} // namespace meterdesk
