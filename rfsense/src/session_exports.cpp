// Session and command-channel exports: open, close, data folder, connection state and the
// pass-through of the caller's own commands.
#include "acquire.h"
#include "channel.h"
#include "record.h"
#include "session.h"

#include "rfsense/rfsense.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace rfsense::session {

void end(SensorRecord &record) {
    channel::mark_lost(record);
    acquire::join_threads(record);
    std::lock_guard lock(record.channel);
    record.device.reset();
}

} // namespace rfsense::session

namespace {

bool is_connected(const SensorRecord *record) {
    return record != nullptr && record->connected.load() != 0;
}

} // namespace

extern "C" {

SensorRecord *SensorOpen(SensorRecord **record) {
    auto *created = new (std::nothrow) SensorRecord;
    if (created != nullptr) {
        created->connected.store(0);
        created->path_not_set = 1;
    }
    if (record != nullptr) *record = created;
    return created;
}

int32_t SensorPath(SensorRecord *record, const char *folder) {
    if (record == nullptr || folder == nullptr) return 0;
    // A folder that does not fit would be cut into a different folder: refuse it and keep the
    // one in use.
    const size_t length = strnlen(folder, sizeof record->data_path);
    if (length >= sizeof record->data_path) return 0;
    std::memcpy(record->data_path, folder, length + 1);
    record->path_not_set = 0;
    return static_cast<int32_t>(length + 1);
}

void SensorClose(SensorRecord **record) {
    if (record == nullptr || *record == nullptr) return;
    rfsense::session::end(**record);
    delete *record;
    *record = nullptr;
}

SensorRecord *SensorForceDisconnect(SensorRecord *record) {
    if (record != nullptr) rfsense::channel::mark_lost(*record);
    return record;
}

int32_t SensorUsbHandle(SensorRecord *record, FT_HANDLE *handle) {
    if (!is_connected(record)) return 0;
    if (handle != nullptr) *handle = static_cast<FT_HANDLE>(record->device.get());
    return 1;
}

unsigned char SensorConnected(SensorRecord *record, unsigned char *over_range) {
    if (record == nullptr) return 0;
    if (over_range != nullptr) *over_range = record->over_range.load();
    return record->connected.load() != 0 ? 1 : 0;
}

int32_t SensorComms(SensorRecord *record, unsigned char run) {
    if (!is_connected(record)) return 0;
    if (run == 0)
        rfsense::channel::pause_reader(*record);
    else
        rfsense::channel::resume_reader(*record);
    return 1;
}

int32_t SensorMessage(SensorRecord *record, const char *bytes, int32_t count) {
    if (!is_connected(record)) return 0;
    if (bytes != nullptr && count > 0) {
        std::lock_guard lock(record->channel);
        rfsense::channel::send_locked(*record, bytes, static_cast<uint32_t>(count));
    }
    return 1;
}

// The result is the connected flag after the read, so a sensor lost while it was answering is
// reported as such rather than as a complete reply.
int32_t SensorMessageQuery(SensorRecord *record, char *line) {
    if (!is_connected(record) || line == nullptr) return 0;
    line[0] = '\0';
    {
        std::lock_guard lock(record->channel);
        const int length = rfsense::channel::read_line_locked(*record);
        std::memcpy(line, record->reply, static_cast<size_t>(length)); // no NUL, as callers expect
    }
    return record->connected.load() != 0 ? 1 : 0;
}

int32_t SensorMessageDataQuery(SensorRecord *record, char *bytes, int32_t count) {
    if (!is_connected(record) || bytes == nullptr) return 0;
    if (count > 0) {
        // The whole reply goes into the caller's buffer, whatever its length: a reply longer
        // than the library's own buffer must not come back cut short as a success.
        std::lock_guard lock(record->channel);
        if (rfsense::channel::read_counted_into_locked(*record, bytes, count) != count) return 0;
    }
    return record->connected.load() != 0 ? 1 : 0;
}

} // extern "C"
