// The libusb-1.0 functions that libftdi1 1.5 and the link layer call, over the emulated bus.
// Signatures come from libusb's own header, so a mismatch does not compile. Every call is
// counted (call_counts.h). Asynchronous transfers run when the caller handles events, in the
// order submitted.
#include "call_counts.h"
#include "emulated_bus.h"

#include <libusb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

struct libusb_context {
    std::mutex mutex;
    std::deque<libusb_transfer *> pending;   // submitted, not yet run
    std::deque<libusb_transfer *> cancelled; // to complete as cancelled
    int users = 1;                           // the default context is shared
};

struct libusb_device {
    std::atomic<int> references{1};
    libusb_context *context = nullptr;
    std::shared_ptr<rfsim::usb::Chip> chip;
};

struct libusb_device_handle {
    libusb_device *device = nullptr;
    std::shared_ptr<rfsim::usb::Chip> chip;
    std::atomic<bool> auto_detach{false};
};

namespace {

using rfsim::usb::Call;
using rfsim::usb::Chip;
using rfsim::usb::count;
using rfsim::usb::EmulatedBus;

std::mutex default_mutex;
libusb_context *default_context = nullptr;

libusb_context *context_or_default(libusb_context *context) {
    if (context != nullptr) return context;
    std::lock_guard lock(default_mutex);
    return default_context;
}

// The descriptors of one configuration, allocated together and freed together.
struct ConfigBlock {
    libusb_config_descriptor config{};
    libusb_interface interface {};
    libusb_interface_descriptor setting{};
    libusb_endpoint_descriptor endpoints[2]{};
};

libusb_endpoint_descriptor bulk_endpoint(uint8_t address) {
    libusb_endpoint_descriptor e{};
    e.bLength = LIBUSB_DT_ENDPOINT_SIZE;
    e.bDescriptorType = LIBUSB_DT_ENDPOINT;
    e.bEndpointAddress = address;
    e.bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    e.wMaxPacketSize = Chip::packet_size;
    return e;
}

libusb_transfer_status transfer_status(int code) {
    switch (code) {
    case 0:
        return LIBUSB_TRANSFER_COMPLETED;
    case LIBUSB_ERROR_TIMEOUT:
        return LIBUSB_TRANSFER_TIMED_OUT;
    case LIBUSB_ERROR_NO_DEVICE:
        return LIBUSB_TRANSFER_NO_DEVICE;
    case LIBUSB_ERROR_PIPE:
        return LIBUSB_TRANSFER_STALL;
    case LIBUSB_ERROR_OVERFLOW:
        return LIBUSB_TRANSFER_OVERFLOW;
    default:
        return LIBUSB_TRANSFER_ERROR;
    }
}

void unref(libusb_device *device) {
    if (device != nullptr && device->references.fetch_sub(1) == 1) delete device;
}

void release_transfer(libusb_transfer *transfer) {
    if (transfer == nullptr) return;
    if ((transfer->flags & LIBUSB_TRANSFER_FREE_BUFFER) != 0) std::free(transfer->buffer);
    std::free(transfer);
}

// Carries out one submitted transfer and calls its callback.
void run_transfer(libusb_transfer *transfer, bool cancelled) {
    libusb_device_handle *handle = transfer->dev_handle;
    transfer->actual_length = 0;
    if (cancelled) {
        transfer->status = LIBUSB_TRANSFER_CANCELLED;
    } else if (transfer->type == LIBUSB_TRANSFER_TYPE_BULK) {
        int actual = 0;
        const int code = handle->chip->bulk(handle, transfer->endpoint, transfer->buffer,
                                            transfer->length, &actual, transfer->timeout);
        transfer->actual_length = actual;
        transfer->status = transfer_status(code);
    } else { // control: an 8-byte setup packet, then the data stage
        const libusb_control_setup *setup = libusb_control_transfer_get_setup(transfer);
        const int code = handle->chip->control(
            setup->bmRequestType, setup->bRequest, libusb_le16_to_cpu(setup->wValue),
            libusb_le16_to_cpu(setup->wIndex), libusb_control_transfer_get_data(transfer),
            libusb_le16_to_cpu(setup->wLength));
        transfer->actual_length = std::max(code, 0);
        transfer->status = transfer_status(std::min(code, 0));
    }
    const int asked = transfer->type == LIBUSB_TRANSFER_TYPE_CONTROL
                          ? transfer->length - int(LIBUSB_CONTROL_SETUP_SIZE)
                          : transfer->length;
    if ((transfer->flags & LIBUSB_TRANSFER_SHORT_NOT_OK) != 0 &&
        transfer->status == LIBUSB_TRANSFER_COMPLETED && transfer->actual_length < asked)
        transfer->status = LIBUSB_TRANSFER_ERROR;
    const bool free_after = (transfer->flags & LIBUSB_TRANSFER_FREE_TRANSFER) != 0;
    if (transfer->callback != nullptr) transfer->callback(transfer);
    if (free_after) release_transfer(transfer);
}

// Runs submitted transfers until none is left or *completed is set; waits up to `tv` when none
// is there at all.
int handle_events(libusb_context *context, const timeval *tv, const int *completed) {
    context = context_or_default(context);
    if (context == nullptr) return LIBUSB_ERROR_INVALID_PARAM;
    bool ran = false;
    while (completed == nullptr || *completed == 0) {
        libusb_transfer *transfer = nullptr;
        bool cancelled = false;
        {
            std::lock_guard lock(context->mutex);
            if (!context->cancelled.empty()) {
                transfer = context->cancelled.front();
                context->cancelled.pop_front();
                cancelled = true;
            } else if (!context->pending.empty()) {
                transfer = context->pending.front();
                context->pending.pop_front();
            }
        }
        if (transfer == nullptr) break;
        run_transfer(transfer, cancelled);
        ran = true;
        if (completed == nullptr) break; // one event per call
    }
    if (!ran && tv != nullptr) {
        // Nothing will happen that is not submitted from another thread: wait a little.
        const auto wait = std::chrono::seconds(tv->tv_sec) + std::chrono::microseconds(tv->tv_usec);
        std::this_thread::sleep_for(std::min<std::chrono::microseconds>(
            std::chrono::duration_cast<std::chrono::microseconds>(wait),
            std::chrono::milliseconds(10)));
    }
    return 0;
}

} // namespace

