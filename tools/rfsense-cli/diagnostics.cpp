#include "diagnostics.h"

#include <cstdio>

namespace rfsense::cli {

void report_error(const std::string &message) {
    std::fprintf(stderr, "rfsense: %s\n", message.c_str());
    std::fflush(stderr);
}

void report_warning(const std::string &message) {
    std::fprintf(stderr, "rfsense: warning: %s\n", message.c_str());
    std::fflush(stderr);
}

void report_hint(const std::string &text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(end - start), text.data() + start);
        start = end + 1;
    }
    std::fflush(stderr);
}

} // namespace rfsense::cli
