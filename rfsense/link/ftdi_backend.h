// Pieces of the libftdi1 backend that are worth checking without hardware.
#pragma once

#include "link/link.h"

#include <string>

namespace rfsense::link {

// The libftdi or libusb call that failed. The same negative number means different things from
// different calls (-4 is "device gone" from a bulk read but "open failed" from ftdi_usb_open_dev),
// so a number is only translated together with its call.
enum class FtdiCall {
    usb_init,      // libusb_init / ftdi_new: libusb codes
    enumerate,     // libusb_get_device_list: libusb codes
    usb_open,      // libusb_open: libusb codes
    open_dev,      // ftdi_usb_open_dev: libftdi codes
    configure,     // ftdi_set_latency_timer: libftdi codes
    read,          // the bulk read of received bytes: libusb codes (and libftdi's -666)
    write,         // ftdi_write_data: libftdi codes
    purge,         // ftdi_tcioflush: libftdi codes
    eeprom_read,   // ftdi_read_eeprom: libftdi codes
    eeprom_decode, // ftdi_eeprom_decode: libftdi codes
    eeprom_build,  // ftdi_eeprom_initdefaults / ftdi_eeprom_build: libftdi codes
    eeprom_write,  // ftdi_write_eeprom: libftdi codes
};

struct LinkFailure {
    Status status = Status::other_error;
    std::string message; // a sentence for the user; never a bare number
};

LinkFailure translate_ftdi_error(FtdiCall call, int code);

// The bridge models the backend looks for (vendor 0403).
bool is_supported_bridge(uint16_t vendor_id, uint16_t product_id);

} // namespace rfsense::link
