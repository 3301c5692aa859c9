// What the main window draws with, made once at start-up: the six "arial" fonts (Liberation
// Sans, metric-compatible, so the pixel layout holds), the digit and unit glyph strips of the
// large readouts, the splash logo and the program icon.
#pragma once

#include <QFont>
#include <QIcon>
#include <QImage>

namespace meterdesk::ui {

struct ScreenFonts {
    QFont px60, px24, px18, px16, px14, px12;

    // The font of a pixel height (60, 24, 18, 16, 14 or 12); the 12-pixel font otherwise.
    const QFont &of_size(int pixels) const;
};

// Liberation Sans with cells 60, 24, 18, 16, 14 and 12 pixels high; fontconfig substitutes a
// near face without it.
ScreenFonts make_screen_fonts();
int em_for_cell_height(int cell_pixels);
// The drawing's face with a cell `cell_pixels` high (any height, not only the six above).
QFont screen_font(int cell_pixels);

// The digit glyphs (bitmap 232): 31 x 42 cells, digit d at x 31 d, "-" at 310, blank at 372,
// "." at 403 (20 wide). The unit glyphs (bitmap 236): 42 high, the readout units 113 wide at
// the x of unit_glyph_source_x, 'C at 1017 and 'F at 1072 (54 wide). Black on white.
struct GlyphStrips {
    QImage digits;
    QImage units;
};

GlyphStrips render_glyph_strips();

// The splash logo (bitmap 328), 252 x 80.
QImage render_splash_logo();

// The program's icon (resource 104).
QIcon program_icon();

struct ScreenResources {
    ScreenFonts fonts;
    GlyphStrips glyphs;
    QImage logo;
};

ScreenResources make_screen_resources();

} // namespace meterdesk::ui
