// The texts of --help and --version, and the short hint after a usage error.
#pragma once

#include <cstdio>

namespace rfsense::cli {

void print_help(std::FILE *out);
void print_version(std::FILE *out);
void print_usage_hint(std::FILE *out);

} // namespace rfsense::cli
