#include "meterdesk/trace/plot_layout.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/c_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace meterdesk {
namespace {

constexpr int kUnitsVolts = 1120;
constexpr int kUnitsLinear = 1121;

constexpr int kLeft = 50;
constexpr int kRight = 550;
constexpr int kTop = 40;
constexpr int kBottom = 250;
constexpr int kFlatY = 140; // a curve without span sits mid-height

// Least and greatest finite value of the first `count` points; false when there is none.
bool finite_bounds(const std::array<std::atomic<double>, kTracePoints> &values, int count,
                   double &low, double &high) {
    bool any = false;
    for (int i = 0; i < count; ++i) {
        const double v = values[static_cast<std::size_t>(i)].load(std::memory_order_relaxed);
        if (!std::isfinite(v)) continue;
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    return any;
}

int curve_y(double v, double min, double span) {
    if (!(span > 0) || !std::isfinite(span)) return kFlatY;
    const double offset = std::trunc((v - min) * 200.0 / span);
    return 240 - static_cast<int>(std::clamp(offset, -1.0e6, 1.0e6));
}

int curve_x(int i, int samples) {
    if (samples < 2) return kLeft;
    return static_cast<int>(std::trunc(kLeft + i * 500.0 / (samples - 1)));
}

void force_full_redraw(AppState &s, PlotPass &pass, bool temperature_plotted) {
    pass.clear_client = true;
    s.redraw_frame = true;
    s.redraw_time_axis = true;
    s.redraw_level_axis = true;
    if (temperature_plotted) s.redraw_temp_axis = true;
}

void auto_scale(AppState &s, PlotMemory &memory, PlotPass &pass, int count) {
    const bool temperature_plotted = s.trace_temperature;
    bool changed = false;
    double low = 0, high = 0;
    if (s.trace_autoscale && finite_bounds(s.trace_values, count, low, high)) {
        s.plot_min = low;
        s.plot_max = high;
        s.plot_span = high - low;
        s.plot_step = (high - low) * 0.1;
        changed = changed || low != memory.level_min || high != memory.level_max;
        memory.level_min = low;
        memory.level_max = high;
    }
    if (temperature_plotted && s.trace_temp_autoscale &&
        finite_bounds(s.trace_temps, count, low, high)) {
        s.temp_min = low;
        s.temp_max = high;
        s.temp_span = high - low;
        s.temp_step = (high - low) * 0.1;
        changed = changed || low != memory.temp_min || high != memory.temp_max;
        memory.temp_min = low;
        memory.temp_max = high;
    }
    if (changed && count > 2) force_full_redraw(s, pass, temperature_plotted);
}

void frame_and_grid(PlotPass &pass) {
    pass.lines.push_back({PlotPen::kFrame, kLeft, kTop, kLeft, kBottom});
    pass.lines.push_back({PlotPen::kFrame, kLeft, kBottom, kRight, kBottom});
    pass.lines.push_back({PlotPen::kFrame, kRight, kBottom, kRight, kTop});
    for (int y = 240; y >= 40; y -= 20) pass.lines.push_back({PlotPen::kGrid, 48, y, 552, y});
    for (int x = kLeft; x <= kRight; x += 125) {
        pass.lines.push_back({PlotPen::kGrid, x, 250, x, 255});
        if (x != kLeft && x != kRight) pass.lines.push_back({PlotPen::kGrid, x, kTop, x, kBottom});
    }
    for (int x : {112, 237, 362, 487})
        pass.lines.push_back({PlotPen::kGridDotted, x, kTop, x, kBottom});
    pass.draw_separator = true;
}

void time_labels(const AppState &s, PlotPass &pass) {
    for (int k = 0; k <= 4; ++k) {
        const double t = k * s.trace_samples * s.trace_period_s / 4.0;
        pass.labels.push_back(
            {time_label_text(t), kLeft + 125 * k, 257, PlotAlign::kCentre, PlotColour::kInk});
    }
}

void initialising_texts(const AppState &s, PlotPass &pass) {
    pass.labels.push_back({"Initialising TRACE", 170, 110, PlotAlign::kLeft, PlotColour::kInk});
    pass.labels.push_back(
        {"Acquiring data for first two points", 170, 130, PlotAlign::kLeft, PlotColour::kInk});
    const double period = s.trace_period_s;
    const std::string first_two =
        s.trace_period_in_seconds
            ? c_format("(%.1f seconds)", 2 * period)
            : "(" + std::to_string(static_cast<long long>(std::trunc(2 * period / 60))) +
                  " minutes)";
    pass.labels.push_back({first_two, 400, 130, PlotAlign::kLeft, PlotColour::kInk});
}

void level_labels(const AppState &s, PlotPass &pass) {
    const int units = s.trace_units;
    const bool relative = s.relative_enabled;
    const double min = s.plot_min;
    const double step = s.plot_step;
    for (int k = 0; k <= 10; ++k) {
        pass.labels.push_back({level_label_text(units, relative, min + k * step), 46,
                               (12 - k) * 20 - 6, PlotAlign::kRight, PlotColour::kLevelBlue});
    }
    auto caption = [&](const char *text, int x, int y) {
        pass.labels.push_back({text, x, y, PlotAlign::kRight, PlotColour::kLevelBlue});
    };
    if (units == kUnitsVolts) {
        caption("Volts", 30, 250);
        if (relative) caption("(R)", 22, 260);
    } else if (units == kUnitsLinear) {
        caption("Linear", 27, 250);
        if (relative)
            caption("(%)", 15, 260);
        else
            caption("(Watts)", 31, 260);
    } else {
        caption("Log", 23, 250);
        if (relative)
            caption("(dB)", 25, 260);
        else
            caption("(dBm)", 30, 260);
    }
}

void level_curve(AppState &s, PlotPass &pass, int count) {
    s.trace_clipped = false;
    const bool manual = !s.trace_autoscale;
    const double min = s.plot_min;
    const double max = s.plot_max;
    const double span = s.plot_span;
    const int samples = s.trace_samples;
    PlotCurve curve{PlotPen::kCurve, {}};
    for (int i = 0; i < count; ++i) {
        double v = round_to_3(s.trace_values[static_cast<std::size_t>(i)].load());
        if (!std::isfinite(v)) continue;
        if (manual && v < min) {
            v = min;
            s.trace_clipped = true;
        } else if (manual && v > max) {
            v = max;
            s.trace_clipped = true;
        }
        curve.points.push_back({curve_x(i, samples), curve_y(v, min, span)});
    }
    pass.curves.push_back(std::move(curve));
}

void temperature(AppState &s, PlotPass &pass, int count) {
    const bool celsius = s.temperature_celsius;
    if (s.redraw_temp_axis.exchange(false)) {
        const double min = s.temp_min;
        const double step = s.temp_step;
        for (int k = 0; k <= 10; ++k)
            pass.labels.push_back({c_format(celsius ? "%.1f'C" : "%.1f'F", min + k * step), 554,
                                   234 - 20 * k, PlotAlign::kLeft, PlotColour::kTemperatureRed});
    }
    const bool manual = !s.trace_temp_autoscale;
    const double min = s.temp_min;
    const double max = s.temp_max;
    const double span = s.temp_span;
    const int samples = s.trace_samples;
    PlotCurve curve{PlotPen::kTemperatureCurve, {}};
    for (int i = 0; i < count; ++i) {
        double v = s.trace_temps[static_cast<std::size_t>(i)].load();
        if (!std::isfinite(v)) continue;
        if (manual) v = std::clamp(v, min, std::max(min, max));
        curve.points.push_back({curve_x(i, samples), curve_y(v, min, span)});
    }
    pass.curves.push_back(std::move(curve));
}

std::string level_text(const AppState &s, double level) {
    const bool relative = s.relative_enabled;
    switch (s.trace_units.load()) {
    case kUnitsVolts:
        return format_volts_text(level);
    case kUnitsLinear:
        return format_linear_text(level, relative);
    default:
        return c_format(relative ? "%.3fdB" : "%.3fdBm", level);
    }
}

void markers(const AppState &s, PlotPass &pass) {
    pass.marker_list_written = true;
    auto &list = pass.marker_list;
    const bool labelled = s.label_markers;
    if (s.x_markers_on) {
        const int x1 = s.x1_pos;
        const int x2 = s.x2_pos;
        const int top = labelled ? 50 : 40;
        if (labelled) {
            pass.marker_tags.push_back({"x1", x1, 41, PlotAlign::kCentre, PlotColour::kMarkerGrey});
            pass.marker_tags.push_back({"x2", x2, 41, PlotAlign::kCentre, PlotColour::kMarkerGrey});
        }
        pass.marker_lines.push_back({PlotPen::kMarker, x1, top, x1, kBottom});
        pass.marker_lines.push_back({PlotPen::kMarker, x2, top, x2, kBottom});
        const double spp = s.seconds_per_pixel;
        const double t1 = (x1 - 50) * spp;
        const double t2 = (x2 - 50) * spp;
        list.push_back(c_format("X1: %.2f Seconds", t1));
        list.push_back(c_format("X2: %.2f Seconds", t2));
        list.push_back(c_format("X2 - X1: %.2f Seconds", t2 - t1));
    } else {
        list.push_back("X Markers OFF");
    }
    list.push_back(" ");
    if (s.y_markers_on) {
        const int y1 = s.y1_pos;
        const int y2 = s.y2_pos;
        const int end = labelled ? 530 : 550;
        if (labelled) {
            pass.marker_tags.push_back(
                {"y2", 535, y2 + 23, PlotAlign::kLeft, PlotColour::kMarkerGrey});
            pass.marker_tags.push_back(
                {"y1", 535, y1 + 23, PlotAlign::kLeft, PlotColour::kMarkerGrey});
        }
        pass.marker_lines.push_back({PlotPen::kMarker, kLeft, y1 + 30, end, y1 + 30});
        pass.marker_lines.push_back({PlotPen::kMarker, kLeft, y2 + 30, end, y2 + 30});
        const double max = s.plot_max;
        const double span = s.plot_span;
        const double level1 = max - (y1 - 10) * span * 0.005;
        const double level2 = max - (y2 - 10) * span * 0.005;
        list.push_back("Y1: " + level_text(s, level1));
        list.push_back("Y2: " + level_text(s, level2));
        list.push_back("Y2 - Y1: " + level_text(s, level2 - level1));
    } else {
        list.push_back("Y Markers OFF");
    }
}

// The plot pass proper.
void plot_pass(AppState &s, PlotMemory &memory, PlotPass &pass) {
    // Indices at or above trace_samples are never drawn (a recall may have changed it).
    const int samples = std::clamp<int>(s.trace_samples, 0, kTracePoints);
    const int count = std::clamp<int>(s.trace_count.load(std::memory_order_acquire), 0, samples);
    const bool initialising = s.show_initialising;
    if (!initialising) auto_scale(s, memory, pass, count);
    if (s.redraw_frame.exchange(false)) frame_and_grid(pass);
    if (s.redraw_time_axis.exchange(false)) time_labels(s, pass);
    if (initialising) {
        initialising_texts(s, pass);
        return;
    }
    if (s.redraw_level_axis.exchange(false)) level_labels(s, pass);
    level_curve(s, pass, count);
    if (s.trace_temperature) temperature(s, pass, count);
    if (count == samples || !s.trace_running) markers(s, pass);
}

} // namespace

PlotPass plan_trace_repaint(AppState &s, PlotMemory &memory) {
    PlotPass pass;
    if (s.trace_count.load() == 2) {
        s.show_initialising = false;
        s.redraw_frame = true;
        s.redraw_time_axis = true;
    }
    if (s.redraw_frame) {
        pass.clear_client = true;
    } else if (s.markers_moved.exchange(false)) {
        pass.clear_plot = true;
        s.redraw_frame = true;
    }
    plot_pass(s, memory, pass);
    s.plot_done = true;
    return pass;
}

PlotPass plan_trace_screen(AppState &s, PlotMemory &memory) {
    s.show_initialising = true;
    return plan_trace_repaint(s, memory);
}

bool trace_clips(const AppState &state) {
    if (state.trace_autoscale) return false;
    const double min = state.plot_min;
    const double max = state.plot_max;
    const int count = std::clamp<int>(state.trace_count, 0,
                                      std::clamp<int>(state.trace_samples, 0, kTracePoints));
    for (int i = 0; i < count; ++i) {
        const double v = round_to_3(state.trace_values[static_cast<std::size_t>(i)].load());
        if (std::isfinite(v) && (v < min || v > max)) return true;
    }
    return false;
}

std::string time_label_text(double t) {
    const auto whole = static_cast<long long>(std::trunc(t));
    if (t > 3600) return c_format("%lldhrs %lldmins", whole / 3600, (whole % 3600) / 60);
    if (t > 60) return c_format("%lldmin %lldsecs", whole / 60, whole % 60);
    return c_format("%.1fsecs", t);
}

std::string level_label_text(int units, bool relative, double v) {
    const double a = std::fabs(v);
    if (units == kUnitsVolts) {
        if (a < 1e-6) return c_format("%.0fn", v * 1e9);
        if (a < 1e-3) return c_format("%.2fu", v * 1e6);
        if (a < 1) return c_format("%.4fm", v * 1000);
        return c_format("%.7f", v);
    }
    if (units == kUnitsLinear) {
        if (relative) return c_format("%.1f", v);
        if (a < 0.001) return c_format("%.2fn", v * 1e6);
        if (a < 1) return c_format("%.2fu", v * 1000);
        if (a < 100) return c_format("%.3fm", v);
        if (a < 1000) return c_format("%.2fm", v);
        if (a < 100000) return c_format("%.3f", v * 0.001);
        if (a < 1e6) return c_format("%.2f", v * 0.001);
        if (a < 1e9) return c_format("%.2fK", v * 1e-6);
        return c_format("%.2fM", v * 1e-9);
    }
    return c_format("%.3f", v);
}

std::string format_volts_text(double v) {
    const double a = std::fabs(v);
    if (a < 1e-6) return c_format("%.0fnV", v * 1e9);
    if (a < 1e-3) return c_format("%.3fuV", v * 1e6);
    if (a < 1) return c_format("%.4fmV", v * 1000);
    return c_format("%.7fV", v);
}

std::string format_linear_text(double v, bool relative) {
    if (relative) return c_format("%.1f%%", v);
    const double a = std::fabs(v);
    if (a < 0.001) return c_format("%.3fnW", v * 1e6);
    if (a < 1) return c_format("%.3fuW", v * 1000);
    return c_format("%.4fmW", v);
}

double round_to_3(double value) {
    if (!std::isfinite(value)) return value;
    // Read back independently of the locale, as it was written.
    const std::string text = c_format("%.3f", value);
    double rounded = value;
    std::from_chars(text.data(), text.data() + text.size(), rounded);
    return rounded;
}

} // namespace meterdesk
