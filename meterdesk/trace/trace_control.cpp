#include "meterdesk/trace/trace_control.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sampling.h"

#include <cmath>
#include <limits>

namespace meterdesk {
namespace {

constexpr int kCmdTraceMarkers = 40129;

void set_plot_redraw_flags(AppState &state) {
    state.plot_done = false;
    state.redraw_frame = true;
    state.redraw_time_axis = true;
    state.redraw_level_axis = true;
    state.redraw_temp_axis = true;
}

void switch_view(AppState &state, Ui &ui, int view, const char *menu) {
    ui.install_menu(menu);
    const int previous = state.view_mode;
    if (previous != view) ui.show_toolbar(previous, false);
    ui.show_toolbar(view, true);
    state.view_mode = view;
}

} // namespace

int sample_timer_period_ms(double period_s) {
    const double ms = std::trunc(period_s * 1000.0);
    if (!(ms >= 1.0)) return 1;
    if (ms > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(ms);
}

void start_trace(AppState &state, Ui &ui) {
    state.live_readout_enabled = false;
    set_plot_redraw_flags(state);
    state.trace_clipped = false;
    state.trace_count = 0;
    state.sample_due = false;
    state.trace_running = true;
    state.trace_screen_shown = true;
    ui.start_timer(kTraceSampleTimer, sample_timer_period_ms(state.trace_period_s));
    switch_view(state, ui, kViewTraceRunning, kTraceMenuRunning);
    state.trace_status_text = kTraceRunningText;
    ui.show_trace_boxes(true);
}

void stop_trace(AppState &state, Ui &ui) {
    if (!state.trace_running) return;
    // The stopped view first: a run that ends finds the view no longer "running" and so knows
    // that Stop, not a mode change, ended it.
    switch_view(state, ui, kViewTraceStopped, kTraceMenuStopped);
    state.trace_status_text = kTraceStoppedText;
    // The run reads trace_running before sample_due, so once it sees the trace stopped it
    // also finds the final point due.
    state.sample_due = true;
    state.trace_running = false;
    state.trace_wake.notify();
}

void exit_trace(AppState &state, Ui &ui) {
    leave_to_measurement_view(state, ui);
}

void show_completed_trace_view(AppState &state, Ui &ui, std::string_view status) {
    ui.enable_command(kCmdTraceMarkers, true);
    switch_view(state, ui, kViewTraceComplete, kTraceMenuComplete);
    state.trace_screen_shown = true;
    ui.show_trace_boxes(true);
    state.trace_status_text = status;
}

void request_full_plot_redraw(AppState &state, Ui &ui) {
    set_plot_redraw_flags(state);
    ui.repaint(RepaintRequest::kTracePlot);
}

void request_marker_redraw(AppState &state, Ui &ui) {
    state.plot_done = false;
    state.markers_moved = true;
    ui.repaint(RepaintRequest::kTracePlot);
}

} // namespace meterdesk
