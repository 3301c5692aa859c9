#include "meterdesk/factory/date_stamp.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/settings/number_text.h"

#include <rfsense/rfsense.h>

#include <algorithm>

namespace meterdesk {

namespace {

const char *stamp_letters(StampKind kind) {
    switch (kind) {
    case StampKind::kEquation:
        return "EQ";
    case StampKind::kCalFactors:
        return "CF";
    case StampKind::kLinearity:
        return "LC";
    }
    return "CF";
}

bool send(SensorRecord *sensor, const std::string &command) {
    return SensorMessage(sensor, command.data(), static_cast<int32_t>(command.size())) != 0;
}

// The reply's text up to its line end, at most six characters.
std::string reply_digits(const char *reply) {
    std::string text(reply);
    const auto end = text.find_first_of("\r\n");
    return text.substr(0, std::min<std::size_t>(end, 6));
}

} // namespace

std::string date_code(const std::tm &date) {
    const int code = date.tm_mday * 10000 + (date.tm_mon + 1) * 100 + (date.tm_year + 1900 - 2000);
    std::string digits = printf_int(code);
    if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
    return digits;
}

StampOutcome stamp_date(const AppState &state, Ui &ui, SensorRecord *sensor, StampKind kind,
                        const std::tm &date) {
    if (state.firmware_number / 10 < 3) return StampOutcome::kNotSupported;
    const std::string digits = date_code(date);
    const std::string letters = std::string("DA") + stamp_letters(kind);
    const std::string write = letters + digits + "\n";
    // Written twice, as the sensor's store expects.
    if (!send(sensor, write) || !send(sensor, write)) return StampOutcome::kSensorGone;

    for (;;) {
        if (!send(sensor, letters + "?\n")) return StampOutcome::kSensorGone;
        char reply[128] = {}; // the library writes at most a 72-byte line, without a NUL
        if (SensorMessageQuery(sensor, reply) == 0) return StampOutcome::kSensorGone;
        const std::string received = reply_digits(reply);
        if (received == digits) return StampOutcome::kConfirmed;
        const std::string text =
            "Wrote " + digits + "\n Received " + received + "\n\nClick OK to retry.";
        if (ui.message("Writing EE Date Stamp Failed", text, MessageButtons::kOkCancel,
                       MessageIcon::kExclamation) != MessageAnswer::kOk)
            return StampOutcome::kNotConfirmed;
    }
}

} // namespace meterdesk
