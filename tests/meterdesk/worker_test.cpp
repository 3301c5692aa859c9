// Worker: one job per resume on the worker's own thread, and a bounded shutdown.
#include "meterdesk/core/worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(Worker, RunsEachResumedJobOnItsOwnThread) {
    meterdesk::Worker worker;
    std::atomic<int> runs{0};
    std::atomic<bool> other_thread{false};
    const auto caller = std::this_thread::get_id();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(worker.resume([&] {
            other_thread = std::this_thread::get_id() != caller;
            ++runs;
        }));
        ASSERT_TRUE(worker.wait_idle(2000ms));
    }
    EXPECT_EQ(runs, 3);
    EXPECT_TRUE(other_thread);
    EXPECT_TRUE(worker.shutdown(1000ms));
}

TEST(Worker, RefusesASecondJobWhileOneRuns) {
    meterdesk::Worker worker;
    std::atomic<bool> release{false};
    std::atomic<bool> started{false};
    ASSERT_TRUE(worker.resume([&] {
        started = true;
        while (!release) std::this_thread::sleep_for(1ms);
    }));
    while (!started) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(worker.busy());
    EXPECT_FALSE(worker.resume([] {}));
    EXPECT_FALSE(worker.wait_idle(20ms));
    release = true;
    EXPECT_TRUE(worker.wait_idle(2000ms));
    EXPECT_FALSE(worker.busy());
    EXPECT_FALSE(worker.resume(nullptr));
}

TEST(Worker, ShutdownIsBoundedWhenAJobHangs) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto started = std::make_shared<std::atomic<bool>>(false);
    {
        meterdesk::Worker worker;
        ASSERT_TRUE(worker.resume([release, started] {
            *started = true;
            while (!*release) std::this_thread::sleep_for(1ms);
        }));
        while (!*started) std::this_thread::sleep_for(1ms);
        const auto begin = std::chrono::steady_clock::now();
        EXPECT_FALSE(worker.shutdown(50ms));
        EXPECT_LT(std::chrono::steady_clock::now() - begin, 1000ms);
        EXPECT_TRUE(worker.stopping());
        EXPECT_FALSE(worker.resume([] {}));
    }                // the destructor does not wait again
    *release = true; // the detached job ends on its own
    std::this_thread::sleep_for(20ms);
}

TEST(Worker, IdleWorkerShutsDownAtOnce) {
    meterdesk::Worker worker;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker.shutdown(1000ms));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 500ms);
    EXPECT_TRUE(worker.shutdown(1000ms)); // again: nothing to do
}

} // namespace
