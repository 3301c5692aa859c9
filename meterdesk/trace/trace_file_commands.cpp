#include "meterdesk/trace/trace_file_commands.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/trace/trace_file.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace meterdesk {
namespace {

// The largest trace file is about 16 kB; anything read beyond this cannot be a trace.
constexpr std::size_t kLargestTraceFile = 64 * 1024;

bool holds_data(const std::string &path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) &&
           std::filesystem::file_size(path, error) > 0 && !error;
}

void warn(Ui &ui, const char *caption, const std::string &text) {
    ui.message(caption, text, MessageButtons::kOk, MessageIcon::kExclamation);
}

// Writes `bytes` after the over-write question; false when not written.
bool save_bytes(Ui &ui, const char *caption, const std::string &path,
                const std::vector<std::uint8_t> &bytes) {
    if (path.empty()) return false;
    if (holds_data(path) &&
        ui.message(caption, "OK To over-write file " + path + "?", MessageButtons::kOkCancel,
                   MessageIcon::kExclamation) != MessageAnswer::kOk)
        return false;
    if (!replace_file_contents(path, bytes.data(), bytes.size())) {
        warn(ui, caption, "Can't access file " + path);
        return false;
    }
    return true;
}

std::tm local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

bool save_trace_command(AppState &state, Ui &ui) {
    const std::string folder = paths::trace_file_folder(state.app_dir.get()).string();
    return save_trace_file(state, ui, ui.save_file_dialog(folder, kTraceFileFilter));
}

bool save_trace_data_command(AppState &state, Ui &ui) {
    const std::string folder = paths::trace_folder(state.app_dir.get()).string();
    return save_trace_listing(state, ui, ui.save_file_dialog(folder, kTraceFileFilter));
}

bool save_trace_file(AppState &state, Ui &ui, const std::string &path) {
    return save_bytes(ui, kSaveTraceCaption, path, encode_trace_file(trace_snapshot_of(state)));
}

bool save_trace_listing(AppState &state, Ui &ui, const std::string &path) {
    const std::string text =
        trace_listing_text(trace_snapshot_of(state), state.temperature_celsius, local_now());
    return save_bytes(ui, kSaveTraceDataCaption, path,
                      std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool recall_trace_command(AppState &state, Ui &ui) {
    const std::string folder = paths::trace_file_folder(state.app_dir.get()).string();
    return recall_trace_file(state, ui, ui.open_file_dialog(folder, kTraceFileFilter));
}

bool recall_trace_file(AppState &state, Ui &ui, const std::string &path) {
    if (path.empty() || state.trace_running) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false; // a file that cannot be opened ends the command silently
    std::vector<std::uint8_t> bytes(kLargestTraceFile);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));

    const auto trace = decode_trace_file(bytes);
    if (!trace) {
        warn(ui, kRecallTraceCaption, "Invalid TRACE file.");
        return false;
    }
    if (state.trace_valid &&
        ui.message(kRecallTraceCaption,
                   "Recalling this TRACE will\nover-write the one currently\nloaded or being "
                   "viewed.",
                   MessageButtons::kOkCancel, MessageIcon::kExclamation) != MessageAnswer::kOk)
        return false;
    store_trace_snapshot(state, *trace);
    return true;
}

} // namespace meterdesk
