#include "meterdesk/core/screen_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace meterdesk {
namespace {

constexpr int kWidth = 594;
constexpr int kHeight = 281;

TEST(ScreenLayout, ClearKeepsTheStatusPanelOnlyWhileAPowerReadoutRunsWithIt) {
    struct Case {
        bool live;
        int mode;
        bool panel;
        int width;
    };
    const Case cases[] = {
        {true, kModeLog, true, kWidth * 3 / 4},   {true, kModeLinear, true, kWidth * 3 / 4},
        {true, kModeVolts, true, kWidth * 3 / 4}, {true, kModeTemperature, true, kWidth},
        {false, kModeLog, true, kWidth},          {true, kModeLog, false, kWidth},
    };
    for (const Case &c : cases) {
        const Rect r = clear_area(kWidth, kHeight, c.live, c.mode, c.panel);
        EXPECT_EQ(r, (Rect{0, 28, c.width, kHeight - 28})) << c.mode << " " << c.live;
    }
}

TEST(ScreenLayout, SeparatorDividesReadoutFromPanelWithAVWhileTheReadoutRuns) {
    const auto plain = separator_lines(kWidth, kHeight, true, kModeTemperature);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].from, (Point{0, 28}));
    EXPECT_EQ(plain[0].to, (Point{kWidth - 1, 28}));
    EXPECT_EQ(plain[0].colour, kSeparatorColour);

    const int x = kWidth * 3 / 4 - 15;
    EXPECT_EQ(divider_x(kWidth), x);
    const auto divided = separator_lines(kWidth, kHeight, true, kModeLog);
    ASSERT_EQ(divided.size(), 5u);
    // The V's two strokes meet at (x, 38), from where the divider runs to the bottom.
    EXPECT_EQ(divided[1].from, (Point{x - 10, 28}));
    EXPECT_EQ(divided[1].to, (Point{x, 38}));
    EXPECT_EQ(divided[2].from, (Point{x + 10, 28}));
    EXPECT_EQ(divided[4].from, (Point{x, 38}));
    EXPECT_EQ(divided[4].to, (Point{x, kHeight - 1}));
    // The horizontal line leaves the V's mouth open.
    EXPECT_EQ(divided[0].to, (Point{x - 10, 28}));
    EXPECT_EQ(divided[3].from, (Point{x + 10, 28}));
}

