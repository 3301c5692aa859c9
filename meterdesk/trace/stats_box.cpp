#include "meterdesk/trace/stats_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sampling.h"
#include "meterdesk/core/stats_burst.h"

namespace meterdesk {

namespace ids = stats_box;

namespace {

template <std::size_t N>
int index_of(const std::array<int, N> &ids, int id) {
    for (std::size_t i = 0; i < N; ++i)
        if (ids[i] == id) return static_cast<int>(i);
    return -1;
}

// The checked radio of a group, or -1.
template <std::size_t N>
int checked_index(const Controls &controls, const std::array<int, N> &ids) {
    for (std::size_t i = 0; i < N; ++i)
        if (controls.checked(ids[i])) return static_cast<int>(i);
    return -1;
}

template <std::size_t N>
void check_only(Controls &controls, const std::array<int, N> &ids, int id) {
    for (int each : ids) controls.set_checked(each, each == id);
}

} // namespace

StatsBox::StatsBox(AppState &state, Ui &ui) : state_(state), ui_(ui) {}

void StatsBox::open(Controls &controls) {
    controls.set_caption(ids::kCaption);
    check_only(controls, ids::kSampleRadios, state_.stats_samples_choice);
    check_only(controls, ids::kBinRadios, state_.stats_bins_choice);
    const int mode = state_.stats_mode;
    controls.set_checked(ids::kLogPower, mode != ids::kLinearPower);
    controls.set_checked(ids::kLinearPower, mode == ids::kLinearPower);
    controls.set_checked(ids::kSaveToFile, state_.stats_save_file);
    controls.set_enabled(ids::kVolts, false);
    controls.set_enabled(ids::kSubtractZero, false);
}

DialogAction StatsBox::clicked(Controls &controls, int id) {
    if (const int i = index_of(ids::kSampleRadios, id); i >= 0) {
        check_only(controls, ids::kSampleRadios, id);
        state_.stats_samples = ids::kSampleCounts[static_cast<std::size_t>(i)];
        return DialogAction::kStay;
    }
    if (const int i = index_of(ids::kBinRadios, id); i >= 0) {
        check_only(controls, ids::kBinRadios, id);
        state_.stats_bins = ids::kBinCounts[static_cast<std::size_t>(i)];
        return DialogAction::kStay;
    }
    switch (id) {
    case ids::kLogPower:
    case ids::kLinearPower:
        controls.set_checked(ids::kLogPower, id == ids::kLogPower);
        controls.set_checked(ids::kLinearPower, id == ids::kLinearPower);
        state_.stats_mode = id;
        return DialogAction::kStay;
    case ids::kSaveToFile:
        state_.stats_save_file = controls.checked(ids::kSaveToFile);
        return DialogAction::kStay;
    case ids::kStart:
        if (!state_.sensor_connected) {
            ui_.message(kStatsCaption, "No sensor connected.", MessageButtons::kOk,
                        MessageIcon::kExclamation);
            return DialogAction::kStay;
        }
        start(controls);
        return DialogAction::kClose;
    case ids::kRedraw:
        return redraw();
    case ids::kClose:
        return DialogAction::kClose;
    default:
        return DialogAction::kStay;
    }
}

// The run takes N, bins and mode from the radios as they are checked now, whatever was
// clicked before and re-initialised since.
void StatsBox::start(Controls &controls) {
    if (const int i = checked_index(controls, ids::kSampleRadios); i >= 0) {
        state_.stats_samples_choice = ids::kSampleRadios[static_cast<std::size_t>(i)];
        state_.stats_samples = ids::kSampleCounts[static_cast<std::size_t>(i)];
    }
    if (const int i = checked_index(controls, ids::kBinRadios); i >= 0) {
        state_.stats_bins_choice = ids::kBinRadios[static_cast<std::size_t>(i)];
        state_.stats_bins = ids::kBinCounts[static_cast<std::size_t>(i)];
    }
    state_.stats_mode = controls.checked(ids::kLinearPower) ? ids::kLinearPower : ids::kLogPower;
    start_stats_run(state_, ui_);
}

DialogAction StatsBox::redraw() {
    if (!state_.stats_valid || !state_.stats_results.get()) {
        ui_.message(kStatsCaption, "No valid data (run stats first)", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return DialogAction::kStay;
    }
    // A running trace would draw its points over the statistics.
    if (state_.trace_running) end_trace_at_once(state_, ui_);
    state_.live_readout_enabled = false;
    show_statistics_view(state_, ui_);
    return DialogAction::kClose;
}

} // namespace meterdesk
