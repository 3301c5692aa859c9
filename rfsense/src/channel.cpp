#include "channel.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace rfsense::channel {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Longest slice of one wait on the device: a reader notices within this time that the session
// was ended by someone else (SensorClose, SensorForceDisconnect) and stops waiting.
constexpr milliseconds wait_slice{50};
// Room in the reply buffer for reply bytes; the last byte is kept for the NUL.
constexpr int reply_room = static_cast<int>(sizeof(SensorRecord::reply)) - 1;
// A reply that keeps streaming past the buffer is discarded up to this many bytes; a sensor that
// sends more than this without ending its line is not talking sense and is treated as lost.
constexpr int drain_limit = 65536;
// The handshake polls the reader's acknowledgement at this pace.
constexpr milliseconds handshake_poll{5};

enum class Limit {
    timed,   // give up quietly after timed_reply_limit in all (the session goes on)
    silence, // give up after silence_limit without a byte; the sensor is then lost
};

// Waits until received bytes are waiting. Returns their number, 0 when `deadline` passed first,
// or -1 when the session is (or becomes) lost.
long wait_for_bytes(SensorRecord &record, Clock::time_point deadline) {
    for (;;) {
        if (record.connected.load() == 0 || !record.device) return -1;
        const auto now = Clock::now();
        if (now >= deadline) return 0;
        const auto left = std::chrono::ceil<milliseconds>(deadline - now);
        uint32_t waiting = 0;
        if (record.device->wait_queue(std::min(left, wait_slice), waiting) != link::Status::ok) {
            mark_lost(record);
            return -1;
        }
        if (waiting > 0) return static_cast<long>(waiting);
    }
}

// Receives up to `count` bytes into `out` (any `count`; bytes beyond `keep` are read and
// dropped). Returns the number of bytes received. `done` may end the read early: it is asked
// after every chunk with the bytes kept so far.
template <class Done>
int receive(SensorRecord &record, char *out, int keep, int count, Limit limit, Done done) {
    const auto timeout = limit == Limit::timed ? timed_reply_limit : silence_limit;
    auto deadline = Clock::now() + timeout;
    int received = 0;
    char scratch[256];
    while (received < count) {
        const long waiting = wait_for_bytes(record, deadline);
        if (waiting < 0) break;
        if (waiting == 0) {
            if (limit == Limit::silence) mark_lost(record);
            break;
        }
        long ask = std::min<long>(waiting, count - received);
        char *into = scratch;
        if (received < keep) {
            ask = std::min<long>(ask, keep - received);
            into = out + received;
        } else {
            ask = std::min<long>(ask, static_cast<long>(sizeof scratch));
        }
        uint32_t got = 0;
        record.device->read(into, static_cast<uint32_t>(ask), got);
        received += static_cast<int>(got);
        if (limit == Limit::silence && got > 0) deadline = Clock::now() + silence_limit;
        if (done(std::min(received, keep), into, static_cast<int>(got))) break;
    }
    return received;
}

constexpr auto never_done = [](int, const char *, int) { return false; };

// Reads a line into the reply buffer that is complete when its last received byte is "\n" and
// it holds at least `minimum` bytes. A longer line is cut to fit the buffer, still ending in
// "\n", and the rest of it is read and dropped.
int read_line(SensorRecord &record, int minimum) {
    char *reply = record.reply;
    reply[0] = '\0';
    bool ended = false;
    const int kept =
        std::min(reply_room, receive(record, reply, reply_room, reply_room, Limit::silence,
                                     [&](int have, const char *chunk, int got) {
                                         ended =
                                             got > 0 && chunk[got - 1] == '\n' && have >= minimum;
                                         return ended;
                                     }));
    if (!ended && kept == reply_room) {
        // The buffer is full and the line goes on: keep it as a line and discard the rest.
        reply[reply_room - 1] = '\n';
        int drained = 0;
        bool drained_to_end = false;
        receive(record, nullptr, 0, drain_limit, Limit::silence,
                [&](int, const char *chunk, int got) {
                    drained += got;
                    drained_to_end = got > 0 && chunk[got - 1] == '\n';
                    return drained_to_end;
                });
        if (!drained_to_end && record.connected.load() != 0) mark_lost(record);
    }
    reply[kept] = '\0';
    return kept;
}

} // namespace

