#include "meterdesk/core/alarm_beep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace meterdesk {
namespace {

struct BeepCase {
    const char *name;
    AlarmBeepInput input;
    AlarmBeepStep step;
};

TEST(AlarmBeep, StepChoosesTheToneByPriority) {
    // {limits_enabled, limits_beep, low, high, overload, overload_beep}
    const BeepCase cases[] = {
        {"quiet", {}, {}},
        {"overload", {false, false, false, false, true, true}, {true, 1000, 250, 250}},
        {"overload_wins", {true, true, true, true, true, true}, {true, 1000, 250, 250}},
        {"overload_beep_off", {true, true, false, true, true, false}, {true, 2000, 250, 500}},
        {"overload_silent", {false, false, false, false, true, false}, {}},
        {"high", {true, true, false, true, false, false}, {true, 2000, 250, 500}},
        {"high_wins_over_low", {true, true, true, true, false, false}, {true, 2000, 250, 500}},
        {"low", {true, true, true, false, false, false}, {true, 300, 250, 500}},
        {"limits_off", {false, true, true, true, false, false}, {}},
        {"limit_beep_off", {true, false, true, true, false, true}, {}},
        {"no_alarm", {true, true, false, false, false, false}, {}},
    };
    for (const auto &c : cases) EXPECT_EQ(next_alarm_beep(c.input), c.step) << c.name;
}

class RecordingSound : public Sound {
  public:
    void beep(int hz, int ms) override {
        std::lock_guard lock(mutex_);
        beeps_.emplace_back(hz, ms);
    }
    void play_wav(std::string_view) override {}
    std::vector<std::pair<int, int>> beeps() const {
        std::lock_guard lock(mutex_);
        return beeps_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::pair<int, int>> beeps_;
};

bool wait_for_beeps(const RecordingSound &sound, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (sound.beeps().size() < count) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST(AlarmBeep, ThreadSoundsOnlyAfterAWakeAndStopsWhenTheAlarmClears) {
    AppState state;
    RecordingSound sound;
    state.limits_enabled = true;
    state.limits_beep = true;
    state.limit_low_alarm = true;
    {
        AlarmBeeper beeper(sound, state);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_TRUE(sound.beeps().empty()); // asleep until woken

        beeper.wake();
        ASSERT_TRUE(wait_for_beeps(sound, 1));
        EXPECT_EQ(sound.beeps().front(), (std::pair<int, int>{300, 250}));

        state.limit_low_alarm = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(600)); // past the pause
        const std::size_t after_clear = sound.beeps().size();
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        EXPECT_EQ(sound.beeps().size(), after_clear); // back asleep

        state.sensor_overload = true;
        state.overload_beep = true;
        beeper.wake();
        ASSERT_TRUE(wait_for_beeps(sound, after_clear + 1));
        EXPECT_EQ(sound.beeps().back(), (std::pair<int, int>{1000, 250}));
    } // the destructor ends the thread inside its pause
}

} // namespace
} // namespace meterdesk