extern "C" {

int libusb_init(libusb_context **context) {
    count(Call::libusb_init);
    if (!EmulatedBus::instance().start()) return LIBUSB_ERROR_OTHER;
    if (context != nullptr) {
        *context = new libusb_context;
        return 0;
    }
    std::lock_guard lock(default_mutex);
    if (default_context == nullptr)
        default_context = new libusb_context;
    else
        ++default_context->users;
    return 0;
}

void libusb_exit(libusb_context *context) {
    count(Call::libusb_exit);
    if (context != nullptr) {
        delete context;
        return;
    }
    std::lock_guard lock(default_mutex);
    if (default_context != nullptr && --default_context->users == 0) {
        delete default_context;
        default_context = nullptr;
    }
}

ssize_t libusb_get_device_list(libusb_context *context, libusb_device ***list) {
    count(Call::libusb_get_device_list);
    context = context_or_default(context);
    if (context == nullptr || list == nullptr) return LIBUSB_ERROR_INVALID_PARAM;
    const auto chips = EmulatedBus::instance().scan();
    auto **devices =
        static_cast<libusb_device **>(std::calloc(chips.size() + 1, sizeof(libusb_device *)));
    if (devices == nullptr) return LIBUSB_ERROR_NO_MEM;
    for (std::size_t i = 0; i < chips.size(); ++i) {
        devices[i] = new libusb_device;
        devices[i]->context = context;
        devices[i]->chip = chips[i];
    }
    *list = devices;
    return ssize_t(chips.size());
}

void libusb_free_device_list(libusb_device **list, int unref_devices) {
    count(Call::libusb_free_device_list);
    if (list == nullptr) return;
    if (unref_devices != 0)
        for (libusb_device **d = list; *d != nullptr; ++d) unref(*d);
    std::free(list);
}

libusb_device *libusb_ref_device(libusb_device *device) {
    count(Call::libusb_ref_device);
    device->references.fetch_add(1);
    return device;
}

void libusb_unref_device(libusb_device *device) {
    count(Call::libusb_unref_device);
    unref(device);
}

int libusb_get_device_descriptor(libusb_device *device, libusb_device_descriptor *descriptor) {
    count(Call::libusb_get_device_descriptor);
    const rfsim::usb::Descriptors &d = device->chip->descriptors;
    *descriptor = libusb_device_descriptor{};
    descriptor->bLength = LIBUSB_DT_DEVICE_SIZE;
    descriptor->bDescriptorType = LIBUSB_DT_DEVICE;
    descriptor->bcdUSB = 0x0200;
    descriptor->bMaxPacketSize0 = 8;
    descriptor->idVendor = d.vendor_id;
    descriptor->idProduct = d.product_id;
    descriptor->bcdDevice = 0x0600;
    descriptor->iManufacturer = 1;
    descriptor->iProduct = 2;
    descriptor->iSerialNumber = d.serial_in_use ? 3 : 0;
    descriptor->bNumConfigurations = 1;
    return 0;
}

int libusb_get_config_descriptor(libusb_device *device, uint8_t index,
                                 libusb_config_descriptor **config) {
    count(Call::libusb_get_config_descriptor);
    if (index != 0) return LIBUSB_ERROR_NOT_FOUND;
    auto *block = new ConfigBlock;
    block->endpoints[0] = bulk_endpoint(Chip::in_endpoint);
    block->endpoints[1] = bulk_endpoint(Chip::out_endpoint);
    libusb_interface_descriptor &s = block->setting;
    s.bLength = LIBUSB_DT_INTERFACE_SIZE;
    s.bDescriptorType = LIBUSB_DT_INTERFACE;
    s.bNumEndpoints = 2;
    s.bInterfaceClass = LIBUSB_CLASS_VENDOR_SPEC;
    s.bInterfaceSubClass = 0xFF;
    s.bInterfaceProtocol = 0xFF;
    s.iInterface = 2;
    s.endpoint = block->endpoints;
    block->interface.altsetting = &block->setting;
    block->interface.num_altsetting = 1;
    libusb_config_descriptor &c = block->config;
    c.bLength = LIBUSB_DT_CONFIG_SIZE;
    c.bDescriptorType = LIBUSB_DT_CONFIG;
    c.wTotalLength = LIBUSB_DT_CONFIG_SIZE + LIBUSB_DT_INTERFACE_SIZE + 2 * LIBUSB_DT_ENDPOINT_SIZE;
    c.bNumInterfaces = 1;
    c.bConfigurationValue = 1;
    c.bmAttributes = device->chip->descriptors.attributes;
    c.MaxPower = device->chip->descriptors.max_power;
    c.interface = &block->interface;
    *config = &block->config;
    return 0;
}

void libusb_free_config_descriptor(libusb_config_descriptor *config) {
    count(Call::libusb_free_config_descriptor);
    // The configuration is the first member of its block.
    delete reinterpret_cast<ConfigBlock *>(config);
}

uint8_t libusb_get_bus_number(libusb_device * /*device*/) {
    count(Call::libusb_get_bus_number);
    return EmulatedBus::bus_number;
}

uint8_t libusb_get_port_number(libusb_device *device) {
    count(Call::libusb_get_port_number);
    return static_cast<uint8_t>(device->chip->position + 1);
}

int libusb_get_port_numbers(libusb_device *device, uint8_t *port_numbers, int length) {
    count(Call::libusb_get_port_numbers);
    if (length < 1) return LIBUSB_ERROR_OVERFLOW;
    port_numbers[0] = static_cast<uint8_t>(device->chip->position + 1);
    return 1;
}

uint8_t libusb_get_device_address(libusb_device *device) {
    count(Call::libusb_get_device_address);
    return static_cast<uint8_t>(device->chip->address);
}

int libusb_get_device_speed(libusb_device * /*device*/) {
    count(Call::libusb_get_device_speed);
    return LIBUSB_SPEED_FULL;
}

libusb_device *libusb_get_device(libusb_device_handle *handle) {
    count(Call::libusb_get_device);
    return handle->device;
}

int libusb_open(libusb_device *device, libusb_device_handle **handle) {
    count(Call::libusb_open);
    auto *opened = new libusb_device_handle;
    const int code = device->chip->open_host(opened);
    if (code != 0) {
        delete opened;
        return code;
    }
    device->references.fetch_add(1);
    opened->device = device;
    opened->chip = device->chip;
    *handle = opened;
    return 0;
}

void libusb_close(libusb_device_handle *handle) {
    count(Call::libusb_close);
    if (handle == nullptr) return;
    handle->chip->close_host(handle);
    libusb_device *device = handle->device;
    delete handle;
    unref(device);
}

int libusb_get_configuration(libusb_device_handle *handle, int *config) {
    count(Call::libusb_get_configuration);
    const int code = handle->chip->configuration();
    if (code < 0) return code;
    *config = code;
    return 0;
}

int libusb_set_configuration(libusb_device_handle *handle, int configuration) {
    count(Call::libusb_set_configuration);
    return handle->chip->set_configuration(handle, configuration);
}

int libusb_claim_interface(libusb_device_handle *handle, int interface_number) {
    count(Call::libusb_claim_interface);
    if (interface_number != 0) return LIBUSB_ERROR_NOT_FOUND;
    return handle->chip->claim(handle, handle->auto_detach.load());
}

int libusb_release_interface(libusb_device_handle *handle, int interface_number) {
    count(Call::libusb_release_interface);
    if (interface_number != 0) return LIBUSB_ERROR_NOT_FOUND;
    return handle->chip->release(handle, handle->auto_detach.load());
}

int libusb_kernel_driver_active(libusb_device_handle *handle, int interface_number) {
    count(Call::libusb_kernel_driver_active);
    if (interface_number != 0) return LIBUSB_ERROR_NOT_FOUND;
    return handle->chip->kernel_driver_active();
}

int libusb_detach_kernel_driver(libusb_device_handle *handle, int interface_number) {
    count(Call::libusb_detach_kernel_driver);
    if (interface_number != 0) return LIBUSB_ERROR_NOT_FOUND;
    return handle->chip->detach_kernel_driver();
}

int libusb_attach_kernel_driver(libusb_device_handle *handle, int interface_number) {
    count(Call::libusb_attach_kernel_driver);
    if (interface_number != 0) return LIBUSB_ERROR_NOT_FOUND;
    return handle->chip->attach_kernel_driver();
}

int libusb_set_auto_detach_kernel_driver(libusb_device_handle *handle, int enable) {
    count(Call::libusb_set_auto_detach_kernel_driver);
    handle->auto_detach.store(enable != 0);
    return 0;
}

int libusb_get_string_descriptor_ascii(libusb_device_handle *handle, uint8_t index,
                                       unsigned char *data, int length) {
    count(Call::libusb_get_string_descriptor_ascii);
    if (index == 0 || data == nullptr || length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
    if (!handle->chip->present()) return LIBUSB_ERROR_NO_DEVICE;
    const rfsim::usb::Descriptors &d = handle->chip->descriptors;
    const std::string *text = nullptr;
    if (index == 1) text = &d.manufacturer;
    if (index == 2) text = &d.product;
    if (index == 3 && d.serial_in_use) text = &d.serial;
    if (text == nullptr) return LIBUSB_ERROR_PIPE; // the device stalls an unknown string
    const int n = std::min(int(text->size()), length - 1);
    std::memcpy(data, text->data(), std::size_t(n));
    data[n] = '\0';
    return n;
}

int libusb_control_transfer(libusb_device_handle *handle, uint8_t request_type, uint8_t request,
                            uint16_t value, uint16_t index, unsigned char *data, uint16_t length,
                            unsigned int /*timeout*/) {
    count(Call::libusb_control_transfer);
    return handle->chip->control(request_type, request, value, index, data, length);
}

int libusb_bulk_transfer(libusb_device_handle *handle, unsigned char endpoint, unsigned char *data,
                         int length, int *actual_length, unsigned int timeout) {
    count(Call::libusb_bulk_transfer);
    return handle->chip->bulk(handle, endpoint, data, length, actual_length, timeout);
}

libusb_transfer *libusb_alloc_transfer(int iso_packets) {
    count(Call::libusb_alloc_transfer);
    if (iso_packets < 0) return nullptr;
    auto *transfer = static_cast<libusb_transfer *>(
        std::calloc(1, sizeof(libusb_transfer) +
                           std::size_t(iso_packets) * sizeof(libusb_iso_packet_descriptor)));
    if (transfer != nullptr) transfer->num_iso_packets = iso_packets;
    return transfer;
}

void libusb_free_transfer(libusb_transfer *transfer) {
    count(Call::libusb_free_transfer);
    release_transfer(transfer);
}

int libusb_submit_transfer(libusb_transfer *transfer) {
    count(Call::libusb_submit_transfer);
    if (transfer == nullptr || transfer->dev_handle == nullptr) return LIBUSB_ERROR_INVALID_PARAM;
    if (transfer->type != LIBUSB_TRANSFER_TYPE_BULK &&
        transfer->type != LIBUSB_TRANSFER_TYPE_CONTROL)
        return LIBUSB_ERROR_NOT_SUPPORTED;
    if (!transfer->dev_handle->chip->present()) return LIBUSB_ERROR_NO_DEVICE;
    libusb_context *context = context_or_default(transfer->dev_handle->device->context);
    if (context == nullptr) return LIBUSB_ERROR_INVALID_PARAM;
    std::lock_guard lock(context->mutex);
    if (std::find(context->pending.begin(), context->pending.end(), transfer) !=
        context->pending.end())
        return LIBUSB_ERROR_BUSY;
    context->pending.push_back(transfer);
    return 0;
}

int libusb_cancel_transfer(libusb_transfer *transfer) {
    count(Call::libusb_cancel_transfer);
    if (transfer == nullptr || transfer->dev_handle == nullptr) return LIBUSB_ERROR_INVALID_PARAM;
    libusb_context *context = context_or_default(transfer->dev_handle->device->context);
    if (context == nullptr) return LIBUSB_ERROR_NOT_FOUND;
    std::lock_guard lock(context->mutex);
    const auto found = std::find(context->pending.begin(), context->pending.end(), transfer);
    if (found == context->pending.end()) return LIBUSB_ERROR_NOT_FOUND;
    context->pending.erase(found);
    context->cancelled.push_back(transfer);
    return 0;
}

int libusb_handle_events_timeout(libusb_context *context, struct timeval *tv) {
    count(Call::libusb_handle_events_timeout);
    return handle_events(context, tv, nullptr);
}

int libusb_handle_events_timeout_completed(libusb_context *context, struct timeval *tv,
                                           int *completed) {
    count(Call::libusb_handle_events_timeout_completed);
    return handle_events(context, tv, completed);
}

const char *libusb_error_name(int code) {
    count(Call::libusb_error_name);
    switch (code) {
    case LIBUSB_SUCCESS:
        return "LIBUSB_SUCCESS / LIBUSB_TRANSFER_COMPLETED";
    case LIBUSB_ERROR_IO:
        return "LIBUSB_ERROR_IO";
    case LIBUSB_ERROR_INVALID_PARAM:
        return "LIBUSB_ERROR_INVALID_PARAM";
    case LIBUSB_ERROR_ACCESS:
        return "LIBUSB_ERROR_ACCESS";
    case LIBUSB_ERROR_NO_DEVICE:
        return "LIBUSB_ERROR_NO_DEVICE";
    case LIBUSB_ERROR_NOT_FOUND:
        return "LIBUSB_ERROR_NOT_FOUND";
    case LIBUSB_ERROR_BUSY:
        return "LIBUSB_ERROR_BUSY";
    case LIBUSB_ERROR_TIMEOUT:
        return "LIBUSB_ERROR_TIMEOUT";
    case LIBUSB_ERROR_OVERFLOW:
        return "LIBUSB_ERROR_OVERFLOW";
    case LIBUSB_ERROR_PIPE:
        return "LIBUSB_ERROR_PIPE";
    case LIBUSB_ERROR_INTERRUPTED:
        return "LIBUSB_ERROR_INTERRUPTED";
    case LIBUSB_ERROR_NO_MEM:
        return "LIBUSB_ERROR_NO_MEM";
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return "LIBUSB_ERROR_NOT_SUPPORTED";
    case LIBUSB_ERROR_OTHER:
        return "LIBUSB_ERROR_OTHER";
    case LIBUSB_TRANSFER_ERROR:
        return "LIBUSB_TRANSFER_ERROR";
    case LIBUSB_TRANSFER_TIMED_OUT:
        return "LIBUSB_TRANSFER_TIMED_OUT";
    case LIBUSB_TRANSFER_CANCELLED:
        return "LIBUSB_TRANSFER_CANCELLED";
    case LIBUSB_TRANSFER_STALL:
        return "LIBUSB_TRANSFER_STALL";
    case LIBUSB_TRANSFER_NO_DEVICE:
        return "LIBUSB_TRANSFER_NO_DEVICE";
    case LIBUSB_TRANSFER_OVERFLOW:
        return "LIBUSB_TRANSFER_OVERFLOW";
    default:
        return "**UNKNOWN**";
    }
}

const char *libusb_strerror(int code) {
    count(Call::libusb_strerror);
    switch (code) {
    case LIBUSB_SUCCESS:
        return "Success";
    case LIBUSB_ERROR_IO:
        return "Input/Output Error";
    case LIBUSB_ERROR_INVALID_PARAM:
        return "Invalid parameter";
    case LIBUSB_ERROR_ACCESS:
        return "Access denied (insufficient permissions)";
    case LIBUSB_ERROR_NO_DEVICE:
        return "No such device (it may have been disconnected)";
    case LIBUSB_ERROR_NOT_FOUND:
        return "Entity not found";
    case LIBUSB_ERROR_BUSY:
        return "Resource busy";
    case LIBUSB_ERROR_TIMEOUT:
        return "Operation timed out";
    case LIBUSB_ERROR_OVERFLOW:
        return "Overflow";
    case LIBUSB_ERROR_PIPE:
        return "Pipe error";
    case LIBUSB_ERROR_INTERRUPTED:
        return "System call interrupted (perhaps due to signal)";
    case LIBUSB_ERROR_NO_MEM:
        return "Insufficient memory";
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return "Operation not supported or unimplemented on this platform";
    case LIBUSB_ERROR_OTHER:
        return "Other error";
    default:
        return "**UNKNOWN**";
    }
}

} // extern "C"
