// Intel HEX files, as the firmware download and the FLASH programmer read them.
#include "fuzz_input.h"
#include "meterdesk/factory/intel_hex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    meterdesk::factory::read_intel_hex(rfsense_fuzz::text(data, size));
    return 0;
}
