// The command channel on a record opened straight on the simulated bus (no reader thread): the
// reply readers, their bounds and time-outs, losing the sensor, and the pause/resume handshake.
#include "channel.h"
#include "link/link.h"
#include "record.h"

#include "rfsense/sim_session.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace rfsense;
using namespace rfsense_test;
using Clock = std::chrono::steady_clock;

class Channel : public ::testing::Test {
  protected:
    void SetUp() override {
        configure_bus("[device]\ntiming = fast\nidentity = USB SENSOR V4.7\n");
        ASSERT_EQ(link::active_bus().open(0, record.device), link::Status::ok);
        record.connected = 1;
    }

    // Sends `command` and runs `reader` under the channel, as the library does.
    template <class Reader>
    auto exchange(const std::string &command, Reader reader) {
        std::lock_guard lock(record.channel);
        channel::send_locked(record, command);
        return reader(record);
    }

    SensorRecord record;
};

TEST_F(Channel, EachReaderGetsItsReply) {
    EXPECT_EQ(exchange("INIT?\n", channel::read_i16_timed_locked), 75);
    EXPECT_EQ(channel::query_i16_timed(record, "INIT?\n"), 75);

    EXPECT_EQ(exchange("ID?\n", channel::read_line_locked), 16);
    EXPECT_STREQ(record.reply, "USB SENSOR V4.7\n");

    channel::send(record, "MI3\n");
    EXPECT_EQ(exchange("MR4\n", [](SensorRecord &r) { return channel::read_counted_locked(r, 4); }),
              4);
    EXPECT_STREQ(record.reply, "CFT>");

    // "DSN?" answers the 32-bit serial and a line feed: 32-bit reader, then one byte.
    EXPECT_EQ(exchange("DSN?\n", channel::read_u32_locked), 123456u);
    EXPECT_EQ(channel::read_byte_locked(record), '\n');
    EXPECT_EQ(channel::query_u32(record, "DSN?\n"), 123456u);
    EXPECT_EQ(channel::read_byte_timed_locked(record), '\n');

    EXPECT_EQ(record.connected.load(), 1);
}

TEST_F(Channel, LineLongerThanTheBufferIsCutAndTheRestDiscarded) {
    const std::string identity(150, 'A');
    set_key(0, "identity", identity);
    EXPECT_EQ(exchange("ID?\n", channel::read_line_locked), 71);
    EXPECT_EQ(std::string(record.reply), std::string(70, 'A') + "\n");
    // Nothing of the long reply is left to spoil the next exchange.
    EXPECT_EQ(channel::query_i16_timed(record, "INIT?\n"), 75);
    EXPECT_EQ(record.connected.load(), 1);
}

TEST_F(Channel, CountedReplyLongerThanTheBufferKeepsItsStartAndDropsTheRest) {
    channel::send(record, "MI4\n");
    std::string expected;
    {
        std::lock_guard lock(record.channel);
        channel::send_locked(record, "MR40\n");
        channel::send_locked(record, "MR40\n");
        EXPECT_EQ(channel::read_counted_locked(record, 80), 71);
        expected.assign(record.reply, 4);
    }
    EXPECT_EQ(expected, "LIN>");
    EXPECT_EQ(record.reply[71], '\0');
    // All 80 bytes were taken: the next reply is the area's header again.
    channel::send(record, "MI4\n");
    EXPECT_EQ(exchange("MR4\n", [](SensorRecord &r) { return channel::read_counted_locked(r, 4); }),
              4);
    EXPECT_STREQ(record.reply, "LIN>");
}

// A silent sensor: the timed readers give up after 1.25 s and the session goes on.
TEST_F(Channel, TimedReadersGiveUpQuietlyOnSilence) {
    struct Case {
        const char *name;
        std::function<int(SensorRecord &)> read;
    };
    const Case cases[] = {
        {"16-bit", [](SensorRecord &r) { return int{channel::read_i16_timed_locked(r)}; }},
        {"one byte timed", [](SensorRecord &r) { return int{channel::read_byte_timed_locked(r)}; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        set_key(0, "silent", "1");
        const auto start = Clock::now();
        EXPECT_EQ(exchange("T1?\n", c.read), 0);
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1200));
        EXPECT_EQ(record.connected.load(), 1);
        set_key(0, "silent", "0");
        EXPECT_GT(channel::query_i16_timed(record, "T1?\n"), 0);
    }
}

