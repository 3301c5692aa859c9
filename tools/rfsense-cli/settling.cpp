#include "settling.h"

#include "platform.h"

#include <algorithm>
#include <array>
#include <span>

namespace rfsense::cli {

namespace {

// DisplayUpdateRate gives 10, 6 and 2 in ranges 0, 1 and 2: the only public sign of the range.
constexpr std::array<int32_t, 3> range_display_rates{10, 6, 2};

// Range settings: gains 0..2, filter codes 3..5, average lengths 6..8.
constexpr std::size_t first_length_setting = 6;

// Average length of the range whose display update rate is `rate`; the longest length when the
// rate names no known range.
int32_t average_length(const std::array<int32_t, 9> &settings, int32_t rate) {
    const auto lengths = std::span(settings).subspan(first_length_setting, 3);
    for (std::size_t range = 0; range < range_display_rates.size(); ++range)
        if (range_display_rates[range] == rate) return std::max(lengths[range], 1);
    return std::max(*std::max_element(lengths.begin(), lengths.end()), 1);
}

} // namespace

Settling wait_for_settled_average(SensorRecord *record) {
    std::array<int32_t, 9> settings{};
    if (SensorFilterSettingsQuery(record, settings.data()) != SENSOR_DONE) return Settling::lost;

    // Each SensorVolts call waits for one more conversion. Once the range has stayed the same
    // for its average length, every sample in the average was converted in that range, whether
    // the range change cleared the average or kept rescaled samples. One more than the length
    // covers a conversion signalled before the range was first looked at.
    int32_t range_rate = DisplayUpdateRate(record);
    int32_t same_range = 0;
    while (range_rate != 0) {
        if (platform::stop_signal() != 0) return Settling::stopped;
        double volts = 0.0;
        if (SensorVolts(record, &volts) != SENSOR_DONE) return Settling::lost;
        const int32_t rate_now = DisplayUpdateRate(record);
        if (rate_now != range_rate) {
            range_rate = rate_now;
            same_range = 0;
            continue;
        }
        if (++same_range > average_length(settings, range_rate)) return Settling::settled;
    }
    return Settling::lost; // DisplayUpdateRate gives 0 only without a sensor
}

} // namespace rfsense::cli
