// The receive queue of one simulated bridge: reply bytes each with the time from which the host
// may see them. Bounded like a driver's buffer: bytes beyond the limit are dropped.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace rfsim {

using Clock = std::chrono::steady_clock;

class ReplyQueue {
  public:
    static constexpr size_t capacity = 64 * 1024;

    // Queues bytes visible from `visible_at` (never before bytes queued earlier).
    void push(std::string bytes, Clock::time_point visible_at);
    // Bytes visible at `now`.
    size_t visible(Clock::time_point now) const;
    // Copies up to `count` visible bytes out; returns the count copied.
    size_t take(uint8_t *out, size_t count, Clock::time_point now);
    // When the next not yet visible byte becomes visible, if any is queued.
    std::optional<Clock::time_point> next_arrival(Clock::time_point now) const;
    void clear();
    size_t dropped() const { return dropped_; }

  private:
    struct Chunk {
        Clock::time_point visible_at;
        std::string bytes;
        size_t consumed = 0;
    };
    std::deque<Chunk> chunks_;
    size_t size_ = 0;
    size_t dropped_ = 0;
    Clock::time_point last_visible_{};
};

} // namespace rfsim
