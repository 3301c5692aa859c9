// The RTF reader: text, characters and skipped destinations from small snippets; formatting of
// runs and paragraphs; and inputs that are broken, truncated, deeply nested or random.
#include "meterdesk/base/rtf_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

namespace rtf = meterdesk::rtf;
using namespace std::string_literals;
using meterdesk::Rgb;

std::vector<std::string> paragraph_texts(const rtf::Document &document) {
    std::vector<std::string> texts;
    for (const auto &paragraph : document.paragraphs) texts.push_back(paragraph.text());
    return texts;
}

// Whether `text` is well-formed UTF-8 (no surrogates, no overlong forms).
bool valid_utf8(const std::string &text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) return false; // cut short
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

struct TextCase {
    const char *name;
    std::string rtf;
    std::vector<std::string> paragraphs;
};

TEST(RtfReader, TextOfSnippets) {
    const TextCase cases[] = {
        {"paragraphs", R"({\rtf1\ansi one\par two\par})", {"one", "two"}},
        {"text after the last \\par is a paragraph", R"({\rtf1 one\par two})", {"one", "two"}},
        {"empty paragraphs are kept", R"({\rtf1 a\par\par b\par})", {"a", "", "b"}},
        {"source line ends are not text", "{\\rtf1 one\r\ntwo\\par}", {"onetwo"}},
        {"backslash before a line end is a paragraph", "{\\rtf1 one\\\ntwo}", {"one", "two"}},
        {"the space after a control word delimits it", R"({\rtf1 \b  x\par})", {" x"}},
        {"escaped braces and backslash", R"({\rtf1 \{a\}\\b\par})", {"{a}\\b"}},
        {"line break and tab", R"({\rtf1 a\line b\tab c\par})", {"a\nb\tc"}},
        {"page, section and table breaks",
         R"({\rtf1 a\page b\sect c\cell d\row})",
         {"a", "b", "c\td"}},
        {"code page 1252 escapes",
         R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80 \'93x\'94\par})",
         {"caf\u00e9 \u20ac \u201cx\u201d"}},
        {"raw 8-bit bytes are code page 1252", "{\\rtf1 caf\xe9 \x96\\par}", {"caf\u00e9 \u2013"}},
        {"unassigned 1252 byte", R"({\rtf1 \'81\par})", {"\u0081"}},
        {"named punctuation",
         R"({\rtf1 \bullet\emdash\endash\lquote\rquote\ldblquote\rdblquote\~\_\-\par})",
         {"\u2022\u2014\u2013\u2018\u2019\u201c\u201d\u00a0\u2011"}},
        {"\\u with its one fallback character", R"({\rtf1 25 \u176?C\par})", {"25 \u00b0C"}},
        {"negative \\u", R"({\rtf1 \u-4064?\par})", {"\uf020"}},
        {"\\uc2 skips two fallback characters", R"({\rtf1\uc2 \u8364EU!\par})", {"\u20ac!"}},
        {"\\uc0 skips nothing", R"({\rtf1\uc0 \u8364 EUR\par})", {"\u20acEUR"}},
        {"a hex escape is one fallback character", R"({\rtf1 \u8364\'80x\par})", {"\u20acx"}},
        {"a control word is one fallback character", R"({\rtf1 \u8364\bullet x\par})", {"\u20acx"}},
        {"a brace ends the fallback", R"({\rtf1\uc3 {\u8364}abc\par})", {"\u20acabc"}},
        {"\\uc is scoped to its group", R"({\rtf1 {\uc0 \u8364}\u8364?x\par})", {"\u20ac\u20acx"}},
        {"surrogate pair", R"({\rtf1 \u-10179?\u-8704?\par})", {"\U0001f600"}},
        {"lone surrogates become U+FFFD", R"({\rtf1 \u-10179?x\u-8704?\par})", {"\ufffdx\ufffd"}},
        {"skipped destinations",
         R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red1\green2\blue3;}{\stylesheet{\s0 Normal;}})"
         R"({\info{\title Title}{\author Me}}{\*\generator Writer 1.0;}{\header head}{\footer foot})"
         R"({\footnote note}{\*\bkmkstart mark}body\par})",
         {"body"}},
        {"unknown starred destinations",
         R"({\rtf1{\*\unknownthing {nested} text}shown\par})",
         {"shown"}},
        {"a field shows its result",
         R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}\par})",
         {"link"}},
        {"a picture with binary data", "{\\rtf1{\\pict\\bin4 {}\\}end}after\\par}", {"after"}},
        {"hidden text", R"({\rtf1 a{\v hidden}b\par})", {"ab"}},
        {"text after the document is ignored", R"({\rtf1 a\par}b\par)", {"a"}},
    };
    for (const TextCase &c : cases) {
        const rtf::Document document = rtf::read(c.rtf);
        EXPECT_EQ(paragraph_texts(document), c.paragraphs) << c.name;
    }
}

