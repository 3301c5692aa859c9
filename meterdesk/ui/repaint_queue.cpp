#include "meterdesk/ui/repaint_queue.h"

#include <algorithm>

namespace meterdesk::ui {

bool RepaintQueue::push(RepaintRequest code) {
    std::lock_guard lock(mutex_);
    const bool was_empty = pending_.empty();
    pending_.erase(std::remove(pending_.begin(), pending_.end(), code), pending_.end());
    pending_.push_back(code);
    return was_empty;
}

std::vector<RepaintRequest> RepaintQueue::take() {
    std::lock_guard lock(mutex_);
    std::vector<RepaintRequest> batch;
    batch.swap(pending_);
    return batch;
}

bool RepaintQueue::empty() const {
    std::lock_guard lock(mutex_);
    return pending_.empty();
}

} // namespace meterdesk::ui
