// The equation fit's files: the levels ("data_to_fit.dat") and the fitter's output
// ("fn_dn_ou.dat"), then the fit check over both, and "tes.dat".
#include "fuzz_input.h"
#include "meterdesk/factory/equation_fit.h"
#include "meterdesk/factory/test_exec_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const auto levels = meterdesk::read_levels(rfsense_fuzz::scratch_file(data, size, "levels"));
    const auto path = rfsense_fuzz::scratch_file(data, size, "fit_output");
    for (bool four_part : {false, true}) {
        const auto prams = meterdesk::read_fit_output(path, four_part);
        if (levels.value && prams.value) {
            const auto check =
                meterdesk::check_fit(meterdesk::expand_levels(*levels.value), *prams.value, 0.05);
            meterdesk::fit_check_list(check);
            meterdesk::expanded_fit_text(check);
        }
    }
    meterdesk::decode_test_exec_settings(data, size);
    return 0;
}
