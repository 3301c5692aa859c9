#include "meterdesk/core/sensor_takeover.h"

#include "meterdesk/core/app_state.h"

#include <thread>

namespace meterdesk {

SensorTakeover::SensorTakeover(AppState &state, TakeoverTiming timing, bool hold_search)
    : state_(state) {
    if (hold_search) hold_.emplace(state_, timing.park_limit);
    const auto parks_before = state_.measurement_parks.load();
    state_.live_readout_enabled = false;
    std::this_thread::sleep_for(timing.settle);
    const auto give_up = std::chrono::steady_clock::now() + timing.park_limit;
    while (state_.measurement_parks.load() == parks_before &&
           state_.connection_state == kConnectionMeasuring &&
           std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    lease_.emplace(state_);
}

SensorTakeover::~SensorTakeover() {
    lease_.reset();
    hold_.reset();
    if (!state_.trace_screen_shown && !state_.stats_screen_shown)
        state_.live_readout_enabled = true;
}

} // namespace meterdesk
