#include "scpi/scpi_status.h"

namespace rfsense::scpi {

std::string_view error_text(int code) {
    switch (code) {
    case 0:
        return "No error";
    case -100:
        return "Command error";
    case -102:
        return "Syntax error";
    case -108:
        return "Parameter not allowed";
    case -109:
        return "Missing parameter";
    case -112:
        return "Program mnemonic too long";
    case -113:
        return "Undefined header";
    case -150:
        return "String data error";
    case -220:
        return "Parameter error";
    case -222:
        return "Data out of range";
    case -224:
        return "Illegal parameter value";
    case -240:
        return "Hardware error";
    case -350:
        return "Queue overflow";
    case -363:
        return "Input buffer overrun";
    case -410:
        return "Query INTERRUPTED";
    case kZeroRefused:
        return "Zero refused";
    default:
        break;
    }
    return "Error";
}

void Status::push_error(int code, std::string_view detail) {
    if (code <= -100 && code > -200)
        events_ |= kCommandErrorBit;
    else if (code <= -200 && code > -300)
        events_ |= kExecutionError;
    else if (code <= -400 && code > -500)
        events_ |= kQueryError;
    else
        events_ |= kDeviceError;

    std::string entry = std::to_string(code) + ",\"" + std::string(error_text(code));
    if (!detail.empty()) entry += "; " + std::string(detail);
    entry += '"';
    if (errors_.size() >= kQueueCapacity) {
        errors_.back() =
            std::to_string(kQueueOverflow) + ",\"" + std::string(error_text(kQueueOverflow)) + '"';
        return;
    }
    errors_.push_back(std::move(entry));
}

std::string Status::pop_error() {
    if (errors_.empty()) return "0,\"No error\"";
    std::string entry = std::move(errors_.front());
    errors_.pop_front();
    return entry;
}

int Status::read_event_status() {
    const int value = events_;
    events_ = 0;
    return value;
}

int Status::status_byte() const {
    int value = 0;
    if (!errors_.empty()) value |= 1 << 2;
    if ((events_ & event_enable_) != 0) value |= 1 << 5;
    if (value != 0) value |= 1 << 6;
    return value;
}

void Status::clear() {
    errors_.clear();
    events_ = 0;
}

} // namespace rfsense::scpi
