// "AppSettings.dat" and "pos.dat", read at start-up.
#include "fuzz_input.h"
#include "meterdesk/core/settings_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    meterdesk::load_app_settings(rfsense_fuzz::scratch_file(data, size, "AppSettings.dat"));
    meterdesk::load_window_position(rfsense_fuzz::scratch_file(data, size, "pos.dat"));
    return 0;
}
