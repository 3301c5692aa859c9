#include "meterdesk/core/text_fit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace meterdesk {
namespace {

// A face whose characters are px / 2 wide; capitals ink rows 2 .. px - 3 of the cell, and a
// text with a descender ('p', 'g', 'y') reaches down to the cell's last row.
TextInk fake_measure(const std::string &text, int px) {
    TextInk ink;
    ink.advance = static_cast<int>(text.size()) * px / 2;
    if (text.find_first_not_of(' ') == std::string::npos) return ink; // no ink
    ink.top = 2;
    ink.bottom = text.find_first_of("pgy") != std::string::npos ? px - 1 : px - 3;
    return ink;
}

TextLine line(int y, int px, std::string text, int x = 450) {
    return {x, y, kPanelTextColour, px, std::move(text)};
}

struct FitCase {
    const char *what;
    std::vector<TextLine> lines;
    std::vector<int> fonts; // expected, in the order of `lines`
};

TEST(TextFit, EachLineGetsTheLargestFontThatFitsItsRoom) {
    const int right = 591; // 141 pixels from x 450
    const std::string wide(25, 'A');
    const FitCase cases[] = {
        {"fits as it is", {line(55, 12, "SENSOR NOT ZEROED")}, {12}},
        {"too wide: 25 x 11 / 2 = 137 fits, 25 x 12 / 2 = 150 does not",
         {line(110, 14, wide)},
         {11}},
        {"ends exactly at the limit", {line(110, 14, std::string(20, 'A'), 451)}, {14}},
        {"an upper line with a descender is made smaller until one blank row is left",
         // "Up" at 14: ink to row 113; "AB" below from row 114. At 13: ink to row 112.
         {line(100, 14, "Up"), line(112, 14, "AB")},
         {13, 14}},
        {"lines with a blank row between them keep their fonts",
         {line(70, 12, "OVERLOAD"), line(80, 12, "REDUCE"), line(90, 12, "AVOID")},
         {12, 12, 12}},
        {"lines 8 apart: caps of 12 reach row 79 and the next line's start at row 80",
         {line(70, 12, "OVERLOAD"), line(78, 12, "REDUCE")},
         {11, 12}},
        {"a line that fits nowhere gets the smallest font", {line(55, 12, wide + wide)}, {9}},
        {"a font already below the smallest is left alone", {line(55, 8, wide + wide)}, {8}},
        {"two lines on one row are fitted against the row below, not each other",
         {line(100, 14, "Ap"), line(100, 14, "Bp", 300), line(110, 14, "C")},
         {11, 11, 14}},
        {"a blank line below does not push the line above",
         {line(100, 14, "Ap"), line(105, 14, "   ")},
         {14, 14}},
        {"the order of the lines does not matter",
         {line(112, 14, "AB"), line(100, 14, "Up")},
         {14, 13}},
    };
    for (const FitCase &c : cases) {
        std::vector<TextLine> lines = c.lines;
        fit_text_lines(lines, right, 9, fake_measure);
        ASSERT_EQ(lines.size(), c.fonts.size()) << c.what;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].font_px, c.fonts[i]) << c.what << ", line " << i;
            EXPECT_EQ(lines[i].x, c.lines[i].x) << c.what; // positions are kept
            EXPECT_EQ(lines[i].y, c.lines[i].y) << c.what;
        }
    }
}

TEST(TextFit, TheLinesOfAGroupShareTheSmallestFontAnyOfThemNeeded) {
    // The second line of group 1 is too wide at 14 and needs 11; the first follows it. The
    // line of group 2 and the single line keep theirs.
    std::vector<TextLine> lines = {line(100, 14, "Relative"), line(112, 14, std::string(25, 'S')),
                                   line(140, 14, "Limits"), line(160, 14, "Single")};
    lines[0].group = lines[1].group = 1;
    lines[2].group = 2;
    fit_text_lines(lines, 591, 9, fake_measure);
    EXPECT_EQ(lines[0].font_px, 11);
    EXPECT_EQ(lines[1].font_px, 11);
    EXPECT_EQ(lines[2].font_px, 14);
    EXPECT_EQ(lines[3].font_px, 14);
}

TEST(TextFit, ALineAboveAGroupThatShrankIsFittedAgain) {
    // In this face smaller fonts start their ink higher (row px - 12). Group 1 shrinks to 11
    // because of its wide second line, so its first line's ink moves up from row 122 to 119:
    // the line above, fitted against row 122 first, must then end at row 117.
    std::vector<TextLine> lines = {line(106, 14, "Upper"), line(120, 14, "Group"),
                                   line(150, 14, std::string(25, 'W'))};
    lines[1].group = lines[2].group = 1;
    fit_text_lines(lines, 591, 9, [](const std::string &text, int px) {
        TextInk ink = fake_measure(text, px);
        ink.top = px - 12;
        return ink;
    });
    EXPECT_EQ(lines[2].font_px, 11);
    EXPECT_EQ(lines[1].font_px, 11);
    EXPECT_EQ(lines[0].font_px, 12);
}

TEST(TextFit, AnUpperLineIsFittedAgainstTheFontItsLowerNeighbourGot) {
    // In this face the ink starts higher in smaller sizes (row px - 12 of the cell). The lower
    // line is too wide at 14 and drops to 11, so its ink starts at row 120 - 1 = 119 instead
    // of 122: "Upper" (ink to row 106 + px - 1) must end at row 117, which takes 12.
    std::vector<TextLine> lines = {line(106, 14, "Upper"), line(120, 14, std::string(25, 'L'))};
    fit_text_lines(lines, 591, 9, [](const std::string &text, int px) {
        TextInk ink = fake_measure(text, px);
        ink.top = px - 12;
        return ink;
    });
    EXPECT_EQ(lines[1].font_px, 11);
    EXPECT_EQ(lines[0].font_px, 12);
}

} // namespace
} // namespace meterdesk
