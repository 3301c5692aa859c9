// The binary trace file and the text listing of a trace.
//
// A trace file holds the trace settings and points: little-endian, no padding, IEEE 754
// doubles, the magic double 1234.5678 first. The level scale (four doubles) is present only
// when the level axis is manual, the temperature scale only when the temperature axis is
// manual, the temperatures only when they were recorded, and a final unit tag may be missing.
// Reading checks every count and value before anything is handed on, so a damaged file can
// never overrun the 500-point buffers or replace the trace in memory.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace meterdesk {

struct AppState;

// A trace as the files hold it.
struct TraceSnapshot {
    std::int32_t samples = 10;
    double period_s = 1.0;
    bool period_in_seconds = true;
    std::int32_t units = 1122; // 1120 volts, 1121 mW, 1122 dBm
    bool autoscale = true;
    double plot_min = 0, plot_max = 0, plot_span = 0, plot_step = 0;
    bool temperature = false;
    bool temp_autoscale = true;
    double temp_min = 0, temp_max = 0, temp_span = 0, temp_step = 0;
    std::vector<double> values;  // trace_count points
    std::vector<double> temps;   // as many as values when `temperature`, else empty
    std::int32_t data_units = 1; // 0 volts, 1 dBm, 2 mW
};

inline constexpr double kTraceFileMagic = 1234.5678;

// The file image of a trace.
std::vector<std::uint8_t> encode_trace_file(const TraceSnapshot &trace);

// The trace in a file image, or nothing when the image is not a valid trace file: wrong
// magic, samples outside 2..500, a point count outside 0..500 (or above the samples), a
// period, scale or flag that cannot be, or a file that ends before its last field. A missing
// unit tag, or one outside 0..2, gives 1 (dBm).
std::optional<TraceSnapshot> decode_trace_file(std::span<const std::uint8_t> bytes);

// The text listing, lines ending in CR LF: date line, "Samples: ...", "Time base: ...", the
// units line and an empty line, then one line per point. The value format follows the unit
// the values are stored in (data_units): dBm "%6.3f", mW "%10.6f", volts "%10.8f".
std::string trace_listing_text(const TraceSnapshot &trace, bool celsius, const std::tm &local);

// The trace of the application state, and storing a snapshot into it (settings, points,
// trace_count last, seconds_per_pixel, trace_valid).
TraceSnapshot trace_snapshot_of(const AppState &state);
void store_trace_snapshot(AppState &state, const TraceSnapshot &trace);

} // namespace meterdesk
