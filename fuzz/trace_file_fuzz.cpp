// Trace files as Recall reads them, and the listing of whatever they give.
#include "fuzz_input.h"
#include "meterdesk/trace/trace_file.h"

#include <ctime>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (auto trace = meterdesk::decode_trace_file({data, size})) {
        std::tm local{};
        meterdesk::trace_listing_text(*trace, true, local);
        meterdesk::encode_trace_file(*trace);
    }
    return 0;
}
