// WakeSignal: lets one thread sleep until another has changed a flag it waits for, without
// polling. The waker changes its atomic flag first and then calls notify(); the sleeper's
// predicate reads the flags, so a notify between the check and the sleep is never lost.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace meterdesk {

class WakeSignal {
  public:
    void notify() {
        // Taking the lock orders the flag change before a sleeper's next predicate check.
        { std::lock_guard lock(mutex_); }
        changed_.notify_all();
    }

    // Sleeps until `ready()` holds or `limit` passes; returns ready().
    template <class Predicate>
    bool wait_for(std::chrono::milliseconds limit, Predicate ready) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, ready);
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

} // namespace meterdesk
