// Real FT232R-class bridges through libftdi1 (over libusb).
//
// Each opened device owns its libftdi context (and with it a libusb context), so devices never
// share state; a mutex per device makes every operation safe from several threads. Received bytes
// are fetched from the chip, one bulk transfer at a time with the chip's status bytes dropped,
// into a buffer of our own, which is what queue_status counts: with the latency timer at 1 ms the
// chip answers every poll within a millisecond, with data or with an empty status packet, so
// fetching paces itself and nothing here sleeps.
#include "link/ftdi_backend.h"

#include "link/backends.h"
#include "link/link_error.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace rfsense::link {

namespace {

// libftdi's FTDI_DEVICE_IN_REQTYPE, spelled without OR-ing two enumeration types.
constexpr std::uint8_t kDeviceInRequestType = static_cast<std::uint8_t>(
    static_cast<int>(LIBUSB_REQUEST_TYPE_VENDOR) | static_cast<int>(LIBUSB_RECIPIENT_DEVICE) |
    static_cast<int>(LIBUSB_ENDPOINT_IN));

constexpr unsigned char latency_ms = 1;
// A healthy chip answers a poll within its latency; this much silence means it has stopped.
constexpr int read_timeout_ms = 100;
constexpr int write_timeout_ms = 1000;
constexpr int fetch_chunk = 4096;
// Bytes nobody reads are left in the chip once this much is buffered, so memory stays bounded.
constexpr std::size_t receive_limit = 64 * 1024;
// The string fields of the bridge's EEPROM record, with their terminating NUL.
constexpr int manufacturer_size = 32;
constexpr int description_size = 64;
constexpr int serial_size = 16;
// The largest EEPROM of the family, in bytes.
constexpr std::size_t max_eeprom_size = 256;

std::string libusb_words(int code) {
    return std::string(" (USB: ") + libusb_strerror(code) + ", " + libusb_error_name(code) + ")";
}

LinkFailure failure(Status status, std::string message) {
    return {status, std::move(message)};
}

LinkFailure translate_libusb_open(int code) {
    switch (code) {
    case LIBUSB_ERROR_ACCESS:
        return failure(Status::device_not_opened,
                       "Permission denied opening the USB bridge. Install the udev rule "
                       "60-rfsense.rules (or join the plugdev group), then unplug and replug the "
                       "sensor.");
    case LIBUSB_ERROR_NO_DEVICE:
        return failure(Status::device_not_found,
                       "The USB bridge was unplugged while it was being opened.");
    case LIBUSB_ERROR_BUSY:
        return failure(Status::device_not_opened, "The USB bridge is in use by another program.");
    case LIBUSB_ERROR_NO_MEM:
        return failure(Status::insufficient_resources, "Not enough memory to open the USB bridge.");
    default:
        return failure(Status::device_not_opened,
                       "The USB bridge could not be opened" + libusb_words(code) + ".");
    }
}

LinkFailure translate_open_dev(int code) {
    switch (code) {
    case -3:
    case -5:
        return failure(Status::device_not_opened,
                       "The USB bridge is held by another program or by the ftdi_sio serial "
                       "driver, which could not be detached. Close programs that use the "
                       "sensor's serial port and try again.");
    case -4:
    case -8:
        return failure(Status::device_not_opened,
                       "Permission denied opening the USB bridge. Install the udev rule "
                       "60-rfsense.rules (or join the plugdev group), then unplug and replug the "
                       "sensor.");
    case -6:
        return failure(Status::io_error, "The USB bridge did not accept a reset.");
    default:
        return failure(Status::io_error, "The USB bridge's descriptors could not be read.");
    }
}

LinkFailure translate_read(int code) {
    switch (code) {
    case -666:
        return failure(Status::invalid_handle, "The USB bridge is not open.");
    case LIBUSB_ERROR_NO_DEVICE:
        return failure(Status::io_error, "The USB bridge has been unplugged.");
    case LIBUSB_ERROR_TIMEOUT:
        return failure(Status::io_error, "The USB bridge stopped answering (no reply within " +
                                             std::to_string(read_timeout_ms) + " ms).");
    case LIBUSB_ERROR_NO_MEM:
        return failure(Status::insufficient_resources,
                       "Not enough memory to read from the USB bridge.");
    default:
        return failure(Status::io_error,
                       "Reading from the USB bridge failed" + libusb_words(code) + ".");
    }
}

// D2XX device type numbers for libftdi's chip types.
uint32_t device_type(ftdi_chip_type type) {
    switch (type) {
    case TYPE_BM:
        return 0;
    case TYPE_AM:
        return 1;
    case TYPE_2232C:
        return 4;
    case TYPE_R:
        return 5;
    case TYPE_2232H:
        return 6;
    case TYPE_4232H:
        return 7;
    case TYPE_232H:
        return 8;
    case TYPE_230X:
        return 9;
    }
    return 3; // unknown
}

// The supported bridges in a device list, ordered by bus number, then address, so that an index
// names the same device in list_devices() and open() while nothing is plugged or unplugged.
std::vector<libusb_device *> bridges_in(libusb_device *const *list, ssize_t count) {
    std::vector<libusb_device *> bridges;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != 0) continue;
        if (is_supported_bridge(descriptor.idVendor, descriptor.idProduct))
            bridges.push_back(list[i]);
    }
    std::sort(bridges.begin(), bridges.end(), [](libusb_device *a, libusb_device *b) {
        return std::pair(libusb_get_bus_number(a), libusb_get_device_address(a)) <
               std::pair(libusb_get_bus_number(b), libusb_get_device_address(b));
    });
    return bridges;
}