void mark_lost(SensorRecord &record) {
    record.connected.store(0);
    record.measurement_event.interrupt();
    record.run_event.interrupt();
    record.temperature_event.interrupt();
}

void send_locked(SensorRecord &record, std::string_view command) {
    send_locked(record, command.data(), static_cast<uint32_t>(command.size()));
}

void send_locked(SensorRecord &record, const void *bytes, uint32_t count) {
    if (!record.device || count == 0) return;
    uint32_t written = 0;
    record.device->write(bytes, count, written); // a lost device shows up at the next read
}

int read_line_locked(SensorRecord &record) {
    return read_line(record, 1);
}

int read_binary_line_locked(SensorRecord &record, int minimum) {
    return read_line(record, std::clamp(minimum, 1, reply_room));
}

int read_counted_locked(SensorRecord &record, int count) {
    record.reply[0] = '\0';
    if (count <= 0) return 0;
    const int received =
        receive(record, record.reply, reply_room, count, Limit::silence, never_done);
    const int kept = std::min(received, reply_room);
    record.reply[kept] = '\0';
    return kept;
}

int read_counted_into_locked(SensorRecord &record, char *out, int count) {
    if (count <= 0) return 0;
    return receive(record, out, count, count, Limit::silence, never_done);
}

uint8_t read_byte_locked(SensorRecord &record) {
    if (read_counted_locked(record, 1) != 1) return 0;
    return static_cast<uint8_t>(record.reply[0]);
}

uint8_t read_byte_timed_locked(SensorRecord &record) {
    if (receive(record, record.reply, 1, 1, Limit::timed, never_done) != 1) return 0;
    return static_cast<uint8_t>(record.reply[0]);
}

int16_t read_i16_timed_locked(SensorRecord &record) {
    if (receive(record, record.reply, 2, 2, Limit::timed, never_done) != 2) return 0;
    const auto *b = reinterpret_cast<const unsigned char *>(record.reply);
    return static_cast<int16_t>(static_cast<uint16_t>((b[0] << 8) | b[1]));
}

uint32_t read_u32_locked(SensorRecord &record) {
    if (receive(record, record.reply, 4, 4, Limit::silence, never_done) != 4) return 0;
    const auto *b = reinterpret_cast<const unsigned char *>(record.reply);
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

void send(SensorRecord &record, std::string_view command) {
    std::lock_guard lock(record.channel);
    send_locked(record, command);
}

uint32_t query_u32(SensorRecord &record, std::string_view command) {
    std::lock_guard lock(record.channel);
    send_locked(record, command);
    return read_u32_locked(record);
}

int16_t query_i16_timed(SensorRecord &record, std::string_view command) {
    std::lock_guard lock(record.channel);
    send_locked(record, command);
    return read_i16_timed_locked(record);
}

bool still_attached(SensorRecord &record) {
    std::unique_lock lock(record.channel, std::try_to_lock);
    // Someone is talking to the device: that exchange finds out for itself.
    if (!lock.owns_lock()) return record.connected.load() != 0;
    if (record.connected.load() == 0 || !record.device) return false;
    uint32_t waiting = 0;
    if (record.device->queue_status(waiting) != link::Status::ok) mark_lost(record);
    return record.connected.load() != 0;
}

bool reader_parked(const SensorRecord &record) {
    return record.reader_alive.load() == 0 || record.reader_running.load() == 0 ||
           record.zero_handshake.load() == 2;
}

void pause_reader(SensorRecord &record) {
    record.run_event.reset();
    record.pause_request.store(1);
    const auto deadline = Clock::now() + reader_answer_limit;
    while (!reader_parked(record) && record.connected.load() != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(handshake_poll);
}

void resume_reader(SensorRecord &record) {
    record.pause_request.store(0);
    record.run_event.set();
    const auto deadline = Clock::now() + reader_answer_limit;
    while (record.reader_alive.load() != 0 && record.reader_running.load() == 0 &&
           record.connected.load() != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(handshake_poll);
}

} // namespace rfsense::channel
