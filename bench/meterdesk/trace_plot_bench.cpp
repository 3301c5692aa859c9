// trace_plot_bench: the trace plot's repaint cost with 500 points, the temperature curve and
// both marker pairs: a full redraw (frame, grid, labels, curves, markers) and the per-point
// repaint of a running trace. Runs offscreen.
#include "meterdesk/core/app_state.h"
#include "meterdesk/ui/screen_resources.h"
#include "meterdesk/ui/trace/trace_plot_painter.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median_ms(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const meterdesk::ui::ScreenResources resources = meterdesk::ui::make_screen_resources();
    meterdesk::AppState state;
    state.trace_samples = 500;
    state.trace_period_s = 0.2;
    state.trace_temperature = true;
    state.x_markers_on = true;
    state.y_markers_on = true;
    state.seconds_per_pixel = 500 * 0.2 * 0.002;
    for (std::size_t i = 0; i < meterdesk::kTracePoints; ++i) {
        state.trace_values[i] = -20.0 + 5.0 * std::sin(static_cast<double>(i) * 0.05);
        state.trace_temps[i] = 30.0 + 0.01 * static_cast<double>(i);
    }
    state.trace_count = 500;
    state.trace_valid = true;
    QImage image(594, 281, QImage::Format_RGB32);
    meterdesk::ui::TracePlotPainter painter(state, resources);

    constexpr int kRounds = 200;
    std::vector<double> full, point;
    for (int round = 0; round < kRounds; ++round) {
        state.redraw_frame = state.redraw_time_axis = state.redraw_level_axis =
            state.redraw_temp_axis = true;
        auto t0 = std::chrono::steady_clock::now();
        painter.paint(image, meterdesk::RepaintRequest::kTracePlot);
        auto t1 = std::chrono::steady_clock::now();
        full.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());

        t0 = std::chrono::steady_clock::now();
        painter.paint(image, meterdesk::RepaintRequest::kTracePlot); // nothing flagged
        t1 = std::chrono::steady_clock::now();
        point.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::printf("full redraw, 500 points, temperature, markers: median %.3f ms, max %.3f ms\n",
                median_ms(full), *std::max_element(full.begin(), full.end()));
    std::printf("per-point repaint (curves over the old):       median %.3f ms, max %.3f ms\n",
                median_ms(point), *std::max_element(point.begin(), point.end()));
    return 0;
}
