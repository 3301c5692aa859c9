// "tessaline prams.txt", the band parameters of model 5.
#include "cal_data.h"
#include "fuzz_input.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::array<std::array<double, 10>, 8> bands{};
    rfsense::cal_data::parse_band_file(rfsense_fuzz::text(data, size), bands);
    return 0;
}
