#include "meterdesk/factory/sensor_exchange.h"

#include <rfsense/rfsense.h>

#include <array>

namespace meterdesk {

ReaderPause::ReaderPause(SensorRecord *sensor) : sensor_(sensor) {
    SensorComms(sensor_, 0);
}

ReaderPause::~ReaderPause() {
    SensorComms(sensor_, 1);
}

bool send_bytes(SensorRecord *sensor, std::string_view bytes) {
    return SensorMessage(sensor, bytes.data(), static_cast<std::int32_t>(bytes.size())) != 0;
}

std::optional<std::string> query_line(SensorRecord *sensor, std::string_view command) {
    // The library's reply lines hold at most 72 bytes; the rest stays zero, so the text ends.
    std::array<char, 128> line{};
    if (!send_bytes(sensor, command) || SensorMessageQuery(sensor, line.data()) == 0)
        return std::nullopt;
    std::string text(line.data());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::optional<std::uint32_t> query_value(SensorRecord *sensor, std::string_view command,
                                         int width) {
    std::array<char, 5> bytes{};
    if (width < 1 || width > 4 || !send_bytes(sensor, command) ||
        SensorMessageDataQuery(sensor, bytes.data(), width + 1) == 0)
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return value;
}

} // namespace meterdesk
