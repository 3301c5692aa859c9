// A small host side for the simulator tests: configure the bus, open a device, send commands and
// read replies through the same rfsim_bus calls the link backend uses.
#pragma once

#include "rfsim/rfsim.h"
#include "rfsim/rfsim_bus.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace rfsim_test {

inline std::string get(int device, const char *key) {
    char buffer[1 << 16];
    const int n = rfsim_get(device, key, buffer, sizeof buffer);
    EXPECT_GE(n, 0) << key << ": " << rfsim_error();
    return n < 0 ? std::string() : std::string(buffer);
}

class SimLink {
  public:
    explicit SimLink(int index = 0) : handle_(rfsim_bus_open(index)) {}
    ~SimLink() {
        if (handle_ > 0) rfsim_bus_close(handle_);
    }
    SimLink(const SimLink &) = delete;
    SimLink &operator=(const SimLink &) = delete;

    int handle() const { return handle_; }

    void send(std::string_view bytes) {
        ASSERT_EQ(rfsim_bus_write(handle_, bytes.data(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }

    // Exactly `count` bytes, or fewer when the device stays quiet for `timeout_ms`.
    std::string read(size_t count, int timeout_ms = 1000) {
        std::string out;
        while (out.size() < count) {
            if (rfsim_bus_wait(handle_, timeout_ms) <= 0) break;
            char buffer[256];
            const int want = static_cast<int>(std::min(count - out.size(), sizeof buffer));
            const int got = rfsim_bus_read(handle_, buffer, want);
            if (got <= 0) break;
            out.append(buffer, static_cast<size_t>(got));
        }
        return out;
    }

    std::string query(std::string_view command, size_t reply_size, int timeout_ms = 1000) {
        send(command);
        return read(reply_size, timeout_ms);
    }

    uint32_t query_big_endian(std::string_view command, size_t size) {
        const std::string r = query(command, size);
        EXPECT_EQ(r.size(), size) << command;
        uint32_t v = 0;
        for (char c : r) v = (v << 8) | static_cast<uint8_t>(c);
        return v;
    }

  private:
    int handle_;
};

} // namespace rfsim_test
