// Where the glyphs of the large readouts go.
//
// The readouts are drawn from two bitmaps: the digit glyphs (31 x 42 pixels each) and the unit
// glyphs (42 pixels high). Texts are laid out right to left, one 31-pixel cell per character:
// the rightmost cell starts at a fixed x and each further character takes the cell to the left
// of the one before. Cells that the previous, longer text used are overwritten with the blank
// glyph so that no stale digit stays on the left.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace meterdesk {

// Digit bitmap (resource 232).
inline constexpr int kDigitGlyphWidth = 31;
inline constexpr int kDigitGlyphHeight = 42;
inline constexpr int kMinusGlyphSourceX = 310;
inline constexpr int kBlankGlyphSourceX = 372;
inline constexpr int kPointGlyphSourceX = 403;
inline constexpr int kPointGlyphWidth = 20;
inline constexpr int kPointGlyphShift = 11; // the point sits at the right of its cell

// Unit bitmap (resource 236).
inline constexpr int kUnitGlyphWidth = 113;
inline constexpr int kUnitGlyphHeight = 42;
inline constexpr int kCelsiusGlyphSourceX = 1017;
inline constexpr int kFahrenheitGlyphSourceX = 1072;
inline constexpr int kTemperatureUnitGlyphWidth = 54;

// Readout positions: the x where the rightmost character cell starts, and the unit glyph's x.
inline constexpr int kReadoutLastCellX = 240;
inline constexpr int kReadoutUnitX = 280;
inline constexpr std::size_t kInitialReadoutLength = 7; // remembered length before any reading
inline constexpr int kTemperatureLastCellX = 275;
inline constexpr int kTemperatureY = 125;
inline constexpr int kTemperatureUnitX = 311;

// One copy from a glyph bitmap (source y 0, height 42) to the window.
struct GlyphDraw {
    int source_x = 0;
    int width = 0;
    int x = 0; // destination
    int y = 0;
    bool operator==(const GlyphDraw &) const = default;
};

// Source x of the unit glyph of a readout unit index (0..15); -1 for an unknown index.
int unit_glyph_source_x(int unit_index);

// Lays `text` out right to left, its last character in the cell starting at `last_cell_x`, each
// character before it one cell further left. At least
// `min_cells` cells are drawn: those beyond the text get the blank glyph. Characters other
// than digits, '-' and '.' are drawn blank. The result has one entry per cell, rightmost first.
std::vector<GlyphDraw> layout_digit_glyphs(std::string_view text, int last_cell_x, int y,
                                           std::size_t min_cells);

// Top of the readout's glyph row for a display setup (0 numeric, 1 meter, 2 both).
int readout_glyph_y(int display_setup, int readout_top);

struct ReadoutGlyphs {
    std::vector<GlyphDraw> digits;
    GlyphDraw unit;
};

// The main readout: the last character's cell from x 240 (so "-10.000" covers x 54..270, inside
// the frame that starts at x 30), unit glyph at x 280. `previous_length` is the
// length of the text drawn before (kInitialReadoutLength at first); the caller remembers
// text.size() for the next reading.
ReadoutGlyphs layout_readout(std::string_view text, int unit_index, int display_setup,
                             int readout_top, std::size_t previous_length);

} // namespace meterdesk