Status fail(FtdiCall call, int code) {
    LinkFailure translated = translate_ftdi_error(call, code);
    set_link_error(std::move(translated.message));
    return translated.status;
}

Status fail(Status status, std::string message) {
    set_link_error(std::move(message));
    return status;
}

Status succeed() {
    clear_link_error();
    return Status::ok;
}

std::string string_descriptor(libusb_device_handle *handle, uint8_t index) {
    if (index == 0) return {};
    std::array<unsigned char, 256> text{};
    const int length =
        libusb_get_string_descriptor_ascii(handle, index, text.data(), int(text.size()));
    if (length <= 0) return {};
    return std::string(reinterpret_cast<const char *>(text.data()), std::size_t(length));
}

// Owns one libftdi context for the lifetime of a scope unless released.
struct ContextOwner {
    ftdi_context *context = ftdi_new();
    ~ContextOwner() {
        if (context != nullptr) ftdi_free(context);
    }
    ftdi_context *release() { return std::exchange(context, nullptr); }
};

struct DeviceListOwner {
    libusb_device **list = nullptr;
    ~DeviceListOwner() {
        if (list != nullptr) libusb_free_device_list(list, 1);
    }
};

// A libftdi context of its own for one EEPROM operation, on the device's open USB handle. libftdi
// keeps the EEPROM strings it decodes or is given in its context, and ftdi_eeprom_initdefaults
// drops them there without freeing them; a fresh context per operation, freed with its strings
// when the operation ends, leaks nothing however often the EEPROM is read and programmed.
class EepromContext {
  public:
    explicit EepromContext(const ftdi_context &device) : context_(ftdi_new()) {
        if (context_ == nullptr) return;
        context_->usb_dev = device.usb_dev; // borrowed, never closed here
        context_->type = device.type;
        context_->interface = device.interface;
        context_->index = device.index;
        context_->in_ep = device.in_ep;
        context_->out_ep = device.out_ep;
        context_->max_packet_size = device.max_packet_size;
        context_->usb_read_timeout = device.usb_read_timeout;
        context_->usb_write_timeout = device.usb_write_timeout;
    }
    ~EepromContext() {
        if (context_ == nullptr) return;
        context_->usb_dev = nullptr;
        ftdi_free(context_);
    }
    EepromContext(const EepromContext &) = delete;
    EepromContext &operator=(const EepromContext &) = delete;