TEST(RtfReader, CharacterFormattingMakesRuns) {
    const rtf::Document document = rtf::read(
        R"({\rtf1\ansi\deff1{\fonttbl{\f0\fswiss Helvetica;}{\f1\froman\fcharset0 Times New Roman;})"
        R"({\f2\fmodern{\*\panose 02070309020205020404} Courier New;}})"
        R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
        R"(plain {\b bold {\i both}} \i italic\i0  \ul under\ulnone  {\fs36 big} )"
        R"({\cf1 red}{\cf2 blue}{\cf9 none}{\f0 sans}{\f2 mono}\b\fs20\plain reset\par})");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const auto &runs = document.paragraphs[0].runs;

    rtf::CharFormat plain;
    plain.font = "Times New Roman"; // \deff1
    auto with = [&](auto change) {
        rtf::CharFormat format = plain;
        change(format);
        return format;
    };
    const std::vector<rtf::Run> expected = {
        {"plain ", plain},
        {"bold ", with([](auto &f) { f.bold = true; })},
        {"both", with([](auto &f) { f.bold = f.italic = true; })},
        {" ", plain},
        {"italic", with([](auto &f) { f.italic = true; })},
        {" ", plain},
        {"under", with([](auto &f) { f.underline = true; })},
        {" ", plain},
        {"big", with([](auto &f) { f.font_size = 36; })},
        {" ", plain},
        {"red", with([](auto &f) {
             f.colour = Rgb{255, 0, 0};
         })},
        {"blue", with([](auto &f) {
             f.colour = Rgb{0, 0, 255};
         })},
        {"none", plain}, // a colour index outside the table is the default colour
        {"sans", with([](auto &f) { f.font = "Helvetica"; })},
        {"mono", with([](auto &f) { f.font = "Courier New"; })},
        {"reset", plain},
    };
    EXPECT_EQ(runs, expected);
}

TEST(RtfReader, ParagraphFormattingIsTakenWhereTheParagraphEnds) {
    const rtf::Document document =
        rtf::read(R"({\rtf1 {\pard\qc\sb120\sa240\outlinelevel0\b\fs36 Title\par})"
                  R"({\pard\li360\fi-360\ri100\qj\tx360\tx99999999 item\sa180\par})"
                  R"(\qr right\par\pard after\par})");
    ASSERT_EQ(document.paragraphs.size(), 4u);
    const auto &title = document.paragraphs[0];
    EXPECT_EQ(title.alignment, rtf::Alignment::kCentre);
    EXPECT_EQ(title.space_before, 120);
    EXPECT_EQ(title.space_after, 240);
    EXPECT_EQ(title.outline_level, 0);
    EXPECT_TRUE(title.runs.at(0).format.bold);

    const auto &item = document.paragraphs[1];
    EXPECT_EQ(item.alignment, rtf::Alignment::kJustified);
    EXPECT_EQ(item.left_indent, 360);
    EXPECT_EQ(item.first_line_indent, -360);
    EXPECT_EQ(item.right_indent, 100);
    EXPECT_EQ(item.space_after, 180); // set just before \par, as list writers do
    EXPECT_EQ(item.outline_level, -1);
    EXPECT_EQ(item.tab_stops, (std::vector<int>{360, 31680}));

    // Paragraph formatting is scoped to its group, like character formatting.
    EXPECT_EQ(document.paragraphs[2].alignment, rtf::Alignment::kRight);
    EXPECT_EQ(document.paragraphs[2].left_indent, 0);
    EXPECT_TRUE(document.paragraphs[2].tab_stops.empty());
    EXPECT_EQ(document.paragraphs[3].alignment, rtf::Alignment::kLeft);
    EXPECT_FALSE(document.paragraphs[3].runs.at(0).format.bold);
}

