// A reader for the rich text that word processors write, turning it into a small document
// model: paragraphs of runs of equally formatted text. The help viewers show what it reads.
//
// Understood: groups; the font and colour tables; destinations that hold no body text (style
// sheet, document info, pictures, objects, headers and footers, footnotes, fields'
// instructions, list tables, and every "\*" destination), which are skipped; \par, \line,
// \tab, \page, \cell and \row; \b, \i, \ul, \ulnone, \v (hidden), \fs, \cf, \f, \plain;
// \pard, \ql, \qc, \qr, \qj, \li, \ri, \fi, \sb, \sa, \tx, \outlinelevel; \'hh and 8-bit bytes in
// code page 1252; \uN with the \ucN fallback characters skipped; \binN data skipped; the named
// punctuation (\bullet, \emdash, \ldblquote, ...) and the symbols \~ \- \_ \\ \{ \}.
// Everything else is ignored.
//
// Any input is accepted: text after the document's closing brace is ignored, a truncated
// document gives what was read, groups nested deeper than kMaxGroupDepth are skipped, and
// numbers are clamped, so bad input can cost text but never memory or a crash.
#pragma once

#include "meterdesk/base/rgb.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk::rtf {

inline constexpr std::size_t kMaxGroupDepth = 100;
inline constexpr int kDefaultFontSize = 24; // half-points: 12 pt

enum class Alignment { kLeft, kCentre, kRight, kJustified };

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int font_size = kDefaultFontSize; // half-points, 2..3276
    std::optional<Rgb> colour;        // none: the pane's default text colour
    std::string font;                 // family from the font table; empty when none is named

    bool operator==(const CharFormat &) const = default;
};

// UTF-8 text of one format. A tab is '\t'; a line break inside the paragraph is '\n'.
struct Run {
    std::string text;
    CharFormat format;

    bool operator==(const Run &) const = default;
};

struct Paragraph {
    Alignment alignment = Alignment::kLeft;
    // In twips (1/1440 inch), as written.
    int left_indent = 0;
    int right_indent = 0;
    int first_line_indent = 0; // negative: a hanging indent
    int space_before = 0;
    int space_after = 0;
    int outline_level = -1;     // 0 for a top-level heading, 1 below it, ...; -1 for body text
    std::vector<int> tab_stops; // twips from the edge of the text column (indent 0), as written
    std::vector<Run> runs;

    std::string text() const; // the runs' text joined
};

struct Document {
    std::vector<Paragraph> paragraphs;

    std::string text() const; // paragraphs joined with '\n'
};

Document read(std::string_view source);

// The UTF-8 form of a code point; U+FFFD for one that is no character.
std::string utf8(char32_t code_point);

// The character that byte `byte` stands for in code page 1252.
char32_t from_cp1252(unsigned char byte);

} // namespace meterdesk::rtf
