// The results of the last complete statistics run, replaced whole under a lock: the
// measurement thread publishes a finished record, the GUI thread draws it and the panel checks
// for it. A record once published never changes, so a reader keeps a consistent copy.
#pragma once

#include <memory>
#include <mutex>

namespace meterdesk {

struct StatsResults; // meterdesk/trace/statistics.h

class StatsResultsSlot {
  public:
    void publish(std::shared_ptr<const StatsResults> results) {
        std::lock_guard lock(mutex_);
        results_ = std::move(results);
    }
    std::shared_ptr<const StatsResults> get() const {
        std::lock_guard lock(mutex_);
        return results_;
    }

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const StatsResults> results_;
};

} // namespace meterdesk
