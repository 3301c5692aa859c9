/*
 * rfsim: the simulated sensor bus.
 *
 * A process-wide bus of simulated FTDI devices (power sensors, the bench FLASH programmer, other
 * bridges), configured from text: `key = value` lines, `#` comments, one `[device]` section per
 * attached device in bus order. With no sections the bus holds one healthy default sensor.
 */
#ifndef RFSIM_RFSIM_H
#define RFSIM_RFSIM_H

#if defined(_WIN32)
#define RFSIM_API __declspec(dllexport)
#else
#define RFSIM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Replaces the whole bus. Returns the number of devices, or -1 (see rfsim_error()). */
RFSIM_API int rfsim_configure(const char *text);

/* Configures the bus from `text` unless the bus was last built by this function from the same
 * text: every copy of a link backend in a process (a library's and a program's own) asks with
 * the same configuration, and only the first may build the bus, so that the later ones do not
 * drop the devices the first has opened. Returns the number of devices, or -1. */
RFSIM_API int rfsim_configure_once(const char *text);

/* Sets one key of one device (0-based bus position) at run time. Returns 0, or -1. */
RFSIM_API int rfsim_set(int device, const char *key, const char *value);

/* Reads one key, or read-only state, of one device into `out` (NUL-terminated, truncated to
 * `size`). Returns the full length of the value, or -1. */
RFSIM_API int rfsim_get(int device, const char *key, char *out, int size);

/* The message of the last failed call in this thread, or "". */
RFSIM_API const char *rfsim_error(void);

#ifdef __cplusplus
}
#endif

#endif /* RFSIM_RFSIM_H */
