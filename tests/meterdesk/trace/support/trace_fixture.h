// The fixture of the trace tests: the measurement thread with the trace run plugged in,
// connected to a simulated sensor. The test plays the sample timer by setting sample_due.
#pragma once

#include "meterdesk/support/meter_fixture.h"

#include "meterdesk/core/sampling.h"
#include "meterdesk/core/trace_run.h"
#include "meterdesk/trace/trace_control.h"

#include <gtest/gtest.h>

#include <string>

namespace meterdesk_test {

class TraceTest : public MeterTest {
  protected:
    // Connects the sensor described by `keys` with the trace run plugged in.
    void connect(const std::string &keys = {}) {
        configure(keys);
        auto sampling = std::make_shared<meterdesk::Sampling>(state, ui);
        sampling->set_trace_run([this](SensorRecord *sensor) { run.run(sensor); });
        start(sampling);
        ASSERT_TRUE(wait_measuring());
    }

    // The sample timer fires once; returns when the point was taken.
    bool tick() {
        const int before = state.trace_count;
        state.sample_due = true;
        state.trace_wake.notify();
        return eventually([&] { return state.trace_count > before || !state.trace_running; });
    }

    // Waits until the run has ended (it stops the sample timer last but one).
    bool wait_run_end(std::size_t since = 0) {
        return ui.wait_for(UiCall::Kind::stop_timer, 1, meterdesk::kTraceSampleTimer, since);
    }

    std::string last_menu() const {
        const auto menus = ui.of_kind(UiCall::Kind::install_menu);
        return menus.empty() ? std::string() : menus.back().caption;
    }

    meterdesk::TraceRun run{state, ui, meterdesk::TraceRunTiming{std::chrono::milliseconds(5)}};
};

} // namespace meterdesk_test
