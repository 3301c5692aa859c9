// Setup files, recalled for each sensor family.
#include "fuzz_input.h"
#include "meterdesk/settings/setup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    for (const char *family : {"RX4LOKAN", "RX2LOKAN", "RX3LOKAN"})
        meterdesk::read_setup_text(rfsense_fuzz::text(data, size), family);
    return 0;
}