    ftdi_context *get() const { return context_; }

  private:
    ftdi_context *const context_;
};

// A value of the EEPROM decoded in `context`.
int eeprom_value(ftdi_context *context, ftdi_eeprom_value key) {
    int result = 0;
    ftdi_get_eeprom_value(context, key, &result);
    return result;
}

uint8_t eeprom_flag(ftdi_context *context, ftdi_eeprom_value key) {
    return eeprom_value(context, key) != 0 ? 1 : 0;
}

// The checksum libftdi checks when it decodes the EEPROM just read into `context` (the FT-X
// chips, whose checksum leaves out a reserved area, are left to libftdi).
bool eeprom_checksum_matches(ftdi_context *context) {
    if (context->type == TYPE_230X) return true;
    const int size = eeprom_value(context, CHIP_SIZE);
    std::array<unsigned char, max_eeprom_size> raw{};
    if (size < 4 || size > int(raw.size()) ||
        ftdi_get_eeprom_buf(context, raw.data(), int(raw.size())) != 0)
        return false;
    unsigned checksum = 0xAAAA;
    for (int at = 0; at < size - 2; at += 2) {
        checksum ^= unsigned(raw[std::size_t(at)] | raw[std::size_t(at) + 1] << 8);
        checksum = ((checksum << 1) | (checksum >> 15)) & 0xFFFF;
    }
    return checksum == unsigned(raw[std::size_t(size) - 2] | raw[std::size_t(size) - 1] << 8);
}

class FtdiDevice final : public Device {
  public:
    FtdiDevice(ftdi_context *context, DeviceInfo info)
        : context_(context), info_(std::move(info)) {}

    ~FtdiDevice() override {
        // Releasing the interface hands the bridge back to the ftdi_sio driver.
        ftdi_usb_close(context_);
        ftdi_free(context_);
    }

    Status info(DeviceInfo &out) override {
        std::lock_guard lock(mutex_);
        out = info_;
        return succeed();
    }

    Status purge() override {
        std::lock_guard lock(mutex_);
        if (gone_) return gone();
        rx_.clear();
        const int code = ftdi_tcioflush(context_);
        if (code < 0) return failed(FtdiCall::purge, code);
        return succeed();
    }

    Status write(const void *data, uint32_t count, uint32_t &written) override {
        written = 0;
        if (count > uint32_t(INT_MAX) || (data == nullptr && count > 0))
            return fail(Status::invalid_parameter, "Too many bytes for one write.");
        std::lock_guard lock(mutex_);
        if (gone_) return gone();
        const int sent =
            ftdi_write_data(context_, static_cast<const unsigned char *>(data), int(count));
        if (sent < 0) return failed(FtdiCall::write, sent);
        written = uint32_t(sent);
        return succeed();
    }

    // Takes what has arrived; when the buffer holds fewer bytes than asked, polls the chip once,
    // which returns within its latency.
    Status read(void *buffer, uint32_t count, uint32_t &got) override {
        got = 0;
        if (buffer == nullptr && count > 0)
            return fail(Status::invalid_parameter, "No buffer to read into.");
        std::lock_guard lock(mutex_);
        if (rx_.size() < count) {
            const Status status = fetch();
            if (status != Status::ok && rx_.empty()) return status;
        }
        const std::size_t take = std::min<std::size_t>(count, rx_.size());
        std::copy_n(rx_.begin(), take, static_cast<unsigned char *>(buffer));
        rx_.erase(rx_.begin(), rx_.begin() + std::ptrdiff_t(take));
        got = uint32_t(take);
        return succeed();
    }

    Status queue_status(uint32_t &waiting) override {
        waiting = 0;
        std::lock_guard lock(mutex_);
        const Status status = fetch();
        if (status != Status::ok) return status;
        waiting = uint32_t(rx_.size());
        return succeed();
    }

