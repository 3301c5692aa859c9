// A test fixture that runs MeasurementThread against the simulated sensor bus in fast timing,
// with a recording FakeUi, a scratch data folder (QUORIX_HOME, MARRICK_HOME) and a scratch
// test root.
#pragma once

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/measurement_thread.h"
#include "meterdesk/support/fake_ui.h"
#include "meterdesk/support/scratch.h"

#include <rfsim/rfsim.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace meterdesk_test {

// The tests talk to the simulated bus, also when run by hand outside CTest.
inline const bool sim_link_chosen = (setenv("RFSENSE_LINK", "sim", 0), true);

using namespace std::chrono_literals;

// Polls `condition` until it holds or `limit` passes; true when it held.
inline bool eventually(const std::function<bool()> &condition,
                       std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class MeterTest : public ::testing::Test {
  protected:
    static constexpr meterdesk::MeasurementTiming kFastTiming{5ms, 20ms, 5ms, 10ms};

    // Replaces the bus with one device section holding `keys` ("key = value" lines).
    static void configure(const std::string &keys) {
        const std::string text = "[device]\n" + keys;
        ASSERT_GE(rfsim_configure(text.c_str()), 0) << rfsim_error() << "\n" << text;
    }

    static void set(const char *key, const std::string &value) {
        ASSERT_EQ(rfsim_set(0, key, value.c_str()), 0) << rfsim_error();
    }

    // `sampling` is kept by the fixture until the thread has stopped.
    void start(std::shared_ptr<meterdesk::SamplingHooks> sampling = nullptr) {
        hooks = std::move(sampling);
        state.app_dir = app.path().string();
        state.startup_phase = meterdesk::kStartupSplashDone; // the splash timer has fired
        thread =
            std::make_unique<meterdesk::MeasurementThread>(state, ui, kFastTiming, hooks.get());
        thread->start();
    }

    // Waits until a sensor is measuring and at least one readout repaint followed the connect.
    bool wait_measuring(std::chrono::milliseconds limit = 10000ms) {
        if (!eventually([&] { return state.connection_state == meterdesk::kConnectionMeasuring; },
                        limit)) {
            return false;
        }
        const auto mark = ui.size();
        return ui.wait_for(UiCall::Kind::repaint, 1, static_cast<int>(RepaintRequest::kLiveReadout),
                           mark, limit);
    }

    bool wait_no_sensor(std::chrono::milliseconds limit = 10000ms) {
        return eventually([&] { return state.connection_state == meterdesk::kConnectionNoSensor; },
                          limit);
    }

    void TearDown() override {
        if (thread) {
            EXPECT_TRUE(thread->stop());
        }
    }

    ScratchFolder home;
    ScratchFolder app;
    ScopedEnv quorix_home{"QUORIX_HOME", home.path().string()};
    ScopedEnv marrick_home{"MARRICK_HOME", home.path().string()};
    ScopedEnv test_root{"QUORIX_TEST_ROOT", home.path().string()};
    FakeUi ui;
    meterdesk::AppState state;
    std::shared_ptr<meterdesk::SamplingHooks> hooks;
    std::unique_ptr<meterdesk::MeasurementThread> thread;
};

} // namespace meterdesk_test
