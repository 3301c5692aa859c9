#include "meterdesk/core/readout_glyphs.h"

#include <algorithm>
#include <array>

namespace meterdesk {
namespace {

constexpr std::array<int, 16> kUnitGlyphSourceX = {0,   113,  226,  339,  452,  565,  678,  791,
                                                   904, 1127, 1240, 1353, 1464, 1577, 1690, 1803};

GlyphDraw glyph_for(char c, int cell_x, int y) {
    if (c >= '0' && c <= '9') return {kDigitGlyphWidth * (c - '0'), kDigitGlyphWidth, cell_x, y};
    if (c == '-') return {kMinusGlyphSourceX, kDigitGlyphWidth, cell_x, y};
    if (c == '.') return {kPointGlyphSourceX, kPointGlyphWidth, cell_x + kPointGlyphShift, y};
    return {kBlankGlyphSourceX, kDigitGlyphWidth, cell_x, y};
}

} // namespace

int unit_glyph_source_x(int unit_index) {
    if (unit_index < 0 || unit_index >= static_cast<int>(kUnitGlyphSourceX.size())) return -1;
    return kUnitGlyphSourceX[static_cast<std::size_t>(unit_index)];
}

std::vector<GlyphDraw> layout_digit_glyphs(std::string_view text, int last_cell_x, int y,
                                           std::size_t min_cells) {
    const std::size_t cells = std::max(text.size(), min_cells);
    std::vector<GlyphDraw> out;
    out.reserve(cells);
    for (std::size_t i = 0; i < cells; ++i) {
        const int cell_x = last_cell_x - kDigitGlyphWidth * static_cast<int>(i);
        const char c = i < text.size() ? text[text.size() - 1 - i] : ' ';
        out.push_back(glyph_for(c, cell_x, y));
    }
    return out;
}

int readout_glyph_y(int display_setup, int readout_top) {
    return readout_top + (display_setup == 2 ? 95 : 105);
}

ReadoutGlyphs layout_readout(std::string_view text, int unit_index, int display_setup,
                             int readout_top, std::size_t previous_length) {
    const int y = readout_glyph_y(display_setup, readout_top);
    ReadoutGlyphs out;
    out.digits = layout_digit_glyphs(text, kReadoutLastCellX, y, previous_length);
    out.unit = {unit_glyph_source_x(unit_index), kUnitGlyphWidth, kReadoutUnitX, y};
    return out;
}

} // namespace meterdesk
