#include "reading_output.h"

#include "platform.h"
#include "units_text.h"

#include <cstdio>

namespace rfsense::cli {

std::string format_timestamp(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto since_epoch = when.time_since_epoch();
    auto seconds = duration_cast<std::chrono::seconds>(since_epoch);
    auto millis = duration_cast<milliseconds>(since_epoch - seconds).count();
    if (millis < 0) { // before 1970: keep the fraction positive
        seconds -= std::chrono::seconds(1);
        millis += 1000;
    }
    const std::tm local = platform::local_time(static_cast<std::time_t>(seconds.count()));
    char date_time[32] = {};
    std::strftime(date_time, sizeof date_time, "%Y-%m-%dT%H:%M:%S", &local);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(millis));
    return std::string(date_time) + fraction + platform::utc_offset(local);
}

const char *unit_symbol(Quantity quantity) {
    switch (quantity) {
    case Quantity::dbm:
        return "dBm";
    case Quantity::relative_db:
        return "dB";
    case Quantity::watts:
        return "W";
    case Quantity::relative_percent:
        return "%";
    case Quantity::volts:
        return "V";
    }
    return "";
}

ReadingWriter::ReadingWriter(std::FILE *out, Format format, Quantity quantity, int decimals)
    : out_(out), format_(format), quantity_(quantity), decimals_(decimals) {}

bool ReadingWriter::begin() {
    if (format_ == Format::csv) return emit("timestamp,value,unit,over_range");
    return true;
}

std::string ReadingWriter::value_text(double value) const {
    char text[64];
    switch (quantity_) {
    case Quantity::watts:
    case Quantity::volts:
        // Scripts get plain SI units with enough significant digits; people get prefixes.
        if (format_ == Format::csv) {
            std::snprintf(text, sizeof text, "%.*e", decimals_ + 3, value);
            return text;
        }
        return format_si(value, unit_symbol(quantity_), decimals_);
    case Quantity::dbm:
    case Quantity::relative_db:
    case Quantity::relative_percent:
        break;
    }
    std::snprintf(text, sizeof text, "%.*f", decimals_, value);
    if (format_ == Format::csv) return text;
    return std::string(text) + " " + unit_symbol(quantity_);
}

bool ReadingWriter::write(const Reading &reading) {
    if (format_ == Format::csv) {
        return emit(format_timestamp(reading.taken) + "," + value_text(reading.value) + "," +
                    unit_symbol(quantity_) + "," + (reading.over_range ? "1" : "0"));
    }
    return emit(value_text(reading.value) + (reading.over_range ? "  OVER RANGE" : ""));
}

bool ReadingWriter::emit(const std::string &line) {
    if (std::fputs(line.c_str(), out_) < 0 || std::fputc('\n', out_) == EOF) return false;
    return std::fflush(out_) == 0;
}

} // namespace rfsense::cli
