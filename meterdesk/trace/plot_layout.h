// The trace plot as pure layout: what one trace repaint (request 6, or 10 for the
// "Initialising TRACE" screen) draws, element by element, at the main window's client pixels,
// and the plot flags it clears or sets on the way. The Qt painter only carries the elements
// out, so every position, text, pen and colour is tested here.
//
// Beyond the plain rules: a flat curve (zero span, as a constant temperature gives) is drawn
// at y 140 instead of dividing by zero, and points that are not finite numbers are skipped and
// left out of the auto-scale.
#pragma once

#include <string>
#include <vector>

namespace meterdesk {

struct AppState;

enum class PlotPen {
    kFrame,            // black 2 px
    kGrid,             // green 1 px
    kGridDotted,       // green 1 px dotted
    kCurve,            // blue 1 px
    kTemperatureCurve, // red 1 px
    kMarker,           // grey RGB(125,125,125) 1 px
};

enum class PlotColour { kInk, kLevelBlue, kTemperatureRed, kMarkerGrey };
enum class PlotAlign { kLeft, kCentre, kRight };

struct PlotLine {
    PlotPen pen;
    int x1, y1, x2, y2;
    bool operator==(const PlotLine &) const = default;
};

struct PlotPoint {
    int x, y;
    bool operator==(const PlotPoint &) const = default;
};

struct PlotCurve {
    PlotPen pen;
    std::vector<PlotPoint> points; // the first is a move, the others lines
};

// A text; `x` is its left edge, centre or right edge after `align`, `y` its top.
struct PlotLabel {
    std::string text;
    int x, y;
    PlotAlign align;
    PlotColour colour;
    bool operator==(const PlotLabel &) const = default;
};

// One plot pass, in drawing order: clear, lines, labels, curves, markers.
struct PlotPass {
    bool clear_client = false;   // clear the client area below the toolbar white
    bool clear_plot = false;     // fill the plot rectangle (50,40)-(550,250) white
    bool draw_separator = false; // the toolbar separator line again
    std::vector<PlotLine> lines; // frame, grid, ticks
    std::vector<PlotLabel> labels;
    std::vector<PlotCurve> curves;
    std::vector<PlotLine> marker_lines;
    std::vector<PlotLabel> marker_tags;
    bool marker_list_written = false; // the markers' listbox gets marker_list
    std::vector<std::string> marker_list;
};

// The previous auto-scale bounds of the two axes, kept by the plot between passes.
struct PlotMemory {
    double level_min = 0, level_max = 0;
    double temp_min = 0, temp_max = 0;
};

// Request 6: the flag logic of the request, then the plot pass. Updates the plot flags, the
// auto-scale bounds, trace_clipped and plot_done in `state`.
PlotPass plan_trace_repaint(AppState &state, PlotMemory &memory);

// Request 10: show_initialising, then request 6.
PlotPass plan_trace_screen(AppState &state, PlotMemory &memory);

// Whether the stored curve leaves the manual level scale, as the curve pass decides it. The
// trace's end status uses it, so "Trace Clipped" does not depend on when the plot was drawn.
bool trace_clips(const AppState &state);

// The texts and helpers of the plot.
std::string time_label_text(double seconds);
std::string level_label_text(int units, bool relative, double value);
std::string format_volts_text(double volts);
std::string format_linear_text(double milliwatts, bool relative);
double round_to_3(double value);

} // namespace meterdesk
