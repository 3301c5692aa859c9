// Starting, stopping and leaving a trace, and the views a trace shows: the state changes of
// the trace view that the control panel, the trace menus and the toolbar share.
#pragma once

#include <string_view>

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kTraceMenuRunning = "Trace_Menu_1";
inline constexpr const char *kTraceMenuComplete = "Trace_Menu_2";
inline constexpr const char *kTraceMenuStopped = "Trace_Menu_3";

inline constexpr const char *kTraceRunningText = "Trace Running";
inline constexpr const char *kTraceCompleteText = "Trace Complete";
inline constexpr const char *kTraceClippedText = "Trace Clipped";
inline constexpr const char *kTraceStoppedText = "Trace Stopped";
inline constexpr const char *kTraceRedrawnText = "Trace Redrawn";
inline constexpr const char *kTraceRecalledText = "Trace Recalled";

// The sample timer's period: trunc(trace_period_s x 1000) ms.
int sample_timer_period_ms(double period_s);

// Starts a trace with the present settings: live readout off, a full plot redraw with the
// "Initialising TRACE" message, trace_running on, an empty buffer, timer 2, menu
// "Trace_Menu_1", the toolbar of mode 1, view_mode 1, the trace edit boxes, "Trace Running".
void start_trace(AppState &state, Ui &ui);

// Stop: sample_due is set before trace_running is cleared, so the run always takes its final
// point; menu "Trace_Menu_3", toolbar 3, view_mode 3, "Trace Stopped". Nothing while no trace
// runs.
void stop_trace(AppState &state, Ui &ui);

// Exit: back to the measurement view.
void exit_trace(AppState &state, Ui &ui);

// The completed-trace view after a Redraw or a Recall: menu "Trace_Menu_2", toolbar 2,
// view_mode 2, the trace edit boxes shown, "Markers..." enabled, and `status`.
void show_completed_trace_view(AppState &state, Ui &ui, std::string_view status);

// A full redraw of the plot (frame, grid and every label), then request 6.
void request_full_plot_redraw(AppState &state, Ui &ui);

// A marker moved: the plot rectangle is cleared and drawn again, then request 6.
void request_marker_redraw(AppState &state, Ui &ui);

} // namespace meterdesk
