#include "meterdesk/core/worker.h"

#include <condition_variable>
#include <mutex>

namespace meterdesk {

struct Worker::Control {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::function<void()> job; // pending job
    bool running = false;      // a job is executing
    bool stopping = false;
    bool exited = false; // the thread function has returned
};

Worker::Worker() : control_(std::make_shared<Control>()) {
    thread_ = std::thread([control = control_] {
        std::unique_lock lock(control->mutex);
        for (;;) {
            control->changed.wait(lock, [&] { return control->stopping || control->job; });
            if (!control->job) break; // stopping, nothing left to run
            auto job = std::move(control->job);
            control->job = nullptr;
            control->running = true;
            lock.unlock();
            job();
            lock.lock();
            control->running = false;
            control->changed.notify_all();
            if (control->stopping) break;
        }
        control->exited = true;
        control->changed.notify_all();
    });
}

Worker::~Worker() {
    shutdown(kDefaultShutdownTimeout);
}

bool Worker::resume(std::function<void()> job) {
    if (!job) return false;
    std::lock_guard lock(control_->mutex);
    if (control_->stopping || control_->running || control_->job) return false;
    control_->job = std::move(job);
    control_->changed.notify_all();
    return true;
}

bool Worker::busy() const {
    std::lock_guard lock(control_->mutex);
    return control_->running || static_cast<bool>(control_->job);
}

bool Worker::wait_idle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(control_->mutex);
    return control_->changed.wait_for(lock, timeout,
                                      [&] { return !control_->running && !control_->job; });
}

bool Worker::stopping() const {
    std::lock_guard lock(control_->mutex);
    return control_->stopping;
}

bool Worker::shutdown(std::chrono::milliseconds timeout) {
    if (!thread_.joinable()) return true;
    bool exited = false;
    {
        std::unique_lock lock(control_->mutex);
        control_->stopping = true;
        control_->job = nullptr; // a job that has not started yet is dropped
        control_->changed.notify_all();
        exited = control_->changed.wait_for(lock, timeout, [&] { return control_->exited; });
    }
    if (exited) {
        thread_.join();
        return true;
    }
    thread_.detach();
    return false;
}

} // namespace meterdesk
