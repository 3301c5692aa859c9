// Colours and text-line records shared by the main window's layout helpers.
#pragma once

#include "meterdesk/base/rgb.h"

#include <string>

namespace meterdesk {

inline constexpr Rgb kPanelTextColour{90, 130, 210};
inline constexpr Rgb kAlarmTextColour{250, 0, 0};
inline constexpr Rgb kMeterTextColour{220, 80, 30}; // meter text and needle
inline constexpr Rgb kSplashTextColour{130, 143, 159};
inline constexpr Rgb kSplashFrameColour{0, 0, 170};
inline constexpr Rgb kPanelBackgroundColour{240, 240, 240}; // meter and panel background
inline constexpr Rgb kSeparatorColour{190, 190, 190};
inline constexpr Rgb kPageColour{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect &) const = default;
};

// One line of text in the "arial" face: (x, y) is the top-left corner of the line. Lines of one
// block (the same group, not 0) are drawn in one font size when they have to be made smaller.
struct TextLine {
    int x = 0;
    int y = 0;
    Rgb colour;
    int font_px = 12;
    std::string text;
    int group = 0;
    bool operator==(const TextLine &) const = default;
};

} // namespace meterdesk
