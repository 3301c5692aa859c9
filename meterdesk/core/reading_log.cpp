#include "meterdesk/core/reading_log.h"

#include "meterdesk/core/c_format.h"
#include "meterdesk/core/durable_file.h"

#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace meterdesk {

struct ReadingLog::FileState {
    DurableFile file;
    std::uint64_t complete_size = 0; // bytes up to the last complete line
};

namespace {

constexpr std::size_t kMinimumCapacity = 30000; // 60 s at 500 readings/s

bool starts_with_header(const std::string &start) {
    const std::string header = kLogHeader;
    if (start.compare(0, header.size(), header) != 0) return false;
    return start.size() == header.size() || start[header.size()] == '\n' ||
           start[header.size()] == '\r';
}

} // namespace

const char *log_unit_text(LogUnit unit) {
    switch (unit) {
    case LogUnit::kDbm:
        return "dBm";
    case LogUnit::kDb:
        return "dB";
    case LogUnit::kWatts:
        return "W";
    case LogUnit::kPercent:
        return "%";
    case LogUnit::kVolts:
        return "V";
    case LogUnit::kCelsius:
        return "'C";
    case LogUnit::kFahrenheit:
        return "'F";
    }
    return "";
}

namespace {

// The local date and time of one second, kept while the readings stay in it: the time-zone
// lookup is the dearest part of a row.
struct SecondText {
    std::int64_t second = INT64_MIN;
    std::string date_time; // "2024-03-05T14:07:09"
    std::string offset;    // "+01:00"
};

void set_second(SecondText &cache, std::int64_t seconds) {
    if (cache.second == seconds) return;
    const std::tm local = local_time_of(static_cast<std::time_t>(seconds));
    const long offset = utc_offset_seconds(local);
    const long offset_minutes = std::labs(offset) / 60;
    cache.second = seconds;
    cache.date_time =
        c_format("%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                 local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    cache.offset =
        c_format("%c%02ld:%02ld", offset < 0 ? '-' : '+', offset_minutes / 60, offset_minutes % 60);
}

void append_row(std::string &out, SecondText &cache, std::int64_t taken_ms, double value,
                LogUnit unit, bool over_range) {
    std::int64_t seconds = taken_ms / 1000;
    std::int64_t millis = taken_ms % 1000;
    if (millis < 0) {
        seconds -= 1;
        millis += 1000;
    }
    set_second(cache, seconds);
    char field[64];
    out += cache.date_time;
    out.append(field, c_format_into(field, sizeof field, ".%03d", static_cast<int>(millis)));
    out += cache.offset;
    out += ',';
    const bool exponent = unit == LogUnit::kWatts || unit == LogUnit::kVolts;
    out.append(field, exponent ? c_format_into(field, sizeof field, "%.6e", value)
                               : c_format_into(field, sizeof field, "%.3f", value));
    out += ',';
    out += log_unit_text(unit);
    out += over_range ? ",1" : ",0";
}

} // namespace

std::string ReadingLog::row(std::chrono::system_clock::time_point taken, double value, LogUnit unit,
                            bool over_range) {
    SecondText cache;
    std::string text;
    append_row(
        text, cache,
        std::chrono::duration_cast<std::chrono::milliseconds>(taken.time_since_epoch()).count(),
        value, unit, over_range);
    return text;
}

ReadingLog::ReadingLog(ReadingLogOptions options)
    : options_(options), file_(std::make_unique<FileState>()) {
    const std::size_t capacity = std::bit_ceil(std::max(options_.capacity, kMinimumCapacity));
    ring_.resize(capacity);
    mask_ = capacity - 1;
}

ReadingLog::~ReadingLog() {
    stop();
}

std::optional<std::string> ReadingLog::start(const std::string &path) {
    stop();
    std::string start_text;
    std::string error;
    if (!read_file_start(path, std::string(kLogHeader).size() + 2, start_text, error)) return error;
    const bool fresh = start_text.empty();
    if (!fresh && !starts_with_header(start_text))
        return std::string("The file is not a data log: it does not start with the line \"") +
               kLogHeader + "\".";
    FileState &f = *file_;
    if (!f.file.open(path)) return f.file.error();
    if (fresh && !(f.file.write_all(std::string(kLogHeader) + "\n") && f.file.sync())) {
        const std::string reason = f.file.error();
        f.file.truncate(0);
        f.file.close();
        return reason;
    }
    if (!f.file.size(f.complete_size)) {
        const std::string reason = f.file.error();
        f.file.close();
        return reason;
    }
    {
        std::lock_guard lock(mutex_);
        path_ = path;
        failure_.reset();
        stop_requested_ = false;
    }
    head_ = 0;
    tail_ = 0;
    overflow_ = false;
    accepted_ = 0;
    saved_ = 0;
    running_.store(true, std::memory_order_release);
    writer_ = std::thread([this] { write_loop(); });
    return std::nullopt;
}

bool ReadingLog::log(double value, LogUnit unit, bool over_range) noexcept {
    if (!running_.load(std::memory_order_acquire)) return false;
    const std::uint64_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) >= ring_.size()) {
        overflow_.store(true, std::memory_order_release);
        return false;
    }
    const auto taken = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    ring_[head & mask_] = Slot{taken.count(), value, unit, over_range};
    head_.store(head + 1, std::memory_order_release);
    accepted_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

