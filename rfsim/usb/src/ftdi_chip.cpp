#include "ftdi_chip.h"

#include "rfsim/rfsim.h"
#include "rfsim/rfsim_bus.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace rfsim::usb {

namespace {

using std::chrono::milliseconds;

// The FTDI vendor requests.
enum Request : uint8_t {
    reset = 0x00,
    modem_control = 0x01,
    flow_control = 0x02,
    baud_rate = 0x03,
    data_characteristics = 0x04,
    modem_status = 0x05,
    event_char = 0x06,
    error_char = 0x07,
    set_latency = 0x09,
    get_latency = 0x0A,
    bitmode = 0x0B,
    read_pins = 0x0C,
    eeprom_read = 0x90,
    eeprom_write = 0x91,
    eeprom_erase = 0x92,
};

// wValue of the reset request.
constexpr uint16_t reset_port = 0;
constexpr uint16_t purge_from_host = 1; // bytes on their way to the device: delivered already
constexpr uint16_t purge_to_host = 2;   // bytes waiting for the host

// Modem status (CTS, DSR clear; bit 0 always set) and line status (transmitter empty).
constexpr unsigned char modem_status_byte = 0x01;
constexpr unsigned char line_status_byte = 0x60;
constexpr int data_per_packet = Chip::packet_size - 2;
constexpr std::size_t eeprom_words = 64;

uint16_t word_at(const std::vector<uint8_t> &image, std::size_t at) {
    return static_cast<uint16_t>(image[at] | (image[at + 1] << 8));
}

bool image_string(const std::vector<uint8_t> &image, std::size_t entry, std::string &out) {
    const std::size_t at = image[0x0E + 2 * entry] & 0x7Fu;
    const std::size_t length = image[0x0F + 2 * entry];
    out.clear();
    if (length == 0) return true;
    if (length < 2 || at + length > image.size() - 2 || image[at + 1] != 0x03) return false;
    for (std::size_t i = at + 2; i + 1 < at + length; i += 2) {
        const uint16_t unit = word_at(image, i);
        out += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return true;
}

std::string request_name(uint8_t request) {
    switch (request) {
    case reset:
        return "reset";
    case modem_control:
        return "modem_control";
    case flow_control:
        return "flow_control";
    case baud_rate:
        return "baud_rate";
    case data_characteristics:
        return "data_characteristics";
    case modem_status:
        return "modem_status";
    case event_char:
        return "event_char";
    case error_char:
        return "error_char";
    case set_latency:
        return "set_latency";
    case get_latency:
        return "get_latency";
    case bitmode:
        return "bitmode";
    case read_pins:
        return "read_pins";
    case eeprom_read:
        return "eeprom_read";
    case eeprom_write:
        return "eeprom_write";
    case eeprom_erase:
        return "eeprom_erase";
    }
    char name[24];
    std::snprintf(name, sizeof name, "request_0x%02X", request);
    return name;
}

constexpr std::size_t request_log_limit = 8192;

} // namespace

Descriptors descriptors_from_image(const std::vector<uint8_t> &image) {
    Descriptors d;
    if (image.size() != eeprom_words * 2) return d;
    uint16_t checksum = 0xAAAA;
    for (std::size_t at = 0; at + 2 < image.size(); at += 2) {
        checksum = static_cast<uint16_t>(checksum ^ word_at(image, at));
        checksum = static_cast<uint16_t>((checksum << 1) | (checksum >> 15));
    }
    if (checksum != word_at(image, image.size() - 2)) return d; // the chip's defaults
    Descriptors loaded;
    if (!image_string(image, 0, loaded.manufacturer) || !image_string(image, 1, loaded.product) ||
        !image_string(image, 2, loaded.serial))
        return d;
    loaded.vendor_id = word_at(image, 0x02);
    loaded.product_id = word_at(image, 0x04);
    loaded.attributes = image[0x08];
    loaded.max_power = image[0x09];
    loaded.serial_in_use = (image[0x0A] & 0x08) != 0;
    return loaded;
}

Chip::Chip(int position_, uint64_t plug_id_, int address_, Descriptors descriptors_,
           std::mutex &states_mutex, PositionState &state)
    : position(position_), plug_id(plug_id_), address(address_),
      descriptors(std::move(descriptors_)), states_mutex_(states_mutex), state_(state) {}

Chip::~Chip() {
    if (sim_handle_ > 0) rfsim_bus_close(sim_handle_);
}

bool Chip::present() const {
    char text[32];
    if (rfsim_get(position, "plugged", text, sizeof text) < 0 || std::strcmp(text, "1") != 0)
        return false;
    if (rfsim_get(position, "plug_id", text, sizeof text) < 0) return false;
    return std::strtoull(text, nullptr, 10) == plug_id;
}

int Chip::gone_code_locked() const {
    return present() ? 0 : LIBUSB_ERROR_NO_DEVICE;
}

int Chip::sim_handle_locked() const {
    return sim_handle_;
}

void Chip::record(const std::string &line) {
    std::lock_guard lock(states_mutex_);
    state_.requests.push_back(line);
    while (state_.requests.size() > request_log_limit) state_.requests.pop_front();
}

int Chip::open_host(const void * /*host*/) {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    {
        std::lock_guard states(states_mutex_);
        if (state_.access_denied) return LIBUSB_ERROR_ACCESS;
    }
    if (open_hosts_ == 0) {
        const int handle = rfsim_bus_open_position(position);
        if (handle < 0) return present() ? LIBUSB_ERROR_BUSY : LIBUSB_ERROR_NO_DEVICE;
        if (!present()) { // unplugged and plugged in again in between: another chip now
            rfsim_bus_close(handle);
            return LIBUSB_ERROR_NO_DEVICE;
        }
        sim_handle_ = handle;
    }
    ++open_hosts_;
    return 0;
}

void Chip::close_host(const void *host) {
    std::lock_guard lock(mutex_);
    // Closing drops a claim without handing the interface back to the kernel driver.
    if (claimed_by_ == host) claimed_by_ = nullptr;
    if (open_hosts_ > 0 && --open_hosts_ == 0 && sim_handle_ > 0) {
        rfsim_bus_close(sim_handle_);
        sim_handle_ = -1;
    }
}

int Chip::claim(const void *host, bool auto_detach) {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    {
        std::lock_guard states(states_mutex_);
        if (state_.busy) return LIBUSB_ERROR_BUSY;
    }
    if (claimed_by_ == host) return 0;
    if (claimed_by_ != nullptr) return LIBUSB_ERROR_BUSY;
    if (kernel_driver_) {
        if (!auto_detach) return LIBUSB_ERROR_BUSY;
        kernel_driver_ = false;
        driver_detached_by_claim_ = true;
    }
    claimed_by_ = host;
    return 0;
}

int Chip::release(const void *host, bool auto_detach) {
    std::lock_guard lock(mutex_);
    if (claimed_by_ != host) return LIBUSB_ERROR_NOT_FOUND;
    claimed_by_ = nullptr;
    if (const int gone = gone_code_locked()) return gone;
    if (auto_detach && driver_detached_by_claim_) {
        kernel_driver_ = true;
        driver_detached_by_claim_ = false;
    }
    return 0;
}

int Chip::kernel_driver_active() {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    return kernel_driver_ ? 1 : 0;
}

int Chip::detach_kernel_driver() {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    if (!kernel_driver_) return LIBUSB_ERROR_NOT_FOUND;
    kernel_driver_ = false;
    driver_detached_by_claim_ = false;
    return 0;
}

int Chip::attach_kernel_driver() {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    if (kernel_driver_ || claimed_by_ != nullptr) return LIBUSB_ERROR_BUSY;
    kernel_driver_ = true;
    return 0;
}

int Chip::set_configuration(const void *host, int value) {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    if (value != 1 && value != -1) return LIBUSB_ERROR_NOT_FOUND;
    // The kernel refuses while a driver or another program holds the interface.
    if (kernel_driver_ || (claimed_by_ != nullptr && claimed_by_ != host)) return LIBUSB_ERROR_BUSY;
    return 0;
}

int Chip::configuration() {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    return 1;
}

// Bytes that are ready for the host are thrown away; replies still on their way from the
// device arrive later, as they would from the serial line.
int Chip::drain_to_host() {
    std::array<unsigned char, 256> scrap{};
    for (;;) {
        const int got = rfsim_bus_read(sim_handle_, scrap.data(), int(scrap.size()));
        if (got < 0) return LIBUSB_ERROR_NO_DEVICE;
        if (got == 0) return 0;
    }
}

int Chip::control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                  unsigned char *data, uint16_t length) {
    std::lock_guard lock(mutex_);
    if (const int gone = gone_code_locked()) return gone;
    if ((request_type & LIBUSB_REQUEST_TYPE_VENDOR) != LIBUSB_REQUEST_TYPE_VENDOR ||
        (request_type & LIBUSB_REQUEST_TYPE_CLASS) != 0)
        return LIBUSB_ERROR_PIPE; // standard and class requests are answered by the stack
    const bool to_host = (request_type & LIBUSB_ENDPOINT_IN) != 0;
    record(request_name(request) + " value=" + std::to_string(value) +
           " index=" + std::to_string(index));
    if (length > 0 && data == nullptr) return LIBUSB_ERROR_INVALID_PARAM;

    int result = 0;
    switch (request) {
    case reset:
        if (value == reset_port || value == purge_to_host)
            result = drain_to_host();
        else if (value != purge_from_host)
            return LIBUSB_ERROR_PIPE;
        break;
    case modem_control:
        modem_control_ = value;
        break;
    case flow_control:
        flow_control_ = value;
        break;
    case baud_rate:
        baud_value_ = value;
        baud_index_ = index;
        break;
    case data_characteristics:
        data_characteristics_ = value;
        break;
    case event_char:
    case error_char:
        break;
    case set_latency:
        // The chip counts 1..255 ms.
        latency_ms_ = std::max(1, value & 0xFF);
        break;
    case bitmode:
        bitmode_ = value;
        break;
    case modem_status:
        if (!to_host || length < 2) return LIBUSB_ERROR_PIPE;
        data[0] = modem_status_byte;
        data[1] = line_status_byte;
        result = 2;
        break;
    case get_latency:
        if (!to_host || length < 1) return LIBUSB_ERROR_PIPE;
        data[0] = static_cast<unsigned char>(latency_ms_);
        result = 1;
        break;
    case read_pins:
        if (!to_host || length < 1) return LIBUSB_ERROR_PIPE;
        data[0] = 0xFF;
        result = 1;
        break;
    case eeprom_read: {
        if (!to_host || length < 2) return LIBUSB_ERROR_PIPE;
        std::array<unsigned char, eeprom_words * 2> image{};
        if (rfsim_bus_ee_image(sim_handle_, image.data(), int(image.size())) < 0)
            return LIBUSB_ERROR_NO_DEVICE;
        // The 64-word memory answers every address modulo its size.
        const std::size_t word = index % eeprom_words;
        data[0] = image[2 * word];
        data[1] = image[2 * word + 1];
        result = 2;
        break;
    }
    case eeprom_write:
        if (rfsim_bus_ee_write_word(sim_handle_, int(index % eeprom_words), value) < 0)
            return LIBUSB_ERROR_NO_DEVICE;
        break;
    case eeprom_erase:
        if (rfsim_bus_ee_erase(sim_handle_) < 0) return LIBUSB_ERROR_NO_DEVICE;
        break;
    default:
        return LIBUSB_ERROR_PIPE;
    }
    return result;
}

