#include "meterdesk/base/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

namespace meterdesk::rtf {

namespace {

// Control words are at most 32 letters; a longer one is read whole and ignored.
constexpr std::size_t kMaxWordLength = 32;
// Indents and spacing beyond 22 inches are clamped (the widest page a word processor offers).
constexpr int kMaxTwips = 31680;
constexpr int kMinFontSize = 2;
constexpr int kMaxFontSize = 3276;
// Tab stops of one paragraph are at most this many.
constexpr std::size_t kMaxTabStops = 64;
// The fallback characters after \uN are at most this many.
constexpr int kMaxFallback = 16;

// Code page 1252 where it differs from Latin-1 (bytes 0x80..0x9F); 0 marks an unassigned byte,
// which stands for the control character of the same number.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Named characters.
const std::map<std::string_view, char32_t> &named_characters() {
    static const std::map<std::string_view, char32_t> names = {
        {"bullet", 0x2022},    {"emdash", 0x2014},    {"endash", 0x2013}, {"emspace", 0x2003},
        {"enspace", 0x2002},   {"qmspace", 0x2005},   {"lquote", 0x2018}, {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},    {"zwnj", 0x200C},
        {"ltrmark", 0x200E},   {"rtlmark", 0x200F},   {"zwbo", 0x200B},
    };
    return names;
}

// Destinations whose text is not part of the body.
bool is_skipped_destination(std::string_view word) {
    static constexpr std::string_view kSkipped[] = {
        "stylesheet",
        "info",
        "pict",
        "object",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "annotation",
        "xe",
        "tc",
        "txe",
        "rxe",
        "fldinst",
        "listtable",
        "listoverridetable",
        "revtbl",
        "rsidtbl",
        "filetbl",
        "themedata",
        "colorschememapping",
        "datastore",
        "latentstyles",
        "generator",
        "bkmkstart",
        "bkmkend",
        "nonshppict",
        "shppict",
        "private",
        "pgdsctbl",
        "userprops",
        "xmlnstbl",
    };
    return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

enum class Destination { kBody, kSkip, kFontTable, kColourTable };

struct ParaFormat {
    Alignment alignment = Alignment::kLeft;
    int left_indent = 0;
    int right_indent = 0;
    int first_line_indent = 0;
    int space_before = 0;
    int space_after = 0;
    int outline_level = -1;
    std::vector<int> tab_stops;
};

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    int font_size = kDefaultFontSize;
    int colour_index = 0; // 0: automatic
    int font_index = -1;  // -1: the document's default font
};

struct GroupState {
    Destination destination = Destination::kBody;
    CharState chars;
    ParaFormat para;
    int fallback_count = 1; // \uc
};

int clamp_int(long long value, int low, int high) {
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

class Reader {
  public:
    explicit Reader(std::string_view source) : in_(source) { stack_.emplace_back(); }

    Document run() {
        while (pos_ < in_.size() && !finished_) step();
        end_paragraph(false);
        return std::move(document_);
    }

  private:
    GroupState &state() { return stack_.back(); }

    // --- input -------------------------------------------------------------------------------

    void step() {
        const char c = in_[pos_++];
        switch (c) {
        case '{':
            open_group();
            return;
        case '}':
            close_group();
            return;
        case '\\':
            control();
            return;
        case '\r':
        case '\n':
            return; // line ends in the source are not text
        default:
            // A raw tab is a tab; other control bytes are not text.
            if (c != '\t' && static_cast<unsigned char>(c) < 0x20) return;
            if (consume_fallback()) return;
            text_char(from_cp1252(static_cast<unsigned char>(c)));
        }
    }

    void open_group() {
        fallback_left_ = 0;
        if (overflow_ > 0 || stack_.size() > kMaxGroupDepth) {
            ++overflow_; // too deep: skipped whole, but its braces are still counted
            return;
        }
        stack_.push_back(stack_.back());
    }

    void close_group() {
        fallback_left_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.size() <= 1) return; // a stray closing brace
        const GroupState closing = stack_.back();
        if (closing.destination == Destination::kFontTable) commit_font();
        stack_.pop_back();
        // The closing brace of the outermost group ends the document.
        if (stack_.size() == 1) finished_ = true;
    }

    void control() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (is_letter(c)) {
            control_word();
            return;
        }
        ++pos_;
        if (c == '\'') {
            hex_escape();
            return;
        }
        if (consume_fallback()) return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            text_char(static_cast<char32_t>(c));
            return;
        case '*':
            // An optional destination this reader does not know: skip the group.
            state().destination = Destination::kSkip;
            return;
        case '~':
            text_char(0x00A0);
            return;
        case '_':
            text_char(0x2011);
            return;
        case '\r':
        case '\n':
            paragraph_break();
            return;
        default:
            return; // \- (optional hyphen), \| , \: and unknown symbols
        }
    }

