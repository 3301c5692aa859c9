// The opt-in trace of the traffic with the bridges, for troubleshooting real hardware: every
// open, purge, write and read, and every failure with its reason, one line each with the time
// since the trace began. RFSENSE_TRACE=1 sends it to stderr (the only output the library makes,
// and only when asked for).
#pragma once

#include "link/link.h"

#include <functional>
#include <memory>
#include <string>

namespace rfsense::link {

using TraceSink = std::function<void(const std::string &line)>;

// True for a value of RFSENSE_TRACE that asks for the trace (set, not empty, not "0").
bool trace_requested(const char *value);

// `bus` with each of its operations, and those of the devices it opens, told to `sink`.
std::unique_ptr<Bus> make_tracing_bus(std::unique_ptr<Bus> bus, TraceSink sink);

// A sink that writes each line to stderr, prefixed "rfsense trace ".
TraceSink stderr_trace_sink();

// Bytes as a line shows them: text with \n, \r, \t and \\ escaped, or hex bytes when any of
// them is not text (binary replies).
std::string trace_bytes(const void *data, std::size_t count);

} // namespace rfsense::link
