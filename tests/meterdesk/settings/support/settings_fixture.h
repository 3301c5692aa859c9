// Fixtures of the settings dialogs' tests: the measurement thread connected to a simulated
// sensor in fast timing (so AppState holds what the connect sets), and the library's settings as
// SensorSettings reports them.
#pragma once

#include "meterdesk/support/fake_controls.h"
#include "meterdesk/support/meter_fixture.h"

#include "meterdesk/core/sensor_lease.h"
#include "meterdesk/settings/number_text.h"

#include <rfsense/rfsense.h>

#include <gtest/gtest.h>

#include <string>

namespace meterdesk_test {

// Simulator descriptions of the model indexes 0..6.
inline std::string model_keys(int model_index) {
    static const char *const names[] = {"RX1",  "RX2LOKAN", "RX3LOKAN", "RX4LO",
                                        "RX5L", "RX6",      "QX9"};
    return std::string("description = USB Power Sensor ") + names[model_index] + "\n";
}

class SettingsTest : public MeterTest {
  protected:
    // Connects the sensor described by `keys` (the first time) or replaces the connected one
    // with it, and waits until its defaults are in place.
    void connect(const std::string &keys = {}) {
        const auto mark = ui.size();
        configure(keys);
        if (!thread) start();
        ASSERT_TRUE(ui.wait_for(UiCall::Kind::repaint, 1,
                                static_cast<int>(RepaintRequest::kStatusPanel), mark, 10000ms));
        ASSERT_TRUE(eventually([&] { return state.sensor_connected.load(); }));
    }

    // The library's settings of the connected sensor.
    SensorSettingsRecord library() {
        SensorSettingsRecord record{};
        meterdesk::SensorLease lease(state);
        EXPECT_TRUE(lease);
        if (lease) {
            EXPECT_EQ(SensorSettings(lease.get(), &record), 1);
        }
        return record;
    }
};

} // namespace meterdesk_test
