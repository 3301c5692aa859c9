/*
 * rfsim bus access: what a USB-serial link backend needs to reach the simulated devices.
 * Indices count the plugged devices in bus order; handles stay valid until closed, and every
 * call on a handle whose device has been unplugged fails with -1 (a replug needs a new open).
 */
#ifndef RFSIM_RFSIM_BUS_H
#define RFSIM_RFSIM_BUS_H

#include "rfsim/rfsim.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The bridge's configuration EEPROM. Text fields are NUL-terminated. */
typedef struct rfsim_eeprom {
    unsigned vendor_id;
    unsigned product_id;
    char manufacturer[32];
    char manufacturer_id[16];
    char description[64];
    char serial[16];
    unsigned max_power;
    unsigned char pnp, self_powered, remote_wakeup, rev4, iso_in, iso_out;
    unsigned char pull_down_enable, ser_num_enable, usb_version_enable;
    unsigned usb_version;
    unsigned char rev5;
} rfsim_eeprom;

/* Number of plugged devices. */
RFSIM_API int rfsim_bus_count(void);

/* Serial and description of the plugged device at `index`; 0, or -1. */
RFSIM_API int rfsim_bus_info(int index, char *serial, int serial_size, char *description,
                             int description_size);

/* Serial and description of the device behind an open handle; 0, or -1 when it has gone. */
RFSIM_API int rfsim_bus_handle_info(int handle, char *serial, int serial_size, char *description,
                                    int description_size);

/* Opens the plugged device at `index`: a handle > 0, or -1 (also while the device is open
 * already: like a bridge, each device is opened by one holder at a time). */
RFSIM_API int rfsim_bus_open(int index);
/* The same by configuration position (as rfsim_set numbers devices), which stays with a device
 * while it is unplugged and plugged in again; -1 while it is unplugged or open already. */
RFSIM_API int rfsim_bus_open_position(int device);
RFSIM_API void rfsim_bus_close(int handle);

/* Empties both queues; 0, or -1. */
RFSIM_API int rfsim_bus_purge(int handle);

/* Delivers bytes to the device; returns count, or -1. */
RFSIM_API int rfsim_bus_write(int handle, const void *data, int count);

/* Copies up to `count` bytes that are ready; never waits. Returns the count copied, or -1. */
RFSIM_API int rfsim_bus_read(int handle, void *buffer, int count);

/* Number of bytes ready, after waiting up to `timeout_ms` for at least one; -1 when gone. */
RFSIM_API int rfsim_bus_wait(int handle, int timeout_ms);

/* Results of the EEPROM calls besides 0 and -1 (device gone), by the device's `eeprom` key. */
#define RFSIM_EE_ABSENT (-2)       /* the bridge has no EEPROM */
#define RFSIM_EE_BLANK (-3)        /* read: the EEPROM is erased or its checksum is wrong */
#define RFSIM_EE_WRITE_FAILED (-4) /* program: the write did not take */

RFSIM_API int rfsim_bus_ee_read(int handle, rfsim_eeprom *out);
RFSIM_API int rfsim_bus_ee_program(int handle, const rfsim_eeprom *in);

/* rfsim_get for the device behind an open handle (its "chip" and "eeprom" keys tell a link
 * backend what the bridge is); the full length, or -1. */
RFSIM_API int rfsim_bus_handle_get(int handle, const char *key, char *out, int size);

/* The same EEPROM as the chip holds it: 128 bytes (64 little-endian words) in the FT232R's
 * layout with its checksum in the last word. rfsim_bus_ee_image copies up to `size` bytes and
 * returns 128, or -1. rfsim_bus_ee_write_word writes word `word` (0..63) as the chip's write
 * request does; whenever a write leaves the image with a valid checksum, the record above (and
 * the serial and description the bus reports) follow it. rfsim_bus_ee_erase sets every byte to
 * 0xFF, which leaves the record as it was. Both return 0, or -1. */
RFSIM_API int rfsim_bus_ee_image(int handle, unsigned char *out, int size);
RFSIM_API int rfsim_bus_ee_write_word(int handle, int word, unsigned value);
RFSIM_API int rfsim_bus_ee_erase(int handle);

#ifdef __cplusplus
}
#endif

#endif /* RFSIM_RFSIM_BUS_H */
