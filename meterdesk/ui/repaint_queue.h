// RepaintQueue: the repaint requests waiting for the next frame. Any thread may add to it; the
// GUI thread takes the whole batch once per frame. A request already waiting moves to the end
// instead of being queued twice, so a burst of requests for one area is drawn once, and the
// batch still ends in the order the last requests came in.
#pragma once

#include "meterdesk/core/ports.h"

#include <mutex>
#include <vector>

namespace meterdesk::ui {

class RepaintQueue {
  public:
    // Adds a request. Returns true when the queue was empty, i.e. no frame is pending yet.
    bool push(RepaintRequest code);

    // Takes every waiting request, oldest first.
    std::vector<RepaintRequest> take();

    bool empty() const;

  private:
    mutable std::mutex mutex_;
    std::vector<RepaintRequest> pending_;
};

} // namespace meterdesk::ui
