// "tcd.dat", the temperature-compensation file, for every model.
#include "cal_data.h"
#include "fuzz_input.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::array<std::array<double, 10>, 46> table{};
    for (int model = 0; model < 7; ++model)
        rfsense::cal_data::parse_tcd_file(rfsense_fuzz::text(data, size), model, table);
    return 0;
}
