// Worker: one thread that sleeps until it is given a job, runs it, and sleeps again.
//
// It stands for the application's suspended worker threads (zero, firmware download, alarm
// beep, print, ...): resume() posts one job, which runs on the worker's own thread. shutdown()
// ends the thread after the current job, waiting at most a given time; a job that does not
// finish in time is left running on its own (the thread is detached, and the worker's shared
// control block keeps it memory-safe) so that the program can still exit.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace meterdesk {

class Worker {
  public:
    Worker();
    ~Worker(); // shutdown with kDefaultShutdownTimeout
    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;

    static constexpr std::chrono::milliseconds kDefaultShutdownTimeout{3000};

    // Posts a job. Returns false, and drops the job, while another job is pending or running
    // (one job per resume) or after shutdown.
    bool resume(std::function<void()> job);

    // A job is pending or running.
    bool busy() const;

    // Waits until no job is pending or running; false when `timeout` passed first.
    bool wait_idle(std::chrono::milliseconds timeout) const;

    // Set once shutdown has begun; long jobs may poll it to end early.
    bool stopping() const;

    // Ends the thread after its current job. Returns true when the thread was joined within
    // `timeout`, false when it had to be detached. Calling it again does nothing.
    bool shutdown(std::chrono::milliseconds timeout = kDefaultShutdownTimeout);

  private:
    struct Control;
    std::shared_ptr<Control> control_;
    std::thread thread_;
};

} // namespace meterdesk
