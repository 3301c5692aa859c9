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

} // namespace rfsense::cli