// The readers without a time-out of their own end after the silence limit and the sensor is
// treated as lost, so nothing waits for ever. Each reader has a silent sensor of its own, so the
// cases wait side by side.
TEST(ChannelSilence, UntimedReadersEndOnLongSilenceAndLoseTheSensor) {
    struct Case {
        const char *name;
        const char *command;
        std::function<long(SensorRecord &)> read;
    };
    const Case cases[] = {
        {"line", "ID?\n", [](SensorRecord &r) { return long{channel::read_line_locked(r)}; }},
        {"counted", "MR4\n",
         [](SensorRecord &r) { return long{channel::read_counted_locked(r, 4)}; }},
        {"one byte", "DSN?\n", [](SensorRecord &r) { return long{channel::read_byte_locked(r)}; }},
        {"32-bit", "ADC?\n", [](SensorRecord &r) { return long{channel::read_u32_locked(r)}; }},
    };
    constexpr size_t n = std::size(cases);
    std::string bus;
    for (size_t i = 0; i < n; ++i) bus += "[device]\nsilent = 1\n";
    configure_bus(bus);
    std::array<SensorRecord, n> records;
    std::array<long, n> results{};
    std::array<Clock::duration, n> waited{};
    std::vector<std::thread> readers;
    for (size_t i = 0; i < n; ++i) {
        ASSERT_EQ(link::active_bus().open(static_cast<uint32_t>(i), records[i].device),
                  link::Status::ok);
        records[i].connected = 1;
        readers.emplace_back([&, i] {
            const auto start = Clock::now();
            std::lock_guard lock(records[i].channel);
            channel::send_locked(records[i], cases[i].command);
            results[i] = cases[i].read(records[i]);
            waited[i] = Clock::now() - start;
        });
    }
    for (auto &t : readers) t.join();
    for (size_t i = 0; i < n; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(results[i], 0);
        EXPECT_GE(waited[i], channel::silence_limit - std::chrono::milliseconds(50));
        EXPECT_EQ(records[i].connected.load(), 0);
    }
}

// Unplugging makes the next queue status fail: connected drops at once, the reader returns.
TEST_F(Channel, UnplugLosesTheSensorAtTheNextRead) {
    set_key(0, "plugged", "0");
    const auto start = Clock::now();
    EXPECT_EQ(exchange("INIT?\n", channel::read_i16_timed_locked), 0);
    EXPECT_LT(Clock::now() - start, channel::timed_reply_limit);
    EXPECT_EQ(record.connected.load(), 0);
}

TEST_F(Channel, ReadersReturnAtOnceWhenTheSessionHasEnded) {
    record.connected = 0;
    const auto start = Clock::now();
    EXPECT_EQ(exchange("ID?\n", channel::read_line_locked), 0);
    EXPECT_EQ(exchange("ADC?\n", channel::read_u32_locked), 0u);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
}

TEST_F(Channel, MarkLostWakesEveryEventWaiter) {
    Event *events[] = {&record.measurement_event, &record.temperature_event, &record.run_event};
    record.run_event.reset();
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (Event *event : events)
        waiters.emplace_back([&, event] {
            if (!event->wait(record.connected)) ++woken;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    channel::mark_lost(record);
    for (auto &t : waiters) t.join();
    EXPECT_EQ(woken.load(), 3);
    EXPECT_EQ(record.connected.load(), 0);
}

// A stand-in for the reader thread's side of the handshake (its end-of-cycle check).
class FakeReader {
  public:
    explicit FakeReader(SensorRecord &record)
        : record_(record), thread_([this] {
              record_.reader_alive = 1;
              while (record_.connected.load() != 0) {
                  if (record_.pause_request.load() != 0) {
                      record_.reader_running = 0;
                      record_.pause_request = 0;
                      ++parks;
                      record_.run_event.wait(record_.connected);
                      record_.reader_running = 1;
                  }
                  ++cycles;
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
              record_.reader_alive = 0;
          }) {
        while (record_.reader_alive.load() == 0) std::this_thread::yield();
    }
    ~FakeReader() {
        channel::mark_lost(record_);
        thread_.join();
    }

    std::atomic<int> parks{0};
    std::atomic<long> cycles{0};

  private:
    SensorRecord &record_;
    std::thread thread_;
};

TEST_F(Channel, HandshakeParksAndResumesTheReader) {
    FakeReader reader(record);
    channel::pause_reader(record);
    EXPECT_EQ(record.reader_running.load(), 0);
    EXPECT_EQ(reader.parks.load(), 1);
    const long parked_at = reader.cycles.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(reader.cycles.load(), parked_at); // it stays parked

    channel::resume_reader(record);
    EXPECT_EQ(record.reader_running.load(), 1);
    EXPECT_TRUE(eventually([&] { return reader.cycles.load() > parked_at; }));

    // A second round works the same.
    channel::pause_reader(record);
    EXPECT_EQ(reader.parks.load(), 2);
    channel::resume_reader(record);
}

TEST_F(Channel, HandshakeWaitsEndWhenTheSensorIsLost) {
    // No reader acknowledges: each wait ends when the session is lost instead.
    struct Case {
        const char *name;
        uint8_t running;
        void (*step)(SensorRecord &);
    };
    const Case cases[] = {{"pause", 1, channel::pause_reader},
                          {"resume", 0, channel::resume_reader}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        record.connected = 1;
        record.reader_alive = 1;
        record.reader_running = c.running;
        std::thread loser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            channel::mark_lost(record);
        });
        c.step(record);
        loser.join();
        EXPECT_EQ(record.connected.load(), 0);
    }
}

} // namespace
