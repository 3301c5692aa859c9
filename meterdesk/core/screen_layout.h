// Geometry of the main window's screens: the splash, the disconnected screen, the separator
// below the toolbar, the measurement frame with its model label, the bar meter's frame and the
// temperature screen's labels. Pure functions of the display state; the Qt layer draws what
// they return, pixel for pixel.
//
// Coordinates are client-area pixels. Boxes and line segments include both end points; a box's
// pen is drawn inwards from its edges. Rect (display_colours.h) is a half-open area to fill.
#pragma once

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/display_colours.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk {

// The toolbar covers the client area above this row; the screens are drawn from it down.
inline constexpr int kToolbarBottom = 28;

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point &) const = default;
};

struct LineSegment {
    Point from;
    Point to;
    int width = 1;
    Rgb colour;
    bool operator==(const LineSegment &) const = default;
};

struct Box {
    int left = 0;
    int top = 0;
    int right = 0; // inclusive
    int bottom = 0;
    int pen = 1;
    Rgb colour;
    bool operator==(const Box &) const = default;
};

// A text centred on centre_x with the top of its line at y.
struct CentredText {
    int centre_x = 0;
    int y = 0;
    Rgb colour;
    int font_px = 12;
    std::string text;
    bool operator==(const CentredText &) const = default;
};

// --- Clear (RepaintRequest 1) and separator ---------------------------------------------------

// Below the toolbar: the whole width, or three quarters of it (the status panel keeps its
// area) while the live readout runs in a power or voltage mode with the panel shown.
Rect clear_area(int client_width, int client_height, bool live_readout_enabled, int meas_mode,
                bool info_panel_shown);

// x of the divider between the readout and the status panel: 3/4 of the width less 15.
int divider_x(int client_width);

// The grey line along y 28. While the live readout runs in a mode other than temperature it is
// interrupted at the divider by a small "V" from which a vertical line runs to the bottom.
std::vector<LineSegment> separator_lines(int client_width, int client_height,
                                         bool live_readout_enabled, int meas_mode);

// --- Splash (0) and disconnected screen (2)
// -------------------------------------------------------

inline constexpr int kSplashLogoWidth = 252;
inline constexpr int kSplashLogoHeight = 80;

struct SplashLayout {
    Point logo;                  // top-left of the 252 x 80 logo
    std::vector<TextLine> lines; // two 24-pixel lines and the brand-and-year line
    Box frame;                   // 2 pixels, splash frame colour
};

SplashLayout splash_layout();

std::array<TextLine, 2> disconnected_lines(); // "NO SENSOR" / "CONNECTED", 60 pixels

// --- Measurement frame and model label (3) -----------------------------------------------------

struct LabelGap {
    int left = 0;
    int right = 0;
    bool operator==(const LabelGap &) const = default;
};

// The gap left in the frame's top edge for the label: by model, or (145, 305) for a
// second-brand sensor.
LabelGap model_label_gap(int model_index, bool brand_marrick);

// "RX4LO - s/n " + serial, "71326 - s/n " + serial for the second brand, or
// "UNKNOWN (NEW) SENSOR" without a serial.
std::string model_label_text(int model_index, bool brand_marrick, std::string_view serial);

struct FrameInput {
    int meas_mode = kModeLog;
    int display_setup = 0;
    int readout_top = 20;
    int model_index = kModelUnknown;
    bool brand_marrick = false;
    std::string sensor_serial;
};

struct FrameLayout {
    bool readout_frame = false; // the rectangle with the model label
    Box box;                    // 1 pixel, black; its top edge is open between gap.left and .right
    LabelGap gap;
    CentredText label; // 18 pixels, black, centred in the gap on the top edge
    bool meter_frame = false;
    int meter_top = 0;
};

FrameLayout frame_layout(const FrameInput &input);
FrameInput frame_input(const AppState &state);

// --- Bar meter frame ---------------------------------------------------------------------------

struct MeterFrameLayout {
    Box box; // 2 pixels, black, filled with the meter background
    LineSegment scale_line;
    LineSegment channel_line; // 2 pixels: the top of the needle channel
    Box channel_box;          // 1 pixel
    std::vector<LineSegment> ticks;
};

// The frame for meter top t: minor ticks every 11 pixels in dBm mode, three per interval in the
// other modes.
MeterFrameLayout meter_frame_layout(int top, int meas_mode);

// Rows of the meter that change with the readings. Each is filled with the meter background
// before it is drawn again, so that no old label, needle or caption stays behind.
Rect meter_label_row(int top);
Rect meter_needle_row(int top);
Rect meter_caption_row(int top);

// The needle: a wedge 9 pixels wide pointing up at the scale from the needle row.
std::array<Point, 3> needle_wedge(int top, int x);

// --- Temperature screen (8) ----------------------------------------------------------------------

std::array<TextLine, 2> temperature_labels(); // "SENSOR" / "TEMPERATURE"

} // namespace meterdesk
