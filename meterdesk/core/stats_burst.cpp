#include "meterdesk/core/stats_burst.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sampling.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/trace/statistics.h"

#include <rfsense/rfsense.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <system_error>
#include <vector>

namespace meterdesk {

namespace {

constexpr const char *kSaveCaption = "Stats Save Data";

// Writes the readings through a temporary file; the "Stats" folder is made when missing.
bool save_stats_file(const std::filesystem::path &file, const StatsResults &results) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    const std::string text = stats_file_text(results);
    return replace_file_contents(file, reinterpret_cast<const unsigned char *>(text.data()),
                                 text.size());
}

} // namespace

bool start_stats_run(AppState &state, Ui &ui) {
    if (!state.sensor_connected) {
        ui.message(kStatsCaption, "No sensor connected.", MessageButtons::kOk,
                   MessageIcon::kExclamation);
        return false;
    }
    // A running trace would hold the burst back for up to one of its periods.
    if (state.trace_running) end_trace_at_once(state, ui);
    state.live_readout_enabled = false;
    state.stats_abort = false;
    ui.progress_open(kStatsProgressBox, kStatsProgressText, state.stats_samples,
                     [&state] { state.stats_abort = true; });
    state.stats_requested = true;
    // The sensor may have gone after the check above, before the request was seen: whoever
    // takes the request back closes the box.
    if (!state.sensor_connected && state.stats_requested.exchange(false))
        ui.progress_close(kStatsProgressBox);
    return true;
}

void show_statistics_view(AppState &state, Ui &ui) {
    const int view = state.view_mode;
    state.trace_screen_shown = false;
    state.stats_screen_shown = true;
    ui.repaint(RepaintRequest::kStatistics);
    ui.install_menu(kStatsMenu);
    if (view != kViewStatistics) ui.show_toolbar(view, false);
    // The trace views' edit boxes leave with their view.
    if (view != kViewMeasurement && view != kViewStatistics) ui.show_trace_boxes(false);
    ui.show_toolbar(kViewStatistics, true);
    state.view_mode = kViewStatistics;
}

void leave_statistics_view(AppState &state, Ui &ui) {
    leave_to_measurement_view(state, ui);
}

StatsBurst::StatsBurst(AppState &state, Ui &ui, std::filesystem::path stats_file)
    : state_(state), ui_(ui), stats_file_(std::move(stats_file)) {}

void StatsBurst::abandon(bool restore_live_readout) {
    ui_.progress_close(kStatsProgressBox);
    state_.stats_requested = false;
    if (!restore_live_readout) return;
    state_.live_readout_enabled = true;
    if (state_.stats_screen_shown) leave_to_measurement_view(state_, ui_);
}

void StatsBurst::run(SensorRecord *sensor) {
    if (!state_.stats_requested) return;
    const int samples = std::clamp<int>(state_.stats_samples, 1, kStatsMaxSamples);
    const int bins = std::clamp<int>(state_.stats_bins, 1, kStatsMaxBins);
    const int mode = state_.stats_mode == kStatsModeLinear ? kStatsModeLinear : kStatsModeLog;
    const SampleUnit unit = mode == kStatsModeLinear ? SampleUnit::kMilliwatts : SampleUnit::kDbm;

    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(samples));
    const auto started = std::chrono::steady_clock::now();
    for (int k = 0; k < samples; ++k) {
        double value = 0.0;
        if (!read_sample(sensor, unit, value)) {
            // The sensor did not answer: the run ends without results and the live readout
            // stays off; the disconnect path takes over from here.
            abandon(false);
            return;
        }
        ui_.progress_step(kStatsProgressBox);
        if (!std::isfinite(value)) {
            abandon(true);
            ui_.message(kStatsCaption, "Statistics stopped: a reading was out of range.",
                        MessageButtons::kOk, MessageIcon::kExclamation);
            return;
        }
        values.push_back(value);
        if (state_.stats_abort) {
            abandon(true);
            return;
        }
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);

    auto results =
        std::make_shared<StatsResults>(compute_stats(std::move(values), bins, mode, elapsed));
    double celsius = 0.0;
    results->temperature =
        SensorTemperature(sensor, &celsius) != 0 ? celsius : state_.sensor_temperature.load();
    ui_.progress_close(kStatsProgressBox);

    if (state_.stats_save_file && !save_stats_file(stats_file_, *results))
        ui_.message(kSaveCaption, "Can't access file " + stats_file_.string(), MessageButtons::kOk,
                    MessageIcon::kExclamation);

    state_.stats_results.publish(std::move(results));
    state_.stats_valid = true;
    state_.stats_requested = false;
    show_statistics_view(state_, ui_);
}

void StatsBurst::connection_lost() {
    if (state_.stats_requested.exchange(false)) ui_.progress_close(kStatsProgressBox);
    // The disconnected screen replaces the statistics view.
    state_.stats_screen_shown = false;
}

} // namespace meterdesk
