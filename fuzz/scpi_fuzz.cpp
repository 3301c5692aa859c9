// SCPI lines as a client sends them, run by the instrument: syntax, every command's parameters,
// the error queue. The bus holds no sensor, so nothing waits on one.
#include "fuzz_input.h"
#include "scpi/scpi_instrument.h"

#include <rfsim/rfsim.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool bus_ready = [] {
        setenv("RFSENSE_LINK", "sim", 1);
        return rfsim_configure("[device]\nplugged = 0\n") >= 0;
    }();
    static rfsense::scpi::SensorConnection sensor;
    static rfsense::scpi::Instrument instrument(sensor, bus_ready);
    std::string_view input = rfsense_fuzz::text(data, size);
    while (!input.empty()) {
        const auto end = input.find('\n');
        instrument.execute(input.substr(0, end));
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + 1);
    }
    instrument.execute("*CLS");
    return 0;
}