TEST(RtfReader, ColourTableAutoEntriesAndFontTableWithoutGroups) {
    const rtf::Document document =
        rtf::read(R"({\rtf1{\fonttbl\f0\fnil Arial;\f1\fnil Symbol;})"
                  R"({\colortbl\red10\green20\blue30;;\red0\green128\blue0;})"
                  R"({\cf0 a}{\cf1\b b}{\cf2 c}{\f1 d}\par})");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const auto &runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].format.colour, std::nullopt); // \cf0 is always the default colour
    EXPECT_EQ(runs[1].format.colour, std::nullopt); // an empty entry (bold to keep its run)
    EXPECT_EQ(runs[2].format.colour, (Rgb{0, 128, 0}));
    EXPECT_EQ(runs[0].format.font, "Arial");
    EXPECT_EQ(runs[3].format.font, "Symbol");
}

struct BrokenCase {
    const char *name;
    std::string rtf;
    std::string text; // Document::text()
};

TEST(RtfReader, BrokenInputGivesWhatCanBeRead) {
    const BrokenCase cases[] = {
        {"empty", "", ""},
        {"only an opening brace", "{", ""},
        {"stray closing braces", "}}}{\\rtf1 a}", "a"},
        {"not rich text at all", "plain words", "plain words"},
        {"truncated inside a group", R"({\rtf1 {\b bold)", "bold"},
        {"truncated after a backslash", "{\\rtf1 a\\", "a"},
        {"truncated hex escape", "{\\rtf1 a\\'4", "a4"},
        {"hex escape without hex digits", "{\\rtf1 a\\'zz", "azz"},
        {"\\u without a number", R"({\rtf1 a\u b\par})", "ab"},
        {"\\u out of range", R"({\rtf1 a\u99999999999999999999?b\par})", "a?b"},
        {"\\bin longer than the input", R"({\rtf1 a{\pict\bin99999999999999 xyz)", "a"},
        {"negative \\bin", R"({\rtf1 a\bin-5 b\par})", "ab"},
        {"nul bytes", "{\\rtf1 a\0b\\par}"s, "ab"},
        {"a control word of 5000 letters", "{\\rtf1 a\\" + std::string(5000, 'x') + " b}", "ab"},
        {"a number of 5000 digits", "{\\rtf1 a\\fs" + std::string(5000, '9') + " b}", "ab"},
        {"unterminated font and colour tables", R"({\rtf1{\fonttbl{\f0 Arial)", ""},
    };
    for (const BrokenCase &c : cases) {
        EXPECT_EQ(rtf::read(c.rtf).text(), c.text) << c.name;
    }
}

TEST(RtfReader, HugeNumbersAreClamped) {
    const rtf::Document document =
        rtf::read(R"({\rtf1 {\fs99999999999999999999\li-99999999999999\sa99999999999 a\par})"
                  R"({\fs-5\cf-3\f-2 b\par}})");
    ASSERT_EQ(document.paragraphs.size(), 2u);
    EXPECT_EQ(document.paragraphs[0].runs.at(0).format.font_size, 3276);
    EXPECT_EQ(document.paragraphs[0].left_indent, -31680);
    EXPECT_EQ(document.paragraphs[0].space_after, 31680);
    EXPECT_EQ(document.paragraphs[1].runs.at(0).format.font_size, 2);
    EXPECT_EQ(document.paragraphs[1].runs.at(0).format.colour, std::nullopt);
}