    Status wait_queue(std::chrono::milliseconds timeout, uint32_t &waiting) override {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            // The lock is dropped between polls so writers and EEPROM calls are not held up.
            const Status status = queue_status(waiting);
            if (status != Status::ok || waiting > 0) return status;
            if (std::chrono::steady_clock::now() >= deadline) return Status::ok;
        }
    }

    Status ee_read(UsbEepromRecord &out) override {
        std::lock_guard lock(mutex_);
        if (gone_) return gone();
        const EepromContext eeprom(*context_);
        ftdi_context *const ee = eeprom.get();
        if (ee == nullptr) return no_memory_for_eeprom();
        int code = ftdi_read_eeprom(ee);
        if (code < 0) return failed(FtdiCall::eeprom_read, code);
        // libftdi reports a wrong checksum on stderr; the library never prints, so a blank or
        // corrupt EEPROM is recognised here first.
        if (!eeprom_checksum_matches(ee)) return fail(FtdiCall::eeprom_decode, -1);
        code = ftdi_eeprom_decode(ee, 0);
        if (code < 0) return fail(FtdiCall::eeprom_decode, code);

        // A string of length zero decodes to no string at all; ask only for the present ones.
        std::array<unsigned char, max_eeprom_size> raw{};
        ftdi_get_eeprom_buf(ee, raw.data(), int(raw.size()));
        std::array<char, manufacturer_size> manufacturer{};
        std::array<char, description_size> description{};
        std::array<char, serial_size> serial{};
        ftdi_eeprom_get_strings(ee, raw[0x0F] >= 2 ? manufacturer.data() : nullptr,
                                manufacturer_size, raw[0x11] >= 2 ? description.data() : nullptr,
                                description_size, raw[0x13] >= 2 ? serial.data() : nullptr,
                                serial_size);

        UsbEepromRecord record;
        record.manufacturer = manufacturer.data();
        record.description = description.data();
        record.serial_number = serial.data();
        // The chip keeps no separate manufacturer id: it is the serial number's prefix.
        record.manufacturer_id = record.serial_number.substr(0, 2);
        record.vendor_id = uint16_t(eeprom_value(ee, VENDOR_ID));
        record.product_id = uint16_t(eeprom_value(ee, PRODUCT_ID));
        record.max_power = uint16_t(eeprom_value(ee, MAX_POWER));
        record.pnp = eeprom_value(ee, IS_NOT_PNP) != 0 ? 0 : 1;
        record.self_powered = eeprom_flag(ee, SELF_POWERED);
        record.remote_wakeup = eeprom_flag(ee, REMOTE_WAKEUP);
        record.iso_in = eeprom_flag(ee, IN_IS_ISOCHRONOUS);
        record.iso_out = eeprom_flag(ee, OUT_IS_ISOCHRONOUS);
        record.pull_down_enable = eeprom_flag(ee, SUSPEND_PULL_DOWNS);
        record.ser_num_enable = eeprom_flag(ee, USE_SERIAL);
        record.usb_version_enable = eeprom_flag(ee, USE_USB_VERSION);
        record.usb_version = uint16_t(eeprom_value(ee, USB_VERSION));
        // Every chip after the first generation holds the extended fields; the dual and quad
        // channel chips are a later layout.
        record.rev4 = context_->type == TYPE_AM ? 0 : 1;
        record.rev5 = context_->type == TYPE_2232C || context_->type == TYPE_2232H ||
                              context_->type == TYPE_4232H
                          ? 1
                          : 0;
        out = std::move(record);
        return succeed();
    }

    Status ee_program(const UsbEepromRecord &record) override {
        if (record.manufacturer.size() >= std::size_t(manufacturer_size) ||
            record.description.size() >= std::size_t(description_size) ||
            record.serial_number.size() >= std::size_t(serial_size))
            return fail(Status::invalid_parameter,
                        "Manufacturer (31), description (63) or serial number (15 characters) is "
                        "too long for the bridge's EEPROM.");
        std::lock_guard lock(mutex_);
        if (gone_) return gone();

        // Pin and driver settings are not part of the record: keep the board's own.
        static constexpr std::array kept_keys{
            CBUS_FUNCTION_0,  CBUS_FUNCTION_1, CBUS_FUNCTION_2, CBUS_FUNCTION_3,
            CBUS_FUNCTION_4,  INVERT,          HIGH_CURRENT,    EXTERNAL_OSCILLATOR,
            CHANNEL_A_DRIVER, SUSPEND_DBUS7};
        std::vector<std::pair<ftdi_eeprom_value, int>> kept;
        {
            const EepromContext current(*context_);
            ftdi_context *const ee = current.get();
            if (ee == nullptr) return no_memory_for_eeprom();
            if (ftdi_read_eeprom(ee) == 0 && eeprom_checksum_matches(ee) &&
                ftdi_eeprom_decode(ee, 0) == 0)
                for (const ftdi_eeprom_value key : kept_keys)
                    kept.emplace_back(key, eeprom_value(ee, key));
        }

        const EepromContext eeprom(*context_);
        ftdi_context *const ee = eeprom.get();
        if (ee == nullptr) return no_memory_for_eeprom();
        std::string manufacturer = record.manufacturer;
        std::string description = record.description;
        std::string serial = record.serial_number;
        int code = ftdi_eeprom_initdefaults(ee, manufacturer.data(), description.data(),
                                            serial.empty() ? nullptr : serial.data());
        if (code < 0) return fail(FtdiCall::eeprom_build, code);
        for (const auto &[key, setting] : kept) ftdi_set_eeprom_value(ee, key, setting);
        ftdi_set_eeprom_value(ee, VENDOR_ID, record.vendor_id);
        ftdi_set_eeprom_value(ee, PRODUCT_ID, record.product_id);
        ftdi_set_eeprom_value(ee, MAX_POWER, record.max_power);
        ftdi_set_eeprom_value(ee, IS_NOT_PNP, record.pnp != 0 ? 0 : 1);
        ftdi_set_eeprom_value(ee, SELF_POWERED, record.self_powered != 0);
        ftdi_set_eeprom_value(ee, REMOTE_WAKEUP, record.remote_wakeup != 0);
        ftdi_set_eeprom_value(ee, IN_IS_ISOCHRONOUS, record.iso_in != 0);
        ftdi_set_eeprom_value(ee, OUT_IS_ISOCHRONOUS, record.iso_out != 0);
        ftdi_set_eeprom_value(ee, SUSPEND_PULL_DOWNS, record.pull_down_enable != 0);
        // The sensor is identified by its serial number, so a given serial is always presented,
        // whatever the old-chip enable flag says.
        ftdi_set_eeprom_value(ee, USE_SERIAL,
                              record.ser_num_enable != 0 || !record.serial_number.empty());
        ftdi_set_eeprom_value(ee, USE_USB_VERSION, record.usb_version_enable != 0);
        ftdi_set_eeprom_value(ee, USB_VERSION, record.usb_version);
        code = ftdi_eeprom_build(ee);
        if (code < 0) return fail(FtdiCall::eeprom_build, code);
        code = ftdi_write_eeprom(ee);
        // Writing resets the chip and changes its latency timer; put ours back either way.
        rx_.clear();
        ftdi_set_latency_timer(context_, latency_ms);
        if (code < 0) return failed(FtdiCall::eeprom_write, code);
        return succeed();
    }

    EepromSupport eeprom_support() override {
        // Only the FT232R's layout is written and verified here: 48 string characters between
        // the descriptors and the checksum, and no field for a manufacturer id.
        if (context_->type != TYPE_R) return {};
        return {true, 48, false};
    }

    std::string last_error() const override { return last_link_error(); }

  private:
    // Caller holds mutex_.
    Status fetch() {
        if (gone_) return gone();
        if (rx_.size() >= receive_limit) return Status::ok;
        // One bulk transfer, which the chip ends with its first short packet. (ftdi_read_data
        // would go on until it got a packet with no data, holding every reply for one more
        // latency period.)
        std::array<unsigned char, fetch_chunk> chunk{};
        int transferred = 0;
        const int code =
            libusb_bulk_transfer(context_->usb_dev, static_cast<unsigned char>(context_->out_ep),
                                 chunk.data(), int(chunk.size()), &transferred, read_timeout_ms);
        if (code < 0 && (code != LIBUSB_ERROR_TIMEOUT || transferred == 0))
            return failed(FtdiCall::read, code);
        // Every packet starts with the chip's two modem-status bytes.
        const int packet = context_->max_packet_size > 2 ? context_->max_packet_size : 64;
        for (int at = 0; at < transferred; at += packet) {
            const int end = std::min(at + packet, transferred);
            if (end - at > 2) rx_.insert(rx_.end(), chunk.begin() + at + 2, chunk.begin() + end);
        }
        return Status::ok;
    }

    Status gone() {
        return fail(Status::io_error,
                    "The USB bridge has been unplugged; close it and open it again.");
    }

    // A failed call, told apart from a bridge that has gone: a transfer cut short by an unplug
    // ends with a plain I/O error (and libftdi reports most failures as -1), so the bridge is
    // asked for its modem status, which a vanished device cannot answer. Caller holds mutex_.
    Status failed(FtdiCall call, int code) {
        if (code == LIBUSB_ERROR_NO_DEVICE || vanished()) {
            gone_ = true;
            return gone();
        }
        return fail(call, code);
    }

    bool vanished() {
        if (context_->usb_dev == nullptr) return false;
        std::array<unsigned char, 2> status{};
        return libusb_control_transfer(
                   context_->usb_dev, kDeviceInRequestType, SIO_POLL_MODEM_STATUS_REQUEST, 0,
                   static_cast<uint16_t>(context_->index), status.data(),
                   static_cast<uint16_t>(status.size()), read_timeout_ms) == LIBUSB_ERROR_NO_DEVICE;
    }

    Status no_memory_for_eeprom() {
        return fail(Status::insufficient_resources,
                    "Not enough memory to reach the USB bridge's configuration EEPROM.");
    }

    std::mutex mutex_;
    ftdi_context *const context_;
    const DeviceInfo info_;
    std::deque<unsigned char> rx_;
    bool gone_ = false;
};

