// The trace plot's layout: texts, positions and the flag logic of the repaint requests.
#include "meterdesk/core/app_state.h"
#include "meterdesk/trace/plot_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace meterdesk_test {
namespace {

using namespace meterdesk;

void fill(AppState &s, int samples, std::vector<double> values, std::vector<double> temps = {}) {
    s.trace_samples = samples;
    for (std::size_t i = 0; i < values.size(); ++i) {
        s.trace_values[i] = values[i];
        s.trace_temps[i] = i < temps.size() ? temps[i] : 25.0;
    }
    s.trace_count = static_cast<std::int32_t>(values.size());
}

void flag_full_redraw(AppState &s) {
    s.redraw_frame = s.redraw_time_axis = s.redraw_level_axis = s.redraw_temp_axis = true;
}

std::vector<std::string> texts(const PlotPass &pass, PlotColour colour) {
    std::vector<std::string> out;
    for (const auto &l : pass.labels)
        if (l.colour == colour) out.push_back(l.text);
    return out;
}

TEST(PlotLayout, TimeLabels) {
    AppState s;
    s.trace_samples = 500;
    s.trace_period_s = 0.2;
    flag_full_redraw(s);
    PlotMemory memory;
    const PlotPass pass = plan_trace_screen(s, memory);
    EXPECT_EQ(texts(pass, PlotColour::kInk),
              (std::vector<std::string>{"0.0secs", "25.0secs", "50.0secs", "1min 15secs",
                                        "1min 40secs", "Initialising TRACE",
                                        "Acquiring data for first two points", "(0.4 seconds)"}));
    const auto first = pass.labels.front();
    EXPECT_EQ(first, (PlotLabel{"0.0secs", 50, 257, PlotAlign::kCentre, PlotColour::kInk}));
    EXPECT_EQ(pass.labels[4].x, 550);
    EXPECT_EQ(time_label_text(100 * 900.0), "25hrs 0mins");
    EXPECT_TRUE(pass.curves.empty()); // the initialising screen draws no curve
}

TEST(PlotLayout, LevelLabelFormats) {
    struct Case {
        int units;
        bool relative;
        double value;
        const char *text;
    };
    const Case cases[] = {
        {1121, false, 0.0005, "500.00n"}, {1121, false, 0.002, "2.00u"},
        {1121, false, 150, "150.00m"},    {1121, false, 50, "50.000m"},
        {1121, false, 5000, "5.000"},     {1121, false, 2e6, "2.00K"},
        {1121, true, 12.34, "12.3"},      {1120, false, 5e-7, "500n"},
        {1120, false, 0.5, "500.0000m"},  {1122, false, -12.3456, "-12.346"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(level_label_text(c.units, c.relative, c.value), c.text) << c.value;
    EXPECT_EQ(format_linear_text(0.0005, false), "500.000nW");
    EXPECT_EQ(format_volts_text(0.0123), "12.3000mV");
    EXPECT_DOUBLE_EQ(round_to_3(1.23456), 1.235);
}

TEST(PlotLayout, ManualScaleClipsToTheTopLine) {
    AppState s;
    s.trace_units = 1122;
    s.trace_autoscale = false;
    s.plot_min = -10;
    s.plot_max = 0;
    s.plot_span = 10;
    s.plot_step = 1;
    fill(s, 10, {-5, 3, -10});
    flag_full_redraw(s);
    PlotMemory memory;
    const PlotPass pass = plan_trace_repaint(s, memory);
    ASSERT_EQ(pass.curves.size(), 1u);
    const auto &points = pass.curves[0].points;
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0], (PlotPoint{50, 140}));
    EXPECT_EQ(points[1], (PlotPoint{105, 40})); // +3 dBm on the top line
    EXPECT_EQ(points[2], (PlotPoint{161, 240}));
    EXPECT_TRUE(s.trace_clipped);
    EXPECT_EQ(texts(pass, PlotColour::kLevelBlue).front(), "-10.000");
}

TEST(PlotLayout, FlatAndNonFiniteTracesStayOnThePlot) {
    AppState s;
    s.trace_temperature = true;
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    fill(s, 10, {-7, -7, nan, -7, infinity}, {25, 25, 25, 25, 25});
    flag_full_redraw(s);
    PlotMemory memory;
    const PlotPass pass = plan_trace_repaint(s, memory);
    EXPECT_EQ(s.plot_min, -7);
    EXPECT_EQ(s.plot_max, -7);
    ASSERT_EQ(pass.curves.size(), 2u);
    EXPECT_EQ(pass.curves[0].points.size(), 3u); // the two non-finite points are skipped
    EXPECT_EQ(pass.curves[1].points.size(), 5u);
    for (const auto &curve : pass.curves)
        for (const auto &p : curve.points) EXPECT_EQ(p.y, 140);
    EXPECT_FALSE(s.trace_clipped);
}

TEST(PlotLayout, MarkersListAndLines) {
    AppState s;
    s.trace_units = 1121;
    s.trace_autoscale = false;
    s.plot_min = 0;
    s.plot_max = 0.0005;
    s.plot_span = 0.0005;
    s.seconds_per_pixel = 100 * 1.0 * 0.002;
    s.x_markers_on = true;
    s.y_markers_on = true;
    s.x1_pos = 300;
    s.x2_pos = 500;
    s.y1_pos = 10;
    s.y2_pos = 110;
    fill(s, 100, std::vector<double>(100, 0.0002));
    PlotMemory memory;
    const PlotPass pass = plan_trace_repaint(s, memory);
    ASSERT_TRUE(pass.marker_list_written);
    EXPECT_EQ(pass.marker_list,
              (std::vector<std::string>{"X1: 50.00 Seconds", "X2: 90.00 Seconds",
                                        "X2 - X1: 40.00 Seconds", " ", "Y1: 500.000nW",
                                        "Y2: 250.000nW", "Y2 - Y1: -250.000nW"}));
    EXPECT_NE(std::find(pass.marker_lines.begin(), pass.marker_lines.end(),
                        PlotLine{PlotPen::kMarker, 300, 50, 300, 250}),
              pass.marker_lines.end());
    EXPECT_NE(std::find(pass.marker_lines.begin(), pass.marker_lines.end(),
                        PlotLine{PlotPen::kMarker, 50, 40, 530, 40}),
              pass.marker_lines.end());
    EXPECT_EQ(pass.marker_tags.size(), 4u);
}

TEST(PlotLayout, RequestFlagLogic) {
    AppState s;
    PlotMemory memory;
    fill(s, 10, {-5, -4});
    s.show_initialising = true;
    PlotPass pass = plan_trace_repaint(s, memory);
    // The second point ends the initialising screen with a frame and time axis.
    EXPECT_FALSE(s.show_initialising);
    EXPECT_TRUE(pass.clear_client);
    EXPECT_FALSE(pass.lines.empty());
    EXPECT_TRUE(s.plot_done);

    // A marker move clears only the plot rectangle and draws the frame again.
    fill(s, 10, {-5, -4, -3});
    memory = {-5, -3, 0, 0};
    s.markers_moved = true;
    pass = plan_trace_repaint(s, memory);
    EXPECT_TRUE(pass.clear_plot);
    EXPECT_FALSE(pass.clear_client);
    EXPECT_FALSE(s.markers_moved);

    // New auto-scale bounds with more than two points force a full redraw.
    fill(s, 10, {-5, -4, -3, 1});
    pass = plan_trace_repaint(s, memory);
    EXPECT_TRUE(pass.clear_client);
    EXPECT_EQ(texts(pass, PlotColour::kLevelBlue).size(), 13u); // 11 labels and two captions
}

} // namespace
} // namespace meterdesk_test
