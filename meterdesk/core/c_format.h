// printf formatting as in the "C" locale, whatever the process locale is (the Qt layer sets
// the user's, whose decimal comma must not reach trace files, listings or plot labels).
#pragma once

#include <cstddef>
#include <string>

#if defined(__GNUC__)
#define METERDESK_PRINTF_LIKE(format_index, first_argument)                                        \
    __attribute__((format(printf, format_index, first_argument)))
#else
#define METERDESK_PRINTF_LIKE(format_index, first_argument)
#endif

namespace meterdesk {

// Formats into `buffer`, which is always NUL-terminated; returns the length written (cut to
// the buffer). Allocates nothing.
std::size_t c_format_into(char *buffer, std::size_t size, const char *format, ...)
    METERDESK_PRINTF_LIKE(3, 4);

std::string c_format(const char *format, ...) METERDESK_PRINTF_LIKE(1, 2);

} // namespace meterdesk
