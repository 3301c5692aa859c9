#include "link/trace.h"

#include "link/link_error.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

namespace rfsense::link {

namespace {

using Clock = std::chrono::steady_clock;

// Shared by a bus and the devices it opens: the sink and the time the trace began.
struct Tracer {
    TraceSink sink;
    Clock::time_point start = Clock::now();

    void line(const std::string &text) const {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%10.3f ms  ",
                      std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        sink(stamp + text);
    }

    // A failed operation, with the link's reason when it gave one.
    void failure(const std::string &what, Status status) const {
        const std::string &reason = last_link_error();
        line("! " + what + ": " + (reason.empty() ? status_text(status) : reason));
    }
};

class TracingDevice final : public Device {
  public:
    TracingDevice(std::unique_ptr<Device> device, std::shared_ptr<const Tracer> tracer,
                  uint32_t index)
        : device_(std::move(device)), tracer_(std::move(tracer)), index_(index) {}

    ~TracingDevice() override {
        device_.reset();
        tracer_->line("close " + std::to_string(index_));
    }

    Status info(DeviceInfo &out) override { return device_->info(out); }

    Status purge() override {
        const Status status = device_->purge();
        if (status == Status::ok)
            tracer_->line("purge");
        else
            tracer_->failure("purge", status);
        return status;
    }

    Status write(const void *data, uint32_t count, uint32_t &written) override {
        const Status status = device_->write(data, count, written);
        if (status == Status::ok)
            tracer_->line("> " + trace_bytes(data, written));
        else
            tracer_->failure("write " + trace_bytes(data, count), status);
        return status;
    }

    Status read(void *buffer, uint32_t count, uint32_t &got) override {
        const Status status = device_->read(buffer, count, got);
        if (status != Status::ok)
            tracer_->failure("read", status);
        else if (got > 0)
            tracer_->line("< " + trace_bytes(buffer, got));
        return status;
    }

    // Polls are not traced (the reader polls all the time); their failures are.
    Status queue_status(uint32_t &waiting) override {
        const Status status = device_->queue_status(waiting);
        if (status != Status::ok) tracer_->failure("queue status", status);
        return status;
    }

    Status wait_queue(std::chrono::milliseconds timeout, uint32_t &waiting) override {
        const Status status = device_->wait_queue(timeout, waiting);
        if (status != Status::ok) tracer_->failure("queue status", status);
        return status;
    }

    Status ee_read(UsbEepromRecord &out) override {
        const Status status = device_->ee_read(out);
        if (status == Status::ok)
            tracer_->line("EEPROM read: serial " + out.serial_number + ", \"" + out.description +
                          "\"");
        else
            tracer_->failure("EEPROM read", status);
        return status;
    }

    Status ee_program(const UsbEepromRecord &record) override {
        const Status status = device_->ee_program(record);
        if (status == Status::ok)
            tracer_->line("EEPROM programmed: serial " + record.serial_number + ", \"" +
                          record.description + "\"");
        else
            tracer_->failure("EEPROM program", status);
        return status;
    }

    EepromSupport eeprom_support() override { return device_->eeprom_support(); }
    std::string last_error() const override { return device_->last_error(); }

  private:
    std::unique_ptr<Device> device_;
    std::shared_ptr<const Tracer> tracer_;
    uint32_t index_;
};

class TracingBus final : public Bus {
  public:
    TracingBus(std::unique_ptr<Bus> bus, TraceSink sink)
        : bus_(std::move(bus)), tracer_(std::make_shared<Tracer>(Tracer{std::move(sink)})) {}

    Status list_devices(uint32_t &count) override {
        const Status status = bus_->list_devices(count);
        if (status == Status::ok)
            tracer_->line("list: " + std::to_string(count) + " device(s)");
        else
            tracer_->failure("list", status);
        return status;
    }

    Status open(uint32_t index, std::unique_ptr<Device> &out) override {
        std::unique_ptr<Device> device;
        const Status status = bus_->open(index, device);
        if (status != Status::ok) {
            tracer_->failure("open " + std::to_string(index), status);
            out.reset();
            return status;
        }
        DeviceInfo info;
        if (device->info(info) == Status::ok)
            tracer_->line("open " + std::to_string(index) + ": serial " + info.serial + ", \"" +
                          info.description + "\"");
        else
            tracer_->line("open " + std::to_string(index));
        out = std::make_unique<TracingDevice>(std::move(device), tracer_, index);
        return status;
    }

  private:
    std::unique_ptr<Bus> bus_;
    std::shared_ptr<const Tracer> tracer_;
};

} // namespace

bool trace_requested(const char *value) {
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

std::unique_ptr<Bus> make_tracing_bus(std::unique_ptr<Bus> bus, TraceSink sink) {
    return std::make_unique<TracingBus>(std::move(bus), std::move(sink));
}

TraceSink stderr_trace_sink() {
    return [](const std::string &line) {
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        std::fprintf(stderr, "rfsense trace %s\n", line.c_str());
    };
}

std::string trace_bytes(const void *data, std::size_t count) {
    const auto *bytes = static_cast<const unsigned char *>(data);
    bool text = true;
    for (std::size_t i = 0; i < count; ++i)
        text = text && ((bytes[i] >= 0x20 && bytes[i] < 0x7F) || bytes[i] == '\n' ||
                        bytes[i] == '\r' || bytes[i] == '\t');
    std::string out;
    char piece[8];
    if (!text) { // binary: hex bytes
        for (std::size_t i = 0; i < count; ++i) {
            std::snprintf(piece, sizeof piece, i == 0 ? "%02X" : " %02X", bytes[i]);
            out += piece;
        }
        return out;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char c = bytes[i];
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace rfsense::link
