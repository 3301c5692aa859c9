// The tick thread: marks a temperature update due every tick interval while compensation is on.
#include "acquire.h"

#include <chrono>
#include <thread>

namespace rfsense::acquire {

namespace {

using namespace std::chrono_literals;

// Short slices so that the thread ends promptly once the sensor is gone.
constexpr auto slice = 20ms;

} // namespace

void tick_loop(SensorRecord &record) {
    for (;;) {
        auto slept = 0ms;
        do {
            std::this_thread::sleep_for(slice);
            if (record.connected.load() == 0) return;
            slept += slice;
        } while (slept < std::chrono::seconds(record.tick_interval.load()));
        if (record.temp_comp_on.load() != 0) record.temperature_update_due = 1;
        // The beep on tick needs a sound device, which the library does not own; the flag is
        // kept for callers that sound it themselves.
    }
}

} // namespace rfsense::acquire
