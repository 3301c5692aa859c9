// Helpers of the tests that run the real-hardware path (libftdi1 over libusb) on the emulated
// USB bus: the simulated devices it presents, the record of what the chip was asked, and the
// libusb calls it saw.
#pragma once

#include "rfsim/rfsim.h"
#include "rfsim/usb_emulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace usb_test {

// These tests use the real-hardware link, also when run by hand outside CTest.
inline const bool ftdi_link_chosen = (setenv("RFSENSE_LINK", "ftdi", 1), true);

// Replaces the simulated bus; the emulation forgets what it recorded and refuses nothing.
inline void configure(const std::string &text) {
    ASSERT_GE(rfsim_configure(text.c_str()), 0) << rfsim_error() << "\n" << text;
    rfsim_usb_clear();
}

inline void set_key(int device, const char *key, const std::string &value) {
    ASSERT_EQ(rfsim_set(device, key, value.c_str()), 0) << rfsim_error();
}

inline std::string sim_get(int device, const char *key) {
    std::vector<char> out(1 << 16);
    const int n = rfsim_get(device, key, out.data(), static_cast<int>(out.size()));
    EXPECT_GE(n, 0) << key << ": " << rfsim_error();
    return n < 0 ? std::string() : std::string(out.data());
}

inline std::string usb_get(int device, const char *key) {
    std::vector<char> out(1 << 20);
    const int n = rfsim_usb_get(device, key, out.data(), static_cast<int>(out.size()));
    EXPECT_GE(n, 0) << key << ": " << rfsim_usb_error();
    return n < 0 ? std::string() : std::string(out.data());
}

inline void usb_set(int device, const char *key, const char *value) {
    ASSERT_EQ(rfsim_usb_set(device, key, value), 0) << rfsim_usb_error();
}

inline std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The vendor requests device `device` received, one "<name> value=<v> index=<i>" each.
inline std::vector<std::string> requests(int device) {
    return lines_of(usb_get(device, "requests"));
}

inline long count_of(const std::vector<std::string> &lines, const std::string &line) {
    return std::count(lines.begin(), lines.end(), line);
}

// How often the libusb function `name` was called since the last configure().
inline long calls_of(const std::string &name) {
    for (const std::string &line : lines_of(usb_get(-1, "calls")))
        if (line.rfind(name + " ", 0) == 0) return std::stol(line.substr(name.size() + 1));
    return 0;
}

} // namespace usb_test