    void control_word() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && is_letter(in_[pos_])) ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);

        bool has_number = false;
        long long number = 0;
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            is_digit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && is_digit(in_[pos_])) {
            has_number = true;
            // Saturate: a parameter of any length stays within 32 bits.
            if (number < (1LL << 32)) number = number * 10 + (in_[pos_] - '0');
            ++pos_;
        }
        if (negative) number = -number;
        number = std::clamp<long long>(number, INT32_MIN, INT32_MAX);
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_; // the delimiting space

        if (word.size() > kMaxWordLength) return;
        if (word == "bin") {
            skip_binary(has_number ? number : 0);
            return;
        }
        if (consume_fallback()) return;
        apply_word(word, has_number, static_cast<int>(number));
    }

    void hex_escape() {
        int value = -1;
        if (pos_ + 1 < in_.size()) {
            const int high = hex_value(in_[pos_]);
            const int low = hex_value(in_[pos_ + 1]);
            if (high >= 0 && low >= 0) {
                value = high * 16 + low;
                pos_ += 2;
            }
        }
        if (value < 0) return; // not an escape: the characters are read as they come
        if (consume_fallback()) return;
        text_char(from_cp1252(static_cast<unsigned char>(value)));
    }

    void skip_binary(long long count) {
        if (count <= 0) return;
        const auto left = static_cast<long long>(in_.size() - pos_);
        pos_ += static_cast<std::size_t>(std::min(count, left));
    }

    // After \uN the next \uc characters are a fallback for readers without Unicode.
    bool consume_fallback() {
        if (fallback_left_ <= 0) return false;
        --fallback_left_;
        return true;
    }

    // --- control words -------------------------------------------------------------------------

    void apply_word(std::string_view word, bool has_number, int n) {
        GroupState &s = state();
        CharState &chars = s.chars;
        ParaFormat &para = s.para;
        const bool on = !has_number || n != 0;

        if (word == "fonttbl") {
            s.destination = Destination::kFontTable;
            font_name_.clear();
            return;
        }
        if (word == "colortbl") {
            s.destination = Destination::kColourTable;
            colour_set_ = false;
            return;
        }
        if (is_skipped_destination(word)) {
            s.destination = Destination::kSkip;
            return;
        }
        if (s.destination == Destination::kFontTable) {
            if (word == "f" && has_number) {
                commit_font();
                font_number_ = n;
            }
            return;
        }
        if (s.destination == Destination::kColourTable) {
            const int component = clamp_int(n, 0, 255);
            if (word == "red") {
                colour_.red = component;
                colour_set_ = true;
            } else if (word == "green") {
                colour_.green = component;
                colour_set_ = true;
            } else if (word == "blue") {
                colour_.blue = component;
                colour_set_ = true;
            }
            return;
        }

        if (word == "u" && has_number) {
            // The fallback stands in for the character; a number that is no character keeps
            // its fallback visible.
            if (unicode(n)) fallback_left_ = std::clamp(s.fallback_count, 0, kMaxFallback);
            return;
        }
        if (word == "uc") {
            s.fallback_count = std::clamp(has_number ? n : 1, 0, kMaxFallback);
            return;
        }

        // Character formatting.
        if (word == "b")
            chars.bold = on;
        else if (word == "i")
            chars.italic = on;
        else if (word == "ul")
            chars.underline = on;
        else if (word == "ulnone")
            chars.underline = false;
        else if (word == "v")
            chars.hidden = on;
        else if (word == "fs")
            chars.font_size =
                clamp_int(has_number ? n : kDefaultFontSize, kMinFontSize, kMaxFontSize);
        else if (word == "cf")
            chars.colour_index = has_number ? std::max(n, 0) : 0;
        else if (word == "f")
            chars.font_index = has_number ? std::max(n, 0) : -1;
        else if (word == "plain")
            chars = CharState{};
        else if (word == "deff")
            default_font_ = has_number ? n : 0;
        // Paragraph formatting.
        else if (word == "pard")
            para = ParaFormat{};
        else if (word == "ql")
            para.alignment = Alignment::kLeft;
        else if (word == "qc")
            para.alignment = Alignment::kCentre;
        else if (word == "qr")
            para.alignment = Alignment::kRight;
        else if (word == "qj" || word == "qd")
            para.alignment = Alignment::kJustified;
        else if (word == "li")
            para.left_indent = clamp_int(n, -kMaxTwips, kMaxTwips);
        else if (word == "ri")
            para.right_indent = clamp_int(n, -kMaxTwips, kMaxTwips);
        else if (word == "fi")
            para.first_line_indent = clamp_int(n, -kMaxTwips, kMaxTwips);
        else if (word == "sb")
            para.space_before = clamp_int(n, 0, kMaxTwips);
        else if (word == "sa")
            para.space_after = clamp_int(n, 0, kMaxTwips);
        else if (word == "outlinelevel")
            para.outline_level = clamp_int(n, 0, 9);
        else if (word == "tx") {
            if (para.tab_stops.size() < kMaxTabStops)
                para.tab_stops.push_back(clamp_int(n, 0, kMaxTwips));
        }
        // Breaks and special characters.
        else if (word == "par" || word == "page" || word == "sect" || word == "row")
            paragraph_break();
        else if (word == "line")
            text_char(U'\n');
        else if (word == "tab" || word == "cell")
            text_char(U'\t');
        else {
            const auto &names = named_characters();
            if (const auto found = names.find(word); found != names.end()) text_char(found->second);
        }
    }

    // Returns false when `n` is no character.
    bool unicode(int n) {
        // The parameter is a signed 16-bit number: characters above U+7FFF come negative.
        long long value = n;
        if (value < 0) value += 65536;
        if (value <= 0 || value > 0x10FFFF) return false;
        const auto code = static_cast<char32_t>(value);
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (high_surrogate_ != 0) put_char(0xFFFD);
            high_surrogate_ = code;
            return true;
        }
        if (code >= 0xDC00 && code <= 0xDFFF) {
            if (high_surrogate_ == 0) {
                put_char(0xFFFD);
                return true;
            }
            const char32_t joined = 0x10000 + ((high_surrogate_ - 0xD800) << 10) + (code - 0xDC00);
            high_surrogate_ = 0;
            put_char(joined);
            return true;
        }
        text_char(code);
        return true;
    }

    // --- tables ------------------------------------------------------------------------------

    void commit_font() {
        const std::string name = trimmed(font_name_);
        if (font_number_ >= 0 && !name.empty() && fonts_.size() < 4096) fonts_[font_number_] = name;
        font_name_.clear();
        font_number_ = -1;
    }

    void table_char(char32_t c) {
        GroupState &s = state();
        if (s.destination == Destination::kFontTable) {
            if (c == U';')
                commit_font();
            else if (font_name_.size() < 256)
                font_name_ += utf8(c);
            return;
        }
        if (s.destination == Destination::kColourTable && c == U';') {
            if (colours_.size() < 4096) {
                colours_.push_back(colour_set_ ? std::optional<Rgb>(colour_) : std::nullopt);
            }
            colour_ = Rgb{};
            colour_set_ = false;
        }
    }

    // --- body text -----------------------------------------------------------------------------

    // A character of text. A high surrogate still waiting for its low half is reported first.
    void text_char(char32_t c) {
        if (high_surrogate_ != 0) {
            high_surrogate_ = 0;
            put_char(0xFFFD);
        }
        put_char(c);
    }

    void put_char(char32_t c) {
        if (overflow_ > 0) return;
        const GroupState &s = state();
        if (s.destination != Destination::kBody) {
            table_char(c);
            return;
        }
        if (s.chars.hidden) return;
        CharFormat format = char_format(s.chars);
        std::vector<Run> &runs = paragraph_.runs;
        if (runs.empty() || !(runs.back().format == format))
            runs.push_back(Run{{}, std::move(format)});
        runs.back().text += utf8(c);
    }

    CharFormat char_format(const CharState &chars) const {
        CharFormat format;
        format.bold = chars.bold;
        format.italic = chars.italic;
        format.underline = chars.underline;
        format.font_size = chars.font_size;
        if (chars.colour_index > 0 &&
            static_cast<std::size_t>(chars.colour_index) < colours_.size()) {
            format.colour = colours_[static_cast<std::size_t>(chars.colour_index)];
        }
        const int font = chars.font_index >= 0 ? chars.font_index : default_font_;
        if (const auto found = fonts_.find(font); found != fonts_.end())
            format.font = found->second;
        return format;
    }

    void paragraph_break() {
        if (overflow_ > 0 || state().destination != Destination::kBody) return;
        end_paragraph(true);
    }

    // Ends the paragraph being read with the paragraph format now in force. At the end of the
    // input (`forced` false) a paragraph without text is dropped.
    void end_paragraph(bool forced) {
        if (!forced && paragraph_.runs.empty()) return;
        const ParaFormat &para = state().para;
        paragraph_.alignment = para.alignment;
        paragraph_.left_indent = para.left_indent;
        paragraph_.right_indent = para.right_indent;
        paragraph_.first_line_indent = para.first_line_indent;
        paragraph_.space_before = para.space_before;
        paragraph_.space_after = para.space_after;
        paragraph_.outline_level = para.outline_level;
        paragraph_.tab_stops = para.tab_stops;
        document_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = Paragraph{};
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    bool finished_ = false;
    std::vector<GroupState> stack_;
    std::size_t overflow_ = 0; // open groups beyond the depth limit
    int fallback_left_ = 0;
    char32_t high_surrogate_ = 0;

    std::map<int, std::string> fonts_;
    int default_font_ = 0;
    int font_number_ = -1;
    std::string font_name_;
    std::vector<std::optional<Rgb>> colours_;
    Rgb colour_;
    bool colour_set_ = false;

    Document document_;
    Paragraph paragraph_;
};

} // namespace

std::string utf8(char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

char32_t from_cp1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kCp1252High[byte - 0x80];
        return mapped != 0 ? mapped : byte;
    }
    return byte;
}

std::string Paragraph::text() const {
    std::string out;
    for (const Run &run : runs) out += run.text;
    return out;
}

std::string Document::text() const {
    std::string out;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) out += '\n';
        out += paragraphs[i].text();
    }
    return out;
}

Document read(std::string_view source) {
    return Reader(source).run();
}

} // namespace meterdesk::rtf
