// The simulator's configuration text, through its public entry point.
#include "fuzz_input.h"

#include <rfsim/rfsim.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text(rfsense_fuzz::text(data, size));
    if (rfsim_configure(text.c_str()) >= 0) {
        char value[64];
        rfsim_get(0, "power_dbm", value, sizeof value);
    }
    return 0;
}
