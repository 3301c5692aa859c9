#include "meterdesk/core/alarm_beep.h"

#include <chrono>
#include <utility>

namespace meterdesk {

AlarmBeepStep next_alarm_beep(const AlarmBeepInput &in) {
    const bool overload_on = in.sensor_overload && in.overload_beep;
    const bool limits_on = in.limits_enabled && in.limits_beep;
    if (overload_on) return {true, 1000, 250, 250};
    if (limits_on && in.limit_high_alarm) return {true, 2000, 250, 500};
    if (limits_on && in.limit_low_alarm) return {true, 300, 250, 500};
    return {};
}

AlarmBeepInput alarm_beep_input(const AppState &state) {
    AlarmBeepInput in;
    in.limits_enabled = state.limits_enabled.load();
    in.limits_beep = state.limits_beep.load();
    in.limit_low_alarm = state.limit_low_alarm.load();
    in.limit_high_alarm = state.limit_high_alarm.load();
    in.sensor_overload = state.sensor_overload.load();
    in.overload_beep = state.overload_beep.load();
    return in;
}

AlarmBeeper::AlarmBeeper(Sound &sound, std::function<AlarmBeepInput()> snapshot)
    : sound_(sound), snapshot_(std::move(snapshot)), thread_([this] { run(); }) {}

AlarmBeeper::AlarmBeeper(Sound &sound, const AppState &state)
    : AlarmBeeper(sound, [&state] { return alarm_beep_input(state); }) {}

AlarmBeeper::~AlarmBeeper() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void AlarmBeeper::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

void AlarmBeeper::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return woken_ || stopping_; });
        if (stopping_) return;
        // A wake that arrives while the pattern plays is consumed here or re-arms the wait
        // below, so no wake is lost between the last check and going to sleep.
        woken_ = false;
        for (;;) {
            const AlarmBeepStep step = next_alarm_beep(snapshot_());
            if (!step.sound) break;
            lock.unlock();
            sound_.beep(step.hz, step.ms);
            lock.lock();
            if (changed_.wait_for(lock, std::chrono::milliseconds(step.pause_ms),
                                  [this] { return stopping_; }))
                return;
        }
    }
}

} // namespace meterdesk