class FtdiBus final : public Bus {
  public:
    ~FtdiBus() override {
        if (usb_ != nullptr) libusb_exit(usb_);
    }

    Status list_devices(uint32_t &count) override {
        count = 0;
        std::lock_guard lock(mutex_);
        if (usb_ == nullptr) {
            const int code = libusb_init(&usb_);
            if (code < 0) {
                usb_ = nullptr;
                return fail(FtdiCall::usb_init, code);
            }
        }
        DeviceListOwner devices;
        const ssize_t listed = libusb_get_device_list(usb_, &devices.list);
        if (listed < 0) return fail(FtdiCall::enumerate, int(listed));
        count = uint32_t(bridges_in(devices.list, listed).size());
        return succeed();
    }

    Status open(uint32_t index, std::unique_ptr<Device> &out) override {
        out.reset();
        ContextOwner owner;
        ftdi_context *context = owner.context;
        if (context == nullptr) return fail(FtdiCall::usb_init, LIBUSB_ERROR_OTHER);
        context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;

        DeviceListOwner devices;
        const ssize_t listed = libusb_get_device_list(context->usb_ctx, &devices.list);
        if (listed < 0) return fail(FtdiCall::enumerate, int(listed));
        const std::vector<libusb_device *> bridges = bridges_in(devices.list, listed);
        if (index >= bridges.size())
            return fail(Status::device_not_found,
                        "There is no USB bridge number " + std::to_string(index) + " (" +
                            std::to_string(bridges.size()) + " attached).");
        libusb_device *device = bridges[index];

        // libftdi reports every refused open alike; a plain open first names the real cause.
        libusb_device_handle *probe = nullptr;
        int code = libusb_open(device, &probe);
        if (code < 0) return fail(FtdiCall::usb_open, code);
        libusb_close(probe);

        code = ftdi_usb_open_dev(context, device);
        if (code < 0) return fail(FtdiCall::open_dev, code);
        context->usb_read_timeout = read_timeout_ms;
        context->usb_write_timeout = write_timeout_ms;
        code = ftdi_set_latency_timer(context, latency_ms);
        if (code < 0) {
            ftdi_usb_close(context);
            return fail(FtdiCall::configure, code);
        }

        libusb_device_descriptor descriptor{};
        libusb_get_device_descriptor(device, &descriptor);
        DeviceInfo info;
        info.type = device_type(context->type);
        info.id = uint32_t(descriptor.idVendor) << 16 | descriptor.idProduct;
        info.serial = string_descriptor(context->usb_dev, descriptor.iSerialNumber);
        info.description = string_descriptor(context->usb_dev, descriptor.iProduct);
        out = std::make_unique<FtdiDevice>(owner.release(), std::move(info));
        return succeed();
    }

