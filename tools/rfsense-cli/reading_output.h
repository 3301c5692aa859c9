// Writes readings as text for people or as CSV for scripts, one line per reading, flushed at once
// so a pipe sees each reading as it is taken.
#pragma once

#include "cli_options.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace rfsense::cli {

// What a reading's number is.
enum class Quantity { dbm, relative_db, watts, relative_percent, volts };

struct Reading {
    double value = 0.0;
    bool over_range = false;
    std::chrono::system_clock::time_point taken;
};

// ISO 8601 local time with milliseconds and the UTC offset: "2024-03-05T14:07:09.042+01:00".
std::string format_timestamp(std::chrono::system_clock::time_point when);

const char *unit_symbol(Quantity quantity);

class ReadingWriter {
  public:
    ReadingWriter(std::FILE *out, Format format, Quantity quantity, int decimals);

    // Each returns false when the output could not be written.
    bool begin();
    bool write(const Reading &reading);

  private:
    std::string value_text(double value) const;
    bool emit(const std::string &line);

    std::FILE *out_;
    Format format_;
    Quantity quantity_;
    int decimals_;
};

} // namespace rfsense::cli
