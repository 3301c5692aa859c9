// The process-wide simulated bus and its C interface. One mutex guards every device; the
// condition variable wakes rfsim_bus_wait when bytes are queued, a device is unplugged or the
// bus is replaced, and its timed waits end exactly when the next reply becomes visible.
#include "rfsim/rfsim.h"
#include "rfsim/rfsim_bus.h"

#include "config_text.h"
#include "sim_device.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace rfsim {
namespace {

constexpr size_t max_handles = 256;

struct HandleEntry {
    SimDevice *device;
    uint64_t generation;
};

struct Bus {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::unique_ptr<SimDevice>> devices;
    std::map<int, HandleEntry> handles;
    int next_handle = 1;
    bool configured = false;
    // The text rfsim_configure_once built the bus from, while nothing has replaced it since.
    std::optional<std::string> once_text;
};

Bus &bus() {
    static Bus instance;
    return instance;
}

thread_local std::string last_error;

int fail(std::string message) {
    last_error = std::move(message);
    return -1;
}

// Builds the devices; replaces the bus only when the whole text is valid.
int configure_locked(Bus &b, const char *text) {
    std::string error;
    auto parsed = parse_config(text != nullptr ? text : "", error);
    if (!parsed) return fail(error);
    const auto now = Clock::now();
    std::vector<std::unique_ptr<SimDevice>> devices;
    for (size_t i = 0; i < parsed->size(); ++i)
        devices.push_back(
            std::make_unique<SimDevice>(std::move((*parsed)[i]), static_cast<int>(i), now));
    b.devices = std::move(devices);
    b.handles.clear(); // every handle of the old bus now fails
    b.configured = true;
    b.changed.notify_all();
    return static_cast<int>(b.devices.size());
}

// The embedded default: one healthy sensor until someone configures the bus.
void ensure_configured(Bus &b) {
    if (!b.configured) configure_locked(b, "");
}

SimDevice *plugged_at(Bus &b, int index) {
    if (index < 0) return nullptr;
    for (auto &d : b.devices) {
        if (!d->plugged()) continue;
        if (index-- == 0) return d.get();
    }
    return nullptr;
}

// The device behind a handle, or null when the handle is unknown or its device has gone.
SimDevice *device_of(Bus &b, int handle) {
    auto it = b.handles.find(handle);
    if (it == b.handles.end()) return nullptr;
    SimDevice *d = it->second.device;
    if (!d->plugged() || d->plug_generation() != it->second.generation) return nullptr;
    return d;
}

int open_locked(Bus &b, SimDevice &d, int number) {
    if (d.opened) return fail("device " + std::to_string(number) + " is already open");
    if (b.handles.size() >= max_handles) return fail("too many open handles");
    d.opened = true;
    const int handle = b.next_handle++;
    b.handles[handle] = HandleEntry{&d, d.plug_generation()};
    return handle;
}

void copy_out(const std::string &value, char *out, int size) {
    if (out == nullptr || size <= 0) return;
    const size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
}

} // namespace
} // namespace rfsim

using namespace rfsim;

extern "C" {

int rfsim_configure(const char *text) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    b.once_text.reset();
    return configure_locked(b, text);
}

int rfsim_configure_once(const char *text) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    const std::string wanted = text != nullptr ? text : "";
    if (b.once_text == wanted) return static_cast<int>(b.devices.size());
    const int result = configure_locked(b, wanted.c_str());
    if (result >= 0) b.once_text = wanted;
    return result;
}

int rfsim_set(int device, const char *key, const char *value) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    ensure_configured(b);
    if (device < 0 || static_cast<size_t>(device) >= b.devices.size())
        return fail("no device " + std::to_string(device) + " on the bus");
    if (key == nullptr || value == nullptr) return fail("key and value are required");
    std::string error;
    if (!b.devices[static_cast<size_t>(device)]->set(key, value, Clock::now(), error))
        return fail(error);
    b.changed.notify_all();
    return 0;
}

int rfsim_get(int device, const char *key, char *out, int size) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    ensure_configured(b);
    if (device < 0 || static_cast<size_t>(device) >= b.devices.size())
        return fail("no device " + std::to_string(device) + " on the bus");
    if (key == nullptr) return fail("a key is required");
    auto value = b.devices[static_cast<size_t>(device)]->get(key);
    if (!value) return fail("unknown key '" + std::string(key) + "'");
    copy_out(*value, out, size);
    return static_cast<int>(value->size());
}

const char *rfsim_error(void) {
    return last_error.c_str();
}

int rfsim_bus_count(void) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    ensure_configured(b);
    return static_cast<int>(std::count_if(b.devices.begin(), b.devices.end(),
                                          [](const auto &d) { return d->plugged(); }));
}

int rfsim_bus_info(int index, char *serial, int serial_size, char *description,
                   int description_size) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    ensure_configured(b);
    SimDevice *d = plugged_at(b, index);
    if (d == nullptr) return fail("no plugged device " + std::to_string(index));
    copy_out(d->eeprom().serial, serial, serial_size);
    copy_out(d->eeprom().description, description, description_size);
    return 0;
}

