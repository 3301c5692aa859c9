#include "meterdesk/factory/averaging_lengths.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/factory/sensor_exchange.h"
#include "meterdesk/factory/whole_number.h"
#include "meterdesk/settings/refusal.h"

#include <rfsense/rfsense.h>

#include <string>

namespace meterdesk {

namespace {

constexpr std::size_t kLengthChars = 15;
constexpr std::size_t kFirstLengthIndex = 6; // filter_settings[6 + range]
constexpr const char *kCaption = "Filter Settings (FILO)";

} // namespace

void show_averaging_lengths(const AppState &state, Controls &controls,
                            const std::array<int, 3> &edits) {
    for (std::size_t range = 0; range < edits.size(); ++range)
        controls.set_text(edits[range],
                          std::to_string(state.filter_settings[kFirstLengthIndex + range].load()));
}

DialogAction enter_averaging_lengths(AppState &state, Ui &ui, Controls &controls,
                                     const std::array<int, 3> &edits) {
    std::array<std::int32_t, 3> lengths{};
    for (std::size_t range = 0; range < edits.size(); ++range) {
        const auto length =
            whole_number_in(controls.text(edits[range]), kLengthChars, 1, kMaxAveragingLength);
        if (!length) {
            show_refusal(ui, controls,
                         {edits[range], kCaption,
                          "Valid FILO range = 1 to " + std::to_string(kMaxAveragingLength)});
            return DialogAction::kStay;
        }
        lengths[range] = static_cast<std::int32_t>(*length);
    }
    SensorLease lease(state);
    for (std::size_t range = 0; range < lengths.size(); ++range) {
        const auto index = static_cast<std::int32_t>(kFirstLengthIndex + range);
        if (SensorFilterSettingsUpdate(lease.get(), index, lengths[range]) != SENSOR_DONE) {
            ui.message(kCaption, kNoSensorConnected, MessageButtons::kOk,
                       MessageIcon::kExclamation);
            return DialogAction::kStay;
        }
        state.filter_settings[kFirstLengthIndex + range] = lengths[range];
    }
    state.zero_done = false; // the zero was taken with the old lengths
    return DialogAction::kClose;
}

} // namespace meterdesk