  private:
    std::mutex mutex_;
    libusb_context *usb_ = nullptr;
};

} // namespace

bool is_supported_bridge(uint16_t vendor_id, uint16_t product_id) {
    // FT232R/FT232BM/FT245 (6001), FT2232 (6010), FT4232H (6011), FT232H (6014), FT-X (6015).
    constexpr std::array<uint16_t, 5> products{0x6001, 0x6010, 0x6011, 0x6014, 0x6015};
    return vendor_id == 0x0403 &&
           std::find(products.begin(), products.end(), product_id) != products.end();
}

LinkFailure translate_ftdi_error(FtdiCall call, int code) {
    switch (call) {
    case FtdiCall::usb_init:
        return failure(Status::device_list_not_ready,
                       "USB access could not be started" + libusb_words(code) + ".");
    case FtdiCall::enumerate:
        return failure(Status::device_list_not_ready,
                       "The USB devices could not be listed" + libusb_words(code) + ".");
    case FtdiCall::usb_open:
        return translate_libusb_open(code);
    case FtdiCall::open_dev:
        return translate_open_dev(code);
    case FtdiCall::configure:
        return failure(Status::io_error, "The USB bridge refused its latency setting.");
    case FtdiCall::read:
        return translate_read(code);
    case FtdiCall::write:
        if (code == -666) return failure(Status::invalid_handle, "The USB bridge is not open.");
        return failure(Status::io_error,
                       "Sending to the USB bridge failed; it may have been unplugged.");
    case FtdiCall::purge:
        return failure(Status::io_error, "The USB bridge's queues could not be emptied.");
    case FtdiCall::eeprom_read:
        if (code == -2) return failure(Status::invalid_handle, "The USB bridge is not open.");
        return failure(Status::eeprom_read_failed,
                       "Reading the USB bridge's configuration EEPROM failed.");
    case FtdiCall::eeprom_decode:
        return failure(Status::eeprom_read_failed,
                       "The USB bridge's configuration EEPROM has a wrong checksum; it is blank "
                       "or corrupt.");
    case FtdiCall::eeprom_build:
        if (code == -1)
            return failure(Status::invalid_parameter,
                           "Manufacturer, description and serial number are together too long "
                           "for the USB bridge's EEPROM (48 characters in all).");
        if (code == -6)
            return failure(Status::eeprom_not_present,
                           "The USB bridge has no configuration EEPROM.");
        return failure(Status::eeprom_write_failed,
                       "The EEPROM contents for the USB bridge could not be prepared.");
    case FtdiCall::eeprom_write:
        if (code == -2) return failure(Status::invalid_handle, "The USB bridge is not open.");
        return failure(Status::eeprom_write_failed,
                       "Writing the USB bridge's configuration EEPROM failed.");
    }
    return failure(Status::other_error, "The USB bridge reported an unexpected error.");
}

std::unique_ptr<Bus> make_ftdi_bus() {
    return std::make_unique<FtdiBus>();
}

} // namespace rfsense::link
