/*
 * The emulated USB bus under libftdi1, for tests and benchmarks only (never installed).
 *
 * librfsim-usb provides the libusb-1.0 functions that libftdi1 and the link layer call, and
 * presents every plugged device of the simulated bus (rfsim.h) as an FT232R bridge: vendor and
 * product id, strings and serial from the device's EEPROM image, one configuration with one
 * interface and the bulk endpoints 0x81 and 0x02. Load it ahead of the real libusb (LD_PRELOAD,
 * or link it before libftdi1). With RFSIM_USB=<configuration file> (or "default") in the
 * environment, the first libusb_init configures the simulated bus from it; otherwise the bus is
 * used as the process has configured it. RFSIM_USB_DENIED and RFSIM_USB_BUSY list positions
 * ("0", "0 2") whose "access" is "denied" and whose "busy" is "1" from the start (below), for
 * programs that a test starts.
 *
 * Devices are numbered by their configuration position, as rfsim_set numbers them.
 */
#ifndef RFSIM_USB_EMULATION_H
#define RFSIM_USB_EMULATION_H

#define RFSIM_USB_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Reads one value into `out` (NUL-terminated, cut to `size`); returns its full length, or -1.
 * device -1:  "calls"  the libusb functions called since the last rfsim_usb_clear, one
 *                      "name count" line each;
 *             "config_error"  why RFSIM_USB could not be used ("" when it could).
 * device n:   "requests"  the vendor requests the device received, one line each:
 *                         "<name> value=<wValue> index=<wIndex>" (reset, modem_control,
 *                         flow_control, baud_rate, data_characteristics, modem_status,
 *                         event_char, error_char, set_latency, get_latency, bitmode, read_pins,
 *                         eeprom_read, eeprom_write, eeprom_erase);
 *             "access" ("granted" / "denied"), "busy" ("0" / "1");
 *             "address"  USB address while plugged in, "" when not;
 *             of the chip now plugged in at that position: "kernel_driver" ("attached" /
 *             "detached"), "claimed", "open_handles", "latency_ms", "baud" (divisor value and
 *             index), "data_characteristics", "flow_control", "modem_control", "bitmode". */
RFSIM_USB_API int rfsim_usb_get(int device, const char *key, char *out, int size);

/* "access" = "denied" makes libusb_open fail with LIBUSB_ERROR_ACCESS, as without permission;
 * "busy" = "1" makes libusb_claim_interface fail with LIBUSB_ERROR_BUSY, as when another program
 * holds the interface. Both stay with the position across unplug and replug. Returns 0, or -1. */
RFSIM_USB_API int rfsim_usb_set(int device, const char *key, const char *value);

/* Forgets the call counts and every device's request record, and lifts the refusals. */
RFSIM_USB_API void rfsim_usb_clear(void);

/* The message of this thread's last failed rfsim_usb_get / rfsim_usb_set. */
RFSIM_USB_API const char *rfsim_usb_error(void);

#ifdef __cplusplus
}
#endif

#endif /* RFSIM_USB_EMULATION_H */
