// The alarm beep: while a limit alarm or a sensor overload holds and its beep is on, a worker
// thread sounds a tone pattern; otherwise it sleeps until the reading step or the status panel
// wakes it again.
#pragma once

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace meterdesk {

struct AlarmBeepInput {
    bool limits_enabled = false;
    bool limits_beep = false;
    bool limit_low_alarm = false;
    bool limit_high_alarm = false;
    bool sensor_overload = false;
    bool overload_beep = false;
};

struct AlarmBeepStep {
    bool sound = false; // false: nothing to sound, the thread sleeps until woken
    int hz = 0;
    int ms = 0;
    int pause_ms = 0; // silence after the tone
    bool operator==(const AlarmBeepStep &) const = default;
};

// One turn of the beep loop: overload (with its beep on) 1000 Hz 250 ms then 250 ms silence;
// else, with the limit beep on, high alarm 2000 Hz or low alarm 300 Hz, 250 ms then 500 ms
// silence; otherwise sleep.
AlarmBeepStep next_alarm_beep(const AlarmBeepInput &input);

AlarmBeepInput alarm_beep_input(const AppState &state);

// The beep thread. wake() may be called from any thread and never blocks on the tone; the
// destructor stops and joins the thread (within one tone).
class AlarmBeeper {
  public:
    AlarmBeeper(Sound &sound, std::function<AlarmBeepInput()> snapshot);
    AlarmBeeper(Sound &sound, const AppState &state);
    ~AlarmBeeper();
    AlarmBeeper(const AlarmBeeper &) = delete;
    AlarmBeeper &operator=(const AlarmBeeper &) = delete;

    void wake();

  private:
    void run();

    Sound &sound_;
    std::function<AlarmBeepInput()> snapshot_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace meterdesk
