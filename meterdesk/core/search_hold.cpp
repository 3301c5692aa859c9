#include "meterdesk/core/search_hold.h"

#include "meterdesk/core/app_state.h"

#include <thread>

namespace meterdesk {

SearchHold::SearchHold(AppState &state, std::chrono::milliseconds limit) : state_(state) {
    state_.search_holds.fetch_add(1);
    // The measurement thread marks a pass before it checks for holds, so once the mark is
    // clear no pass that missed this hold is left running.
    const auto give_up = std::chrono::steady_clock::now() + limit;
    while (state_.search_running.load() && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

SearchHold::~SearchHold() {
    state_.search_holds.fetch_sub(1);
}

} // namespace meterdesk
