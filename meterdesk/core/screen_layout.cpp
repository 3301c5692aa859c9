#include "meterdesk/core/screen_layout.h"

#include "meterdesk/core/bar_meter.h"

#include <string>

namespace meterdesk {
namespace {

constexpr int kSeparatorVDepth = 10; // the "V" reaches 10 pixels below the line
constexpr int kSeparatorVHalfWidth = 10;

constexpr int kFrameLeft = 30;
constexpr int kFrameRight = 400;
constexpr int kLabelFont = 18;
constexpr int kLabelRaise = 10; // the label's line straddles the frame's top edge

struct ModelLabel {
    const char *brand_a;
    const char *brand_b;
    LabelGap gap;
};

// Indexed by model_index 0..6.
constexpr ModelLabel kModelLabels[] = {
    {"RX1 - s/n ", "71308 - s/n ", {155, 300}},
    {"RX2LOKAN - s/n ", "71312 - s/n ", {120, 320}},
    {"RX3LOKAN - s/n ", "71318 - s/n ", {120, 320}},
    {"RX4LO - s/n ", "71326 - s/n ", {145, 310}},
    {"RX5L - s/n ", "71340 - s/n ", {150, 305}},
    {"RX6 - s/n ", "RX6 - s/n ", {150, 295}},
    {"UNKNOWN (NEW) SENSOR", "UNKNOWN (NEW) SENSOR", {120, 320}},
};
constexpr LabelGap kSecondBrandGap{145, 305};

const ModelLabel &model_label(int model_index) {
    if (model_index < kModelRx1 || model_index > kModelUnknown) return kModelLabels[kModelUnknown];
    return kModelLabels[model_index];
}

LineSegment line(int x1, int y1, int x2, int y2, Rgb colour = kBlack, int width = 1) {
    return {{x1, y1}, {x2, y2}, width, colour};
}

bool readout_runs(bool live_readout_enabled, int meas_mode) {
    return live_readout_enabled && meas_mode != kModeTemperature;
}

} // namespace

Rect clear_area(int client_width, int client_height, bool live_readout_enabled, int meas_mode,
                bool info_panel_shown) {
    const bool power_or_volts =
        meas_mode == kModeVolts || meas_mode == kModeLinear || meas_mode == kModeLog;
    const int width = live_readout_enabled && power_or_volts && info_panel_shown
                          ? client_width * 3 / 4
                          : client_width;
    return {0, kToolbarBottom, width, client_height - kToolbarBottom};
}

int divider_x(int client_width) {
    return client_width * 3 / 4 - 15;
}

std::vector<LineSegment> separator_lines(int client_width, int client_height,
                                         bool live_readout_enabled, int meas_mode) {
    const int right = client_width - 1;
    if (!readout_runs(live_readout_enabled, meas_mode))
        return {line(0, kToolbarBottom, right, kToolbarBottom, kSeparatorColour)};
    const int x = divider_x(client_width);
    const int tip = kToolbarBottom + kSeparatorVDepth;
    return {
        line(0, kToolbarBottom, x - kSeparatorVHalfWidth, kToolbarBottom, kSeparatorColour),
        line(x - kSeparatorVHalfWidth, kToolbarBottom, x, tip, kSeparatorColour),
        line(x + kSeparatorVHalfWidth, kToolbarBottom, x, tip, kSeparatorColour),
        line(x + kSeparatorVHalfWidth, kToolbarBottom, right, kToolbarBottom, kSeparatorColour),
        line(x, tip, x, client_height - 1, kSeparatorColour),
    };
}

SplashLayout splash_layout() {
    SplashLayout out;
    out.logo = {175, 50};
    out.lines = {
        {150, 170, kSplashTextColour, 24, "User Interface for the Zyn Quorix"},
        {90, 200, kSplashTextColour, 24, "Range of USB RF/Microwave Power Sensors"},
        {230, 235, kSplashTextColour, 18, "Zyn Quorix  2024"},
    };
    out.frame = {80, 160, 525, 265, 2, kSplashFrameColour};
    return out;
}

std::array<TextLine, 2> disconnected_lines() {
    return {{{105, 75, kBlack, 60, "NO SENSOR"}, {95, 125, kBlack, 60, "CONNECTED"}}};
}

LabelGap model_label_gap(int model_index, bool brand_marrick) {
    if (brand_marrick) return kSecondBrandGap;
    return model_label(model_index).gap;
}

std::string model_label_text(int model_index, bool brand_marrick, std::string_view serial) {
    const ModelLabel &label = model_label(model_index);
    if (model_index < kModelRx1 || model_index >= kModelUnknown) return label.brand_a;
    return std::string(brand_marrick ? label.brand_b : label.brand_a) + std::string(serial);
}

FrameLayout frame_layout(const FrameInput &in) {
    FrameLayout out;
    const bool temperature = in.meas_mode == kModeTemperature;
    out.readout_frame = temperature || in.display_setup != 1;
    out.meter_frame = !temperature && in.display_setup != 0;
    out.meter_top = meter_top(in.display_setup, in.readout_top);

    const int y = in.readout_top + 25 - (in.display_setup == 2 ? 10 : 0);
    out.box = {kFrameLeft, y + 62, kFrameRight, y + 140, 1, kBlack};
    out.gap = model_label_gap(in.model_index, in.brand_marrick);
    out.label = {(out.gap.left + out.gap.right) / 2, y + 62 - kLabelRaise, kBlack, kLabelFont,
                 model_label_text(in.model_index, in.brand_marrick, in.sensor_serial)};
    return out;
}

FrameInput frame_input(const AppState &state) {
    FrameInput in;
    in.meas_mode = state.meas_mode.load();
    in.display_setup = state.display_setup.load();
    in.readout_top = state.readout_top.load();
    in.model_index = state.model_index.load();
    in.brand_marrick = state.brand_marrick.load();
    in.sensor_serial = state.sensor_serial.get();
    return in;
}

MeterFrameLayout meter_frame_layout(int t, int meas_mode) {
    MeterFrameLayout out;
    out.box = {30, t + 60, 400, t + 170, 2, kBlack};
    out.scale_line = line(kMeterScaleLeftX, t + 100, kMeterScaleRightX, t + 100);
    out.channel_line = line(45, t + 140, 385, t + 140, kBlack, 2);
    out.channel_box = {45, t + 140, 385, t + 162, 1, kBlack};

    constexpr int kMajorStep = 55;
    for (int k = 0; k < kMeterLabelCount; ++k) {
        const int x = kMeterScaleLeftX + kMajorStep * k;
        out.ticks.push_back(line(x, t + 85, x, t + 110));
    }
    if (meas_mode == kModeLog) {
        for (int x = 61; x < kMeterScaleRightX; x += 11) {
            if ((x - kMeterScaleLeftX) % kMajorStep == 0) continue;
            out.ticks.push_back(line(x, t + 95, x, t + 110));
        }
    } else {
        for (int k = 0; k < kMeterLabelCount - 1; ++k) {
            const int x = 64 + kMajorStep * k;
            out.ticks.push_back(line(x, t + 95, x, t + 105));
            out.ticks.push_back(line(x + 14, t + 95, x + 14, t + 110));
            out.ticks.push_back(line(x + 28, t + 95, x + 28, t + 105));
        }
    }
    return out;
}

// Inside the box's 2-pixel border (x 32..397): the labels above the ticks, the needle between
// the ticks and the channel, the caption inside the channel.
Rect meter_label_row(int t) {
    return {32, t + 62, 366, 22};
}

Rect meter_needle_row(int t) {
    return {32, t + 111, 366, 29};
}

Rect meter_caption_row(int t) {
    return {46, t + 142, 339, 20};
}

std::array<Point, 3> needle_wedge(int t, int x) {
    return {{{x, t + 112}, {x - 4, t + 138}, {x + 4, t + 138}}};
}

std::array<TextLine, 2> temperature_labels() {
    return {{{90, 130, kBlack, 12, "SENSOR"}, {60, 150, kBlack, 12, "TEMPERATURE"}}};
}

} // namespace meterdesk
