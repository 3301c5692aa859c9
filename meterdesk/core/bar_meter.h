// The bar meter's scale, labels, needle and caption.
//
// The meter shows the power reading on a 330-pixel scale from x 50 to x 380 with seven labels
// at x = 50 + 55 k. Its scale is either typed (meter_auto off) or chosen from the reading: a
// 30 dB window in 20 dB steps for log power, a full scale of 1.2, 12 or 120 of a unit for
// linear power. The caller remembers the last scale and needle x and redraws only what changed.
#pragma once

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/display_colours.h"

#include <array>
#include <string>

namespace meterdesk {

inline constexpr int kMeterScaleLeftX = 50;
inline constexpr int kMeterScaleRightX = 380;
inline constexpr int kMeterLabelCount = 7;

struct MeterInput {
    int meas_mode = kModeLog;
    bool relative_enabled = false;
    double reading = 0.0; // reading_power: dBm (dB) in the log scale, mW (percent) in linear

    bool meter_auto = true;
    double meter_min_db = -50.0;
    double meter_max_db = 20.0;
    double meter_min_mw = 0.0;
    double meter_max_mw = 100.0;
    int meter_unit_index = 1; // 0 uW, 1 mW, 2 W, 3 KW, 4 MW
    double meter_unit_mw = 1.0;

    int display_setup = 1;
    int readout_top = 0;
};

struct MeterScale {
    double minimum = 0.0; // in the scale's unit
    double maximum = 0.0;
    int reading_power = 0; // a reading is shown on the scale times 10^reading_power
    std::array<std::string, kMeterLabelCount> labels;
    std::string unit_text; // "dBm ", "dB ", "mW ", "K% ", ...
    bool auto_scaled = true;
    bool operator==(const MeterScale &) const = default;
};

// The scale for a reading. Volts mode uses the log-power scale (it shows the last power
// reading).
MeterScale meter_scale(const MeterInput &input);

enum class NeedleRange { kInRange, kUnder, kOver };

struct MeterNeedle {
    int x = kMeterScaleLeftX; // 50..380; pinned to the nearer end outside the scale
    NeedleRange range = NeedleRange::kUnder;
    bool operator==(const MeterNeedle &) const = default;
};

// Needle of `reading` (in the input's unit) on `scale`: x = 50 + 330 (value - min) / (max -
// min); below 50 is under range, 381 or more over range. A value that is no number, or a scale
// without a span, reads under range (over range for a value that is too large).
MeterNeedle meter_needle(const MeterScale &scale, double reading);

// "   Under Range", "   Over Range", or the unit text followed by "(Auto Scaled)" or
// "(Manual Scaling)".
std::string meter_caption(const MeterScale &scale, NeedleRange range);

// Top t of the meter frame: readout_top + 35 with the meter alone, else 85.
int meter_top(int display_setup, int readout_top);

struct MeterLabel {
    int centre_x = 0; // the label is centred on this x
    int y = 0;        // top of the text
    int font_px = 14;
    std::string text;
    bool operator==(const MeterLabel &) const = default;
};

struct MeterView {
    int top = 0;
    MeterScale scale;
    std::array<MeterLabel, kMeterLabelCount> labels; // in the meter text colour
    MeterNeedle needle;                              // drawn in the needle colour
    TextLine caption;                                // black, at (215, t + 142)
};

MeterView layout_meter(const MeterInput &input);

MeterInput meter_input(const AppState &state);

} // namespace meterdesk