int rfsim_bus_handle_info(int handle, char *serial, int serial_size, char *description,
                          int description_size) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    copy_out(d->eeprom().serial, serial, serial_size);
    copy_out(d->eeprom().description, description, description_size);
    return 0;
}

int rfsim_bus_open(int index) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    ensure_configured(b);
    SimDevice *d = plugged_at(b, index);
    if (d == nullptr) return fail("no plugged device " + std::to_string(index));
    return open_locked(b, *d, index);
}

int rfsim_bus_open_position(int device) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    ensure_configured(b);
    if (device < 0 || static_cast<size_t>(device) >= b.devices.size())
        return fail("no device " + std::to_string(device) + " on the bus");
    SimDevice &d = *b.devices[static_cast<size_t>(device)];
    if (!d.plugged()) return fail("device " + std::to_string(device) + " is unplugged");
    return open_locked(b, d, device);
}

void rfsim_bus_close(int handle) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    auto it = b.handles.find(handle);
    if (it == b.handles.end()) return;
    if (SimDevice *d = device_of(b, handle)) d->opened = false;
    b.handles.erase(it);
    b.changed.notify_all();
}

int rfsim_bus_purge(int handle) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    d->purge();
    return 0;
}

int rfsim_bus_write(int handle, const void *data, int count) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    if (count < 0 || (count > 0 && data == nullptr)) return fail("bad write buffer");
    d->write(static_cast<const uint8_t *>(data), static_cast<size_t>(count), Clock::now());
    b.changed.notify_all();
    return count;
}

int rfsim_bus_read(int handle, void *buffer, int count) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    if (count < 0 || (count > 0 && buffer == nullptr)) return fail("bad read buffer");
    return static_cast<int>(
        d->replies.take(static_cast<uint8_t *>(buffer), static_cast<size_t>(count), Clock::now()));
}

int rfsim_bus_wait(int handle, int timeout_ms) {
    Bus &b = bus();
    std::unique_lock lock(b.mutex);
    auto now = Clock::now();
    const auto deadline = now + std::chrono::milliseconds(std::max(timeout_ms, 0));
    for (;;) {
        SimDevice *d = device_of(b, handle); // looked up afresh: the bus may have changed
        if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
        const size_t ready = d->replies.visible(now);
        if (ready > 0) return static_cast<int>(ready);
        if (now >= deadline) return 0;
        auto wake = deadline;
        if (auto next = d->replies.next_arrival(now)) wake = std::min(wake, *next);
        b.changed.wait_until(lock, wake);
        now = Clock::now();
    }
}

int rfsim_bus_ee_read(int handle, rfsim_eeprom *out) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    if (out == nullptr) return fail("no EEPROM record to fill");
    const int result = d->read_eeprom(*out);
    if (result == RFSIM_EE_ABSENT) fail("the bridge has no EEPROM");
    if (result == RFSIM_EE_BLANK) fail("the bridge's EEPROM is blank or its checksum is wrong");
    return result;
}

int rfsim_bus_ee_program(int handle, const rfsim_eeprom *in) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    if (in == nullptr) return fail("no EEPROM record to program");
    const int result = d->program_eeprom_as_chip(*in);
    if (result == RFSIM_EE_ABSENT) fail("the bridge has no EEPROM");
    if (result == RFSIM_EE_WRITE_FAILED) fail("the bridge's EEPROM did not take the write");
    b.changed.notify_all();
    return result;
}

int rfsim_bus_handle_get(int handle, const char *key, char *out, int size) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    if (key == nullptr) return fail("no key");
    auto value = d->get(key);
    if (!value) return fail(std::string("unknown key '") + key + "'");
    copy_out(*value, out, size);
    return static_cast<int>(value->size());
}

int rfsim_bus_ee_image(int handle, unsigned char *out, int size) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    if (size < 0 || (size > 0 && out == nullptr)) return fail("bad image buffer");
    const EepromImage &image = d->eeprom_image();
    if (size > 0) std::memcpy(out, image.data(), std::min(image.size(), static_cast<size_t>(size)));
    return static_cast<int>(image.size());
}

int rfsim_bus_ee_write_word(int handle, int word, unsigned value) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    if (word < 0 || static_cast<size_t>(word) >= bridge_eeprom_bytes / 2 || value > 0xFFFF)
        return fail("no EEPROM word " + std::to_string(word) + " to hold " + std::to_string(value));
    d->write_eeprom_word(static_cast<size_t>(word), static_cast<uint16_t>(value));
    return 0;
}

int rfsim_bus_ee_erase(int handle) {
    Bus &b = bus();
    std::lock_guard lock(b.mutex);
    SimDevice *d = device_of(b, handle);
    if (d == nullptr) return fail("device of handle " + std::to_string(handle) + " is gone");
    d->erase_eeprom();
    return 0;
}

} // extern "C"
