// How often each libusb function of the emulation has been called since the counts were last
// cleared, so that a test can show which of them a library's code path uses.
#pragma once

#include <string>

namespace rfsim::usb {

#define RFSIM_USB_CALLS(X)                                                                         \
    X(libusb_init)                                                                                 \
    X(libusb_exit)                                                                                 \
    X(libusb_get_device_list)                                                                      \
    X(libusb_free_device_list)                                                                     \
    X(libusb_ref_device)                                                                           \
    X(libusb_unref_device)                                                                         \
    X(libusb_get_device_descriptor)                                                                \
    X(libusb_get_config_descriptor)                                                                \
    X(libusb_free_config_descriptor)                                                               \
    X(libusb_get_bus_number)                                                                       \
    X(libusb_get_port_number)                                                                      \
    X(libusb_get_port_numbers)                                                                     \
    X(libusb_get_device_address)                                                                   \
    X(libusb_get_device_speed)                                                                     \
    X(libusb_get_device)                                                                           \
    X(libusb_open)                                                                                 \
    X(libusb_close)                                                                                \
    X(libusb_get_configuration)                                                                    \
    X(libusb_set_configuration)                                                                    \
    X(libusb_claim_interface)                                                                      \
    X(libusb_release_interface)                                                                    \
    X(libusb_kernel_driver_active)                                                                 \
    X(libusb_detach_kernel_driver)                                                                 \
    X(libusb_attach_kernel_driver)                                                                 \
    X(libusb_set_auto_detach_kernel_driver)                                                        \
    X(libusb_get_string_descriptor_ascii)                                                          \
    X(libusb_control_transfer)                                                                     \
    X(libusb_bulk_transfer)                                                                        \
    X(libusb_alloc_transfer)                                                                       \
    X(libusb_free_transfer)                                                                        \
    X(libusb_submit_transfer)                                                                      \
    X(libusb_cancel_transfer)                                                                      \
    X(libusb_handle_events_timeout)                                                                \
    X(libusb_handle_events_timeout_completed)                                                      \
    X(libusb_error_name)                                                                           \
    X(libusb_strerror)

enum class Call {
#define RFSIM_USB_ENUM(name) name,
    RFSIM_USB_CALLS(RFSIM_USB_ENUM)
#undef RFSIM_USB_ENUM
};

void count(Call call);
// "name count" lines, in the order above, for the functions called at least once.
std::string call_counts_text();
void clear_call_counts();

} // namespace rfsim::usb
