// "Save Trace", "Save Data" and "Recall Trace" of the trace control panel: the file dialogs,
// the over-write questions and the messages around the trace file format.
//
// Saves write a temporary file renamed over the old one: a failure keeps the old file and says
// "Can't access file %s"; a cancelled dialog ends silently. A recall reads the whole file and
// checks it before anything of the trace in memory changes.
#pragma once

#include <string>

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kTraceFileFilter = "All Files (*.*)";
inline constexpr const char *kSaveTraceCaption = "Save Trace";
inline constexpr const char *kSaveTraceDataCaption = "Save Trace Data";
inline constexpr const char *kRecallTraceCaption = "Recall Trace";

// Both return true when the file was written.
bool save_trace_command(AppState &state, Ui &ui);
bool save_trace_data_command(AppState &state, Ui &ui);
bool save_trace_file(AppState &state, Ui &ui, const std::string &path);
bool save_trace_listing(AppState &state, Ui &ui, const std::string &path);

// True when a trace was read into the state (the caller then shows it).
bool recall_trace_command(AppState &state, Ui &ui);
bool recall_trace_file(AppState &state, Ui &ui, const std::string &path);

} // namespace meterdesk