TEST(ScreenLayout, ModelLabelTextAndGapByModelAndBrand) {
    struct Case {
        int model;
        bool marrick;
        const char *text;
        LabelGap gap;
    };
    const Case cases[] = {
        {kModelRx1, false, "RX1 - s/n 42", {155, 300}},
        {kModelRx2, false, "RX2LOKAN - s/n 42", {120, 320}},
        {kModelRx4, false, "RX4LO - s/n 42", {145, 310}},
        {kModelRx4, true, "71326 - s/n 42", {145, 305}},
        {kModelRx5, false, "RX5L - s/n 42", {150, 305}},
        {kModelRx6, false, "RX6 - s/n 42", {150, 295}},
        {kModelRx6, true, "RX6 - s/n 42", {145, 305}},
        {kModelUnknown, false, "UNKNOWN (NEW) SENSOR", {120, 320}},
        {99, false, "UNKNOWN (NEW) SENSOR", {120, 320}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(model_label_text(c.model, c.marrick, "42"), c.text);
        EXPECT_EQ(model_label_gap(c.model, c.marrick), c.gap) << c.text;
    }
}

TEST(ScreenLayout, FrameFollowsTheDisplaySetupAndMode) {
    FrameInput in;
    in.model_index = kModelRx4;
    in.sensor_serial = "RX100001";

    in.display_setup = 0;
    in.readout_top = 20;
    FrameLayout f = frame_layout(in);
    EXPECT_TRUE(f.readout_frame);
    EXPECT_FALSE(f.meter_frame);
    EXPECT_EQ(f.box, (Box{30, 107, 400, 185, 1, kBlack}));
    EXPECT_EQ(f.label.text, "RX4LO - s/n RX100001");
    EXPECT_EQ(f.label.centre_x, (145 + 310) / 2);
    EXPECT_LT(f.label.y, 107);
    EXPECT_GT(f.label.y + f.label.font_px, 107); // the label straddles the top edge

    in.display_setup = 1;
    in.readout_top = 0;
    f = frame_layout(in);
    EXPECT_FALSE(f.readout_frame);
    EXPECT_TRUE(f.meter_frame);
    EXPECT_EQ(f.meter_top, 35);

    in.display_setup = 2;
    in.readout_top = -25;
    f = frame_layout(in);
    EXPECT_TRUE(f.readout_frame);
    EXPECT_TRUE(f.meter_frame);
    EXPECT_EQ(f.box.top, -25 + 25 - 10 + 62);
    EXPECT_EQ(f.meter_top, 85);

    // Temperature: the frame with the label, never the meter.
    in.meas_mode = kModeTemperature;
    in.display_setup = 1;
    in.readout_top = 20;
    f = frame_layout(in);
    EXPECT_TRUE(f.readout_frame);
    EXPECT_FALSE(f.meter_frame);
}

TEST(ScreenLayout, MeterTicksByMode) {
    const int t = 85;
    const MeterFrameLayout log = meter_frame_layout(t, kModeLog);
    EXPECT_EQ(log.box, (Box{30, t + 60, 400, t + 170, 2, kBlack}));
    // Seven majors, then the 11-pixel minors from 61 that do not fall on a major.
    std::vector<int> majors, minors;
    for (const auto &tick : log.ticks) {
        (tick.from.y == t + 85 ? majors : minors).push_back(tick.from.x);
        EXPECT_EQ(tick.to.y, t + 110);
    }
    EXPECT_EQ(majors, (std::vector<int>{50, 105, 160, 215, 270, 325, 380}));
    EXPECT_EQ(minors.front(), 61);
    EXPECT_EQ(minors.back(), 369);
    EXPECT_EQ(std::count(minors.begin(), minors.end(), 105), 0);
    EXPECT_EQ(minors.size(), 29u - 5u); // 61..369 step 11 holds 29 positions, 5 of them majors

    const MeterFrameLayout linear = meter_frame_layout(t, kModeLinear);
    ASSERT_EQ(linear.ticks.size(), 7u + 18u);
    // Interval k: 64 + 55k (short), +14 (long), +28 (short).
    EXPECT_EQ(linear.ticks[7].from, (Point{64, t + 95}));
    EXPECT_EQ(linear.ticks[7].to, (Point{64, t + 105}));
    EXPECT_EQ(linear.ticks[8].to, (Point{78, t + 110}));
    EXPECT_EQ(linear.ticks[24].from.x, 64 + 55 * 5 + 28);
}

TEST(ScreenLayout, MeterRowsStayInsideTheBoxAndApart) {
    const int t = 35;
    const Rect labels = meter_label_row(t);
    const Rect needle = meter_needle_row(t);
    const Rect caption = meter_caption_row(t);
    // Labels end above the ticks (t + 85); the needle row starts below them (t + 110) and ends
    // above the channel line (t + 140); the caption stays inside the channel box.
    EXPECT_LE(labels.y + labels.height, t + 85);
    EXPECT_GT(needle.y, t + 110);
    EXPECT_LE(needle.y + needle.height, t + 140);
    EXPECT_GE(caption.y, t + 142);
    EXPECT_LE(caption.y + caption.height, t + 162);
    for (const Rect &r : {labels, needle, caption}) {
        EXPECT_GE(r.x, 32);
        EXPECT_LE(r.x + r.width, 398);
    }
    const auto wedge = needle_wedge(t, 50);
    EXPECT_EQ(wedge[2].x - wedge[1].x + 1, 9);
    EXPECT_GE(wedge[0].y, needle.y);
    EXPECT_LT(wedge[1].y, needle.y + needle.height);
}

} // namespace
} // namespace meterdesk
