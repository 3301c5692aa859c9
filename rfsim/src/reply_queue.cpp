#include "reply_queue.h"

#include <algorithm>
#include <cstring>

namespace rfsim {

void ReplyQueue::push(std::string bytes, Clock::time_point visible_at) {
    if (size_ + bytes.size() > capacity) {
        const size_t room = capacity - size_;
        dropped_ += bytes.size() - room;
        bytes.resize(room);
    }
    if (bytes.empty()) return;
    visible_at = std::max(visible_at, last_visible_);
    last_visible_ = visible_at;
    size_ += bytes.size();
    chunks_.push_back({visible_at, std::move(bytes), 0});
}

size_t ReplyQueue::visible(Clock::time_point now) const {
    size_t n = 0;
    for (const Chunk &c : chunks_) {
        if (c.visible_at > now) break;
        n += c.bytes.size() - c.consumed;
    }
    return n;
}

size_t ReplyQueue::take(uint8_t *out, size_t count, Clock::time_point now) {
    size_t copied = 0;
    while (copied < count && !chunks_.empty() && chunks_.front().visible_at <= now) {
        Chunk &c = chunks_.front();
        const size_t n = std::min(count - copied, c.bytes.size() - c.consumed);
        std::memcpy(out + copied, c.bytes.data() + c.consumed, n);
        c.consumed += n;
        copied += n;
        size_ -= n;
        if (c.consumed == c.bytes.size()) chunks_.pop_front();
    }
    return copied;
}

std::optional<Clock::time_point> ReplyQueue::next_arrival(Clock::time_point now) const {
    for (const Chunk &c : chunks_)
        if (c.visible_at > now) return c.visible_at;
    return std::nullopt;
}

void ReplyQueue::clear() {
    chunks_.clear();
    size_ = 0;
    last_visible_ = {};
}

} // namespace rfsim