TEST(RtfReader, DeepNestingIsBoundedAndKeepsTheDocumentAround) {
    // Nesting within the limit keeps the text and restores formatting on the way out.
    std::string nested = "{\\rtf1 start ";
    for (int i = 0; i < 90; ++i) nested += "{\\b ";
    nested += "deep";
    for (int i = 0; i < 90; ++i) nested += "}";
    nested += " end\\par}";
    rtf::Document document = rtf::read(nested);
    EXPECT_EQ(document.text(), "start deep end");
    EXPECT_FALSE(document.paragraphs.at(0).runs.back().format.bold);

    // A million open groups cost neither stack nor memory; the text beyond the limit is
    // dropped and the text after the deep part still reads once its braces have closed.
    const std::size_t depth = 1'000'000;
    std::string bomb = "{\\rtf1 before ";
    bomb.append(depth, '{');
    bomb += "lost";
    bomb.append(depth, '}');
    bomb += " after\\par}";
    document = rtf::read(bomb);
    EXPECT_EQ(document.text(), "before  after");

    // The same, never closed.
    std::string unclosed = "{\\rtf1 before ";
    unclosed.append(depth, '{');
    EXPECT_EQ(rtf::read(unclosed).text(), "before ");
}

TEST(RtfReader, RandomInputNeverBreaksTheReader) {
    // Fragments of real rich text shuffled into random documents, plus random bytes.
    const std::vector<std::string> pieces = {
        "{",           "}",
        "\\",          "\\par ",
        "\\b ",        "\\b0 ",
        "\\i",         "\\ul ",
        "\\fs",        "\\cf",
        "\\f",         "\\u",
        "\\uc",        "-",
        "99999999999", "1",
        "\\'",         "e9",
        "\\'9",        "\\*",
        "\\fonttbl",   "\\colortbl",
        "\\red",       ";",
        "\\bin",       "\\pict ",
        "\\pard\\qc ", "\\tab",
        "\\line",      "\\field{\\*\\fldinst x}{\\fldrslt y}",
        "text ",       "\xe9",
        "\x93",        std::string(1, '\0'),
        "\\u-10179?",  "\\u-8704?",
        "\\uc0 ",      "\\uc5 ",
    };
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string input;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            if (random() % 8 == 0) {
                input += static_cast<char>(random() & 0xff);
            } else {
                input += pieces[random() % pieces.size()];
            }
        }
        const rtf::Document document = rtf::read(input);
        for (const auto &paragraph : document.paragraphs) {
            for (const auto &run : paragraph.runs) {
                ASSERT_TRUE(valid_utf8(run.text)) << "input: " << input;
                ASSERT_GE(run.format.font_size, 2);
                ASSERT_LE(run.format.font_size, 3276);
            }
        }
    }
}

TEST(RtfReader, Utf8AndCodePageHelpers) {
    EXPECT_EQ(rtf::utf8(U'A'), "A");
    EXPECT_EQ(rtf::utf8(0xE9), "\u00e9");
    EXPECT_EQ(rtf::utf8(0x20AC), "\u20ac");
    EXPECT_EQ(rtf::utf8(0x1F600), "\U0001f600");
    EXPECT_EQ(rtf::utf8(0xD800), "\ufffd");
    EXPECT_EQ(rtf::utf8(0x110000), "\ufffd");
    EXPECT_EQ(rtf::from_cp1252(0x41), U'A');
    EXPECT_EQ(rtf::from_cp1252(0x80), U'\u20ac');
    EXPECT_EQ(rtf::from_cp1252(0x9F), U'\u0178');
    EXPECT_EQ(rtf::from_cp1252(0x8D), U'\u008d');
    EXPECT_EQ(rtf::from_cp1252(0xFF), U'\u00ff');
}

} // namespace
