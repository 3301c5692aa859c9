#include "meterdesk/trace/trace_file.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/c_format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace meterdesk {
namespace {

static_assert(std::endian::native == std::endian::little, "trace files are little-endian");

class Writer {
  public:
    void u8(bool flag) { bytes_.push_back(flag ? 1 : 0); }
    void i32(std::int32_t value) { raw(&value, sizeof value); }
    void f64(double value) { raw(&value, sizeof value); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

  private:
    void raw(const void *data, std::size_t size) {
        const auto *p = static_cast<const std::uint8_t *>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    std::vector<std::uint8_t> bytes_;
};

// Reads fields in order; once a read runs past the end every later read fails too.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool flag(bool &value) {
        std::uint8_t byte = 0;
        if (!raw(&byte, 1) || byte > 1) return ok_ = false;
        value = byte == 1;
        return true;
    }
    bool i32(std::int32_t &value) { return raw(&value, sizeof value); }
    bool f64(double &value) { return raw(&value, sizeof value) && (ok_ = std::isfinite(value)); }
    bool at_end() const { return offset_ == bytes_.size(); }
    bool ok() const { return ok_; }

  private:
    bool raw(void *out, std::size_t size) {
        if (!ok_ || bytes_.size() - offset_ < size) return ok_ = false;
        std::memcpy(out, bytes_.data() + offset_, size);
        offset_ += size;
        return true;
    }
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

bool valid_units(std::int32_t units) {
    return units >= 1120 && units <= 1122;
}

} // namespace

std::vector<std::uint8_t> encode_trace_file(const TraceSnapshot &t) {
    Writer w;
    w.f64(kTraceFileMagic);
    w.i32(t.samples);
    w.i32(static_cast<std::int32_t>(t.values.size()));
    w.f64(t.period_s);
    w.u8(t.period_in_seconds);
    w.i32(t.units);
    w.u8(t.autoscale);
    if (!t.autoscale) {
        w.f64(t.plot_min);
        w.f64(t.plot_max);
        w.f64(t.plot_span);
        w.f64(t.plot_step);
    }
    w.u8(t.temperature);
    w.u8(t.temp_autoscale);
    if (!t.temp_autoscale) {
        w.f64(t.temp_min);
        w.f64(t.temp_max);
        w.f64(t.temp_span);
        w.f64(t.temp_step);
    }
    for (double v : t.values) w.f64(v);
    if (t.temperature) {
        for (std::size_t i = 0; i < t.values.size(); ++i)
            w.f64(i < t.temps.size() ? t.temps[i] : 0);
    }
    w.i32(t.data_units);
    return w.take();
}

std::optional<TraceSnapshot> decode_trace_file(std::span<const std::uint8_t> bytes) {
    Reader r(bytes);
    TraceSnapshot t;
    double magic = 0;
    if (!r.f64(magic) || magic != kTraceFileMagic) return std::nullopt;
    std::int32_t count = 0;
    if (!r.i32(t.samples) || !r.i32(count) || !r.f64(t.period_s) || !r.flag(t.period_in_seconds) ||
        !r.i32(t.units) || !r.flag(t.autoscale))
        return std::nullopt;
    const auto points = static_cast<std::int32_t>(kTracePoints);
    if (t.samples < 2 || t.samples > points || count < 0 || count > t.samples ||
        !(t.period_s > 0) || !valid_units(t.units))
        return std::nullopt;
    if (!t.autoscale &&
        !(r.f64(t.plot_min) && r.f64(t.plot_max) && r.f64(t.plot_span) && r.f64(t.plot_step)))
        return std::nullopt;
    if (!r.flag(t.temperature) || !r.flag(t.temp_autoscale)) return std::nullopt;
    if (!t.temp_autoscale &&
        !(r.f64(t.temp_min) && r.f64(t.temp_max) && r.f64(t.temp_span) && r.f64(t.temp_step)))
        return std::nullopt;
    t.values.resize(static_cast<std::size_t>(count));
    for (double &v : t.values)
        if (!r.f64(v)) return std::nullopt;
    if (t.temperature) {
        t.temps.resize(static_cast<std::size_t>(count));
        for (double &v : t.temps)
            if (!r.f64(v)) return std::nullopt;
    }
    // The unit tag may be missing; a file that ends inside it is short.
    t.data_units = 1;
    if (!r.at_end()) {
        std::int32_t tag = 0;
        if (!r.i32(tag)) return std::nullopt;
        if (tag >= 0 && tag <= 2) t.data_units = tag;
    }
    return t;
}

std::string trace_listing_text(const TraceSnapshot &t, bool celsius, const std::tm &local) {
    // The lines end in CR LF written out, whatever the platform's text mode does.
    std::string text = c_format("%d.%d.%02d at %d:%02d:%02d\r\n", local.tm_mday, local.tm_mon + 1,
                                local.tm_year - 100, local.tm_hour, local.tm_min, local.tm_sec);
    text += c_format("Samples: %d\r\n", static_cast<int>(t.values.size()));
    text += c_format("Time base: %.1f seconds\r\n", t.period_s);
    const char *unit = t.data_units == 2 ? "mW" : t.data_units == 0 ? "Volts" : "dBm";
    text +=
        std::string("Units = ") + unit + ", Temperature in " + (celsius ? "'C" : "'F") + "\r\n\r\n";
    for (std::size_t i = 0; i < t.values.size(); ++i) {
        const double v = t.values[i];
        text += t.data_units == 2   ? c_format("%10.6f", v)
                : t.data_units == 0 ? c_format("%10.8f", v)
                                    : c_format("%6.3f", v);
        if (t.temperature && i < t.temps.size()) text += c_format("\t%4.1f", t.temps[i]);
        text += "\r\n";
    }
    return text;
}

TraceSnapshot trace_snapshot_of(const AppState &s) {
    TraceSnapshot t;
    t.samples = s.trace_samples;
    t.period_s = s.trace_period_s;
    t.period_in_seconds = s.trace_period_in_seconds;
    t.units = s.trace_units;
    t.autoscale = s.trace_autoscale;
    t.plot_min = s.plot_min;
    t.plot_max = s.plot_max;
    t.plot_span = s.plot_span;
    t.plot_step = s.plot_step;
    t.temperature = s.trace_temperature;
    t.temp_autoscale = s.trace_temp_autoscale;
    t.temp_min = s.temp_min;
    t.temp_max = s.temp_max;
    t.temp_span = s.temp_span;
    t.temp_step = s.temp_step;
    const std::int32_t count = s.trace_count.load(std::memory_order_acquire);
    const auto n = static_cast<std::size_t>(std::clamp<std::int32_t>(count, 0, kTracePoints));
    for (std::size_t i = 0; i < n; ++i) {
        t.values.push_back(s.trace_values[i].load(std::memory_order_relaxed));
        if (t.temperature) t.temps.push_back(s.trace_temps[i].load(std::memory_order_relaxed));
    }
    t.data_units = s.trace_data_units;
    return t;
}

void store_trace_snapshot(AppState &s, const TraceSnapshot &t) {
    s.trace_samples = t.samples;
    s.trace_period_s = t.period_s;
    s.trace_period_in_seconds = t.period_in_seconds;
    s.trace_units = t.units;
    s.trace_autoscale = t.autoscale;
    if (!t.autoscale) {
        s.plot_min = t.plot_min;
        s.plot_max = t.plot_max;
        s.plot_span = t.plot_span;
        s.plot_step = t.plot_step;
    }
    s.trace_temperature = t.temperature;
    s.trace_temp_autoscale = t.temp_autoscale;
    if (!t.temp_autoscale) {
        s.temp_min = t.temp_min;
        s.temp_max = t.temp_max;
        s.temp_span = t.temp_span;
        s.temp_step = t.temp_step;
    }
    const std::size_t n = std::min(t.values.size(), kTracePoints);
    for (std::size_t i = 0; i < n; ++i) {
        s.trace_values[i].store(t.values[i], std::memory_order_relaxed);
        s.trace_temps[i].store(i < t.temps.size() ? t.temps[i] : 0.0, std::memory_order_relaxed);
    }
    s.trace_data_units = t.data_units;
    s.trace_count.store(static_cast<std::int32_t>(n), std::memory_order_release);
    s.seconds_per_pixel = t.samples * t.period_s * 0.002;
    s.trace_valid = true;
}

} // namespace meterdesk
