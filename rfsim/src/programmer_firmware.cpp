#include "programmer_firmware.h"

#include <chrono>
#include <cstdio>

namespace rfsim {

namespace {

std::string hex_line(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<uint8_t>(c));
        if (!out.empty()) out += ' ';
        out += hex;
    }
    return out;
}

uint8_t at(const std::string &s, size_t i) {
    return static_cast<uint8_t>(s[i]);
}

} // namespace

void ProgrammerFirmware::receive(const uint8_t *data, size_t count, Clock::time_point now) {
    pending_.append(reinterpret_cast<const char *>(data), count);
    frame(now);
}

void ProgrammerFirmware::frame(Clock::time_point now) {
    for (;;) {
        // A pulled cable takes nothing more.
        if (pending_.empty() || unplug_due()) return;
        size_t length = 0;
        const uint8_t first = at(pending_, 0);
        if (first == 'I') {
            length = 4; // 'I' 'D' '?' 0x82
        } else if (first == 0x08) {
            length = 4; // skip: 08 87 00 82
        } else if (first == 0x07) {
            length = 6; // data word: 07 85 b b 00 82
        } else if (first == 0x00) {
            if (pending_.size() < 2) return;
            length = at(pending_, 1) == 0x83 ? 4 : 20; // end, or data with header 00 80/81
        } else {
            packets_.add("?? " + hex_line(pending_.substr(0, 1)));
            pending_.erase(0, 1);
            continue;
        }
        if (pending_.size() < length) return;
        const std::string packet = pending_.substr(0, length);
        pending_.erase(0, length);
        if (packet == std::string("ID?\x82")) {
            if (!settings_.silent) {
                const auto latency = std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double, std::milli>(settings_.latency_ms));
                replies_.push(settings_.identity + "\r\n",
                              settings_.timing == Timing::fast ? now : now + latency);
            }
        } else {
            packets_.add(hex_line(packet));
        }
        if (fault_.count() == FaultKind::unplug) {
            fault_.spend();
            unplug_due_ = true;
        }
    }
}

} // namespace rfsim
