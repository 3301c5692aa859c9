#include "meterdesk/core/c_format.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace meterdesk {
namespace {

std::size_t format_into(char *buffer, std::size_t size, const char *format, std::va_list arguments)
    METERDESK_PRINTF_LIKE(3, 0);

std::size_t format_into(char *buffer, std::size_t size, const char *format,
                        std::va_list arguments) {
    if (size == 0) return 0;
    const int n = std::vsnprintf(buffer, size, format, arguments);
    if (n < 0) {
        buffer[0] = '\0';
        return 0;
    }
    const auto written = static_cast<std::size_t>(n);
    const std::size_t length = written < size ? written : size - 1;
    // A locale's decimal separator (one character in every locale in use) becomes '.'; the
    // formats used here hold no other character it could be.
    const char *point = std::localeconv()->decimal_point;
    if (point != nullptr && point[0] != '\0' && point[0] != '.' && point[1] == '\0') {
        for (std::size_t i = 0; i < length; ++i)
            if (buffer[i] == point[0]) buffer[i] = '.';
    }
    return length;
}

} // namespace

std::size_t c_format_into(char *buffer, std::size_t size, const char *format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const std::size_t length = format_into(buffer, size, format, arguments);
    va_end(arguments);
    return length;
}

std::string c_format(const char *format, ...) {
    char buffer[128];
    std::va_list arguments;
    va_start(arguments, format);
    const std::size_t length = format_into(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return std::string(buffer, length);
}

} // namespace meterdesk