int Chip::bulk(const void *host, unsigned char endpoint, unsigned char *data, int length,
               int *transferred, unsigned timeout_ms) {
    int scratch = 0;
    if (transferred == nullptr) transferred = &scratch;
    *transferred = 0;
    if (length < 0 || (length > 0 && data == nullptr)) return LIBUSB_ERROR_INVALID_PARAM;
    int handle = -1;
    {
        std::lock_guard lock(mutex_);
        if (const int gone = gone_code_locked()) return gone;
        if (claimed_by_ != host && (claimed_by_ != nullptr || kernel_driver_))
            return LIBUSB_ERROR_BUSY;
        handle = sim_handle_locked();
    }
    if (endpoint == in_endpoint) return bulk_in(data, length, transferred, timeout_ms);
    if (endpoint != out_endpoint) return LIBUSB_ERROR_NOT_FOUND;
    const int sent = rfsim_bus_write(handle, data, length);
    if (sent < 0) return LIBUSB_ERROR_IO; // gone while the transfer was under way
    *transferred = sent;
    return 0;
}

// Packets of two status bytes and up to 62 data bytes. A full packet goes as soon as the data
// is there; anything less waits until the latency timer, restarted by every packet, expires.
// A short packet ends the transfer, as does a buffer that has no room for another packet.
int Chip::bulk_in(unsigned char *data, int length, int *transferred, unsigned timeout_ms) {
    std::lock_guard pipe(in_pipe_);
    int handle = -1;
    {
        std::lock_guard lock(mutex_);
        handle = sim_handle_;
    }
    if (length < packet_size) return LIBUSB_ERROR_OVERFLOW; // a full packet would not fit
    const auto start = Clock::now();
    const auto give_up =
        timeout_ms == 0 ? Clock::time_point::max() : start + milliseconds(timeout_ms);
    int filled = 0;
    for (;;) {
        Clock::time_point due;
        {
            std::lock_guard lock(mutex_);
            due = last_packet_ + milliseconds(latency_ms_);
        }
        int ready = 0;
        for (;;) {
            ready = rfsim_bus_wait(handle, 0);
            if (ready < 0) {
                *transferred = filled;
                return LIBUSB_ERROR_IO; // unplugged while the transfer was under way
            }
            const auto now = Clock::now();
            if (ready >= data_per_packet || now >= due) break;
            if (now >= give_up) {
                *transferred = filled;
                return LIBUSB_ERROR_TIMEOUT;
            }
            const auto until = std::min(due, give_up);
            if (ready == 0) {
                const auto wait = std::chrono::ceil<milliseconds>(until - now);
                if (rfsim_bus_wait(handle, int(wait.count())) < 0) continue; // noticed above
            } else {
                std::this_thread::sleep_until(until);
            }
        }
        data[filled] = modem_status_byte;
        data[filled + 1] = line_status_byte;
        const int got =
            ready > 0 ? rfsim_bus_read(handle, data + filled + 2, std::min(ready, data_per_packet))
                      : 0;
        if (got < 0) {
            *transferred = filled;
            return LIBUSB_ERROR_IO;
        }
        filled += 2 + got;
        {
            std::lock_guard lock(mutex_);
            last_packet_ = Clock::now();
        }
        if (got < data_per_packet || length - filled < packet_size) break;
    }
    *transferred = filled;
    return 0;
}

std::string Chip::get(const std::string &key) {
    std::lock_guard lock(mutex_);
    if (key == "kernel_driver") return kernel_driver_ ? "attached" : "detached";
    if (key == "claimed") return claimed_by_ != nullptr ? "1" : "0";
    if (key == "open_handles") return std::to_string(open_hosts_);
    if (key == "latency_ms") return std::to_string(latency_ms_);
    if (key == "baud") {
        char text[32];
        std::snprintf(text, sizeof text, "0x%04X 0x%04X", baud_value_, baud_index_);
        return text;
    }
    if (key == "data_characteristics") return std::to_string(data_characteristics_);
    if (key == "flow_control") return std::to_string(flow_control_);
    if (key == "modem_control") return std::to_string(modem_control_);
    if (key == "bitmode") return std::to_string(bitmode_);
    return {};
}

} // namespace rfsim::usb
