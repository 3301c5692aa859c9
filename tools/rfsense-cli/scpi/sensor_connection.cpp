#include "scpi/sensor_connection.h"

#include <vector>

namespace rfsense::scpi {
namespace {

constexpr auto kRetryPause = std::chrono::milliseconds(500);

std::string serial_of(SensorRecord *record) {
    char serial[20] = {};
    char model[28] = {};
    if (SensorDetails(record, serial, model) != SENSOR_DONE) return {};
    return serial;
}

bool usable(int32_t init_result) {
    return init_result != SENSOR_NOT_CONNECTED && init_result != SENSOR_NOT_RESPONDING;
}

} // namespace

SensorConnection::SensorConnection(std::optional<std::string> serial)
    : serial_(std::move(serial)) {}

SensorConnection::~SensorConnection() {
    close();
}

SensorRecord *SensorConnection::get() {
    if (record_ != nullptr) return record_;
    const auto now = std::chrono::steady_clock::now();
    if (last_try_ != std::chrono::steady_clock::time_point{} && now - last_try_ < kRetryPause)
        return nullptr;
    last_try_ = now;
    record_ = open_matching();
    if (record_ != nullptr) new_session_ = true;
    return record_;
}

// Each session takes the next free sensor; without a serial the first one is used, with one
// the sessions of the other sensors are closed again.
SensorRecord *SensorConnection::open_matching() {
    std::vector<SensorRecord *> others;
    SensorRecord *found = nullptr;
    for (int attempt = 0; attempt < 16 && found == nullptr; ++attempt) {
        SensorRecord *record = nullptr;
        SensorOpen(&record);
        if (record == nullptr) break;
        if (!usable(SensorInit(record))) {
            SensorClose(&record);
            break;
        }
        if (!serial_ || serial_of(record) == *serial_)
            found = record;
        else
            others.push_back(record);
    }
    for (SensorRecord *other : others) SensorClose(&other);
    return found;
}

void SensorConnection::lost() {
    close();
    last_try_ = std::chrono::steady_clock::now();
}

bool SensorConnection::take_new_session() {
    const bool fresh = new_session_;
    new_session_ = false;
    return fresh;
}

void SensorConnection::close() {
    if (record_ != nullptr) SensorClose(&record_);
    record_ = nullptr;
}

} // namespace rfsense::scpi
