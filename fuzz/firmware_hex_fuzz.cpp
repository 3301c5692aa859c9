// Firmware files: the download's check and rewrite into the copy the sensor takes, and the
// FLASH programmer's check and packets, on the same bytes.
#include "fuzz_input.h"
#include "meterdesk/factory/firmware_hex.h"
#include "meterdesk/factory/flash_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const auto content = rfsense_fuzz::text(data, size);
    meterdesk::normalise_firmware(content);
    meterdesk::build_flash_image(content);
    return 0;
}
