// Test helpers for the sensor library: the simulated bus, a scratch data folder with the
// library's calibration files, and a session record that is always closed.
#pragma once

#include "rfsense/rfsense.h"
#include "rfsim/rfsim.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace rfsense_test {

// The tests talk to the simulated bus, also when run by hand outside CTest.
inline const bool sim_link_chosen = (setenv("RFSENSE_LINK", "sim", 0), true);

// Replaces the simulated bus with `text` (one `[device]` section per device).
inline void configure_bus(const std::string &text) {
    ASSERT_GE(rfsim_configure(text.c_str()), 0) << rfsim_error() << "\n" << text;
}

inline void set_key(int device, const char *key, const std::string &value) {
    ASSERT_EQ(rfsim_set(device, key, value.c_str()), 0) << rfsim_error();
}

inline std::string get_key(int device, const char *key) {
    std::vector<char> out(1 << 16);
    const int length = rfsim_get(device, key, out.data(), static_cast<int>(out.size()));
    return length < 0 ? std::string() : std::string(out.data());
}

// Polls `condition` until it holds or `limit` passes; true when it held.
inline bool eventually(const std::function<bool()> &condition,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

using test_support::ScopedEnv;
using TempFolder = test_support::ScratchFolder;

// A data folder that both brands' default folders point at while it lives.
class DataFolder : public TempFolder {
  public:
    DataFolder()
        : quorix_("QUORIX_HOME", path().string()), marrick_("MARRICK_HOME", path().string()) {}

  private:
    ScopedEnv quorix_;
    ScopedEnv marrick_;
};

// --- "tcd.dat" -------------------------------------------------------------------------------

inline constexpr size_t tcd_size = 10330;
inline constexpr size_t tcd_mark_offsets[5] = {6, 2586, 5166, 7746, 10326};
inline constexpr int32_t tcd_marks[5] = {124, 185, 265, 400, 7510};

// The value stored in section `section` at (row, column) by tcd_file().
inline double tcd_value(int section, int row, int column) {
    return (section + 1) * 0.5 + row * 0.01 + column * 0.001;
}

inline void put_le32(std::string &bytes, size_t at, int32_t value) {
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

// A complete file with the given marks; every table holds tcd_value().
inline std::string tcd_file(const std::array<int32_t, 5> &marks = {124, 185, 265, 400, 7510}) {
    std::string bytes(tcd_size, '\0');
    std::memcpy(bytes.data(), "010124", 6);
    for (int section = 0; section < 5; ++section)
        put_le32(bytes, tcd_mark_offsets[section], marks[static_cast<size_t>(section)]);
    for (int section = 0; section < 4; ++section)
        for (int row = 0; row < 46; ++row)
            for (int column = 0; column < 7; ++column) {
                const double value = tcd_value(section, row, column);
                uint64_t bits = 0;
                std::memcpy(&bits, &value, 8);
                const size_t at = tcd_mark_offsets[section] + 4 + (row * 7 + column) * 8;
                for (size_t i = 0; i < 8; ++i)
                    bytes[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
            }
    return bytes;
}

// --- "tessaline prams.txt" ---------------------------------------------------------------------

// Band k's parameter E_i as written by band_file().
inline double band_value(int band, int i) {
    return band * 1.0 + i * 0.125 + 0.5;
}

inline std::string band_file(const char *line_end = "\n") {
    std::string text;
    for (int band = 0; band < 8; ++band) {
        text += "Band " + std::to_string(band) + line_end;
        for (int i = 0; i < 10; ++i) text += std::to_string(band_value(band, i)) + line_end;
    }
    return text;
}

// --- sessions ----------------------------------------------------------------------------------

// A record opened for the test and closed at its end, whatever happens.
class Session {
  public:
    Session() { SensorOpen(&record_); }
    ~Session() { SensorClose(&record_); }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    SensorRecord *get() const { return record_; }
    int32_t init() { return SensorInit(record_); }
    bool connected() const {
        unsigned char over = 0;
        return SensorConnected(record_, &over) != 0;
    }

  private:
    SensorRecord *record_ = nullptr;
};

// The library's default equation parameters.
inline constexpr std::array<double, 13> default_equation = {
    0.351422075,   46.998511431, -0.16739752, 38.918840708, 0.658688612,  -0.145810701, 1.992628645,
    -49.534820177, 0.975122284,  0.890270701, -0.147695445, -4.224442247, 0.505367444};

} // namespace rfsense_test