bool ReadingLog::drain(std::string &buffer) {
    static thread_local SecondText cache; // the writer thread's
    buffer.clear();
    const std::uint64_t head = head_.load(std::memory_order_acquire);
    std::uint64_t tail = tail_.load(std::memory_order_relaxed);
    const std::uint64_t lines = head - tail;
    for (; tail != head; ++tail) {
        const Slot &s = ring_[tail & mask_];
        append_row(buffer, cache, s.taken_ms, s.value, s.unit, s.over_range);
        buffer += '\n';
    }
    tail_.store(tail, std::memory_order_release);
    if (buffer.empty()) return true;
    FileState &f = *file_;
    if (!f.file.write_all(buffer)) return false;
    f.complete_size += buffer.size();
    saved_.fetch_add(lines, std::memory_order_release);
    return true;
}

void ReadingLog::fail(std::string reason) {
    FileState &f = *file_;
    // Only whole lines stay: a partly written one is cut off.
    f.file.truncate(f.complete_size);
    f.file.sync();
    f.file.close();
    running_.store(false, std::memory_order_release);
    LogFailure failure{path(), std::move(reason), saved()};
    std::function<void(const LogFailure &)> report;
    {
        std::lock_guard lock(mutex_);
        failure_ = failure;
        report = on_failure_;
    }
    if (report) report(failure);
}

void ReadingLog::write_loop() {
    std::string buffer;
    buffer.reserve(64 * 1024);
    auto last_sync = std::chrono::steady_clock::now();
    FileState &f = *file_;
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, options_.writer_pace, [&] { return stop_requested_; });
            stopping = stop_requested_;
        }
        if (!drain(buffer)) return fail(f.file.error());
        if (overflow_.load(std::memory_order_acquire)) {
            return fail("Readings came faster than the disk took them; the queue of " +
                        std::to_string(ring_.size()) + " readings was full.");
        }
        const auto now = std::chrono::steady_clock::now();
        if (stopping || now - last_sync >= options_.sync_interval) {
            if (!f.file.sync()) return fail(f.file.error());
            last_sync = now;
        }
        if (stopping) {
            f.file.close();
            running_.store(false, std::memory_order_release);
            return;
        }
    }
}

void ReadingLog::stop() {
    {
        std::lock_guard lock(mutex_);
        stop_requested_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable()) writer_.join();
    running_.store(false, std::memory_order_release);
}

std::string ReadingLog::path() const {
    std::lock_guard lock(mutex_);
    return path_;
}

std::optional<LogFailure> ReadingLog::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

void ReadingLog::set_on_failure(std::function<void(const LogFailure &)> on_failure) {
    std::lock_guard lock(mutex_);
    on_failure_ = std::move(on_failure);
}

} // namespace meterdesk
