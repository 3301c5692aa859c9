// A per-record event (auto or manual reset) whose waits also end when the sensor is lost, so no
// caller ever blocks on a reader thread that has stopped.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace rfsense {

class Event {
  public:
    enum class Reset { automatic, manual };

    explicit Event(Reset reset, bool signalled = false) : reset_(reset), signalled_(signalled) {}

    void set() {
        {
            std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        if (reset_ == Reset::manual)
            cv_.notify_all();
        else
            cv_.notify_one();
    }

    void reset() {
        std::lock_guard lock(mutex_);
        signalled_ = false;
    }

    // Wakes every waiter so it can see that `connected` has dropped.
    void interrupt() {
        { std::lock_guard lock(mutex_); }
        cv_.notify_all();
    }

    // Waits until signalled (true) or until `connected` is 0 (false). An automatic event is
    // consumed by the wait that sees it.
    bool wait(const std::atomic<uint8_t> &connected) {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return signalled_ || connected.load() == 0; });
        if (!signalled_)
            return false;
        if (reset_ == Reset::automatic)
            signalled_ = false;
        return true;
    }

    // As wait(), bounded by `timeout`; false on time-out as well.
    template <class Rep, class Period>
    bool wait_for(const std::atomic<uint8_t> &connected,
                  std::chrono::duration<Rep, Period> timeout) {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [&] { return signalled_ || connected.load() == 0; }))
            return false;
        if (!signalled_)
            return false;
        if (reset_ == Reset::automatic)
            signalled_ = false;
        return true;
    }

  private:
    const Reset reset_;
    bool signalled_;
    std::mutex mutex_;
    std::condition_variable cv_;
};

} // namespace rfsense
