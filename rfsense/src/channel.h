// The command channel: writing commands and the reply readers, plus the pause/resume handshake
// with the reader thread. Every function here takes the record's `channel` mutex itself unless
// its name says `_locked`, in which case the caller holds it across a whole exchange.
#pragma once

#include "record.h"

#include <cstdint>
#include <mutex>
#include <string_view>

namespace rfsense::channel {

// A silent sensor: the timed readers give up after this (250 polls of 5 ms).
inline constexpr auto timed_reply_limit = std::chrono::milliseconds(1250);
// Readers without a time-out of their own still give up after this much silence, and the sensor
// is then treated as lost, so a sensor that stops answering never hangs a caller.
inline constexpr auto silence_limit = std::chrono::milliseconds(3000);

// Marks the session lost: connected = 0 and every waiter on the record's events wakes up.
void mark_lost(SensorRecord &record);

// Writes the command's bytes unchanged (the "\n" is part of the command).
void send_locked(SensorRecord &record, std::string_view command);
void send_locked(SensorRecord &record, const void *bytes, uint32_t count);

// Reply readers. Each reads into record.reply; on a failed queue status the session is lost
// and the reader returns what it has.
// Line: until the last byte received is "\n"; NUL stored after it. Returns the length. A line
// longer than the buffer is cut to its first 70 bytes plus "\n" and the rest is discarded.
int read_line_locked(SensorRecord &record);
// A line whose first bytes are binary (a "\n" among them does not end it): as the line reader,
// but the line is complete only once it holds at least `minimum` bytes.
int read_binary_line_locked(SensorRecord &record, int minimum);
// Exactly n bytes; NUL stored after them. Returns the count kept in the buffer: at most 71, the
// bytes beyond are read and discarded; fewer than asked when the sensor was lost.
int read_counted_locked(SensorRecord &record, int count);
// Exactly n bytes straight into the caller's `out` (which holds n). Returns the count received:
// fewer than asked only when the sensor was lost.
int read_counted_into_locked(SensorRecord &record, char *out, int count);
// One byte (untimed) and one byte with the 1.25 s time-out (0 on time-out).
uint8_t read_byte_locked(SensorRecord &record);
uint8_t read_byte_timed_locked(SensorRecord &record);
// Big-endian signed 16 bits with the 1.25 s time-out (0 on time-out).
int16_t read_i16_timed_locked(SensorRecord &record);
// Big-endian 32 bits, untimed.
uint32_t read_u32_locked(SensorRecord &record);

// Convenience: one whole exchange under the lock.
void send(SensorRecord &record, std::string_view command);
uint32_t query_u32(SensorRecord &record, std::string_view command);
int16_t query_i16_timed(SensorRecord &record, std::string_view command);

// Asks the device whether it is still there (its queue status) unless someone is talking to it
// already; marks the session lost when it is gone. For waits that nothing else would end while
// the reader, which otherwise notices an unplug, is parked. True while connected.
bool still_attached(SensorRecord &record);

// The reader thread sends nothing and signals nothing until someone releases it: it waits on a
// pause (a caller's SensorComms(0), trigger mode), sits in a step-by-step zero (handshake 2), or
// has ended. A wait for the reader's next average or thermistor read must not wait on it then.
bool reader_parked(const SensorRecord &record);

// The longest any wait for the reader's acknowledgement lasts. The reader's own reads give up
// after the silence limit, so a running reader always answers well within this.
inline constexpr auto reader_answer_limit = 2 * silence_limit;

// Pause/resume handshake with the reader thread. A pause returns once the reader is parked
// (also when a step-by-step zero holds it); a resume withdraws a pause the reader never took.
// Both waits end early when the session is lost and never last longer than the answer limit.
void pause_reader(SensorRecord &record);
void resume_reader(SensorRecord &record);

} // namespace rfsense::channel
