// The rich-text reader of the help pane.
#include "fuzz_input.h"
#include "meterdesk/base/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    meterdesk::rtf::read(rfsense_fuzz::text(data, size));
    return 0;
}
