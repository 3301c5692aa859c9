// The command-line meter's option values: numbers, whole numbers and frequencies.
#include "fuzz_input.h"
#include "value_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text(rfsense_fuzz::text(data, size));
    rfsense::cli::parse_number(text);
    rfsense::cli::parse_integer(text);
    rfsense::cli::parse_frequency(text);
    return 0;
}
