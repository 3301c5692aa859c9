// The simulated-source panel's logic against the simulated bus and a fake dialog.
#include "meterdesk/core/simulated_source.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/number_text.h"
#include "tests/meterdesk/support/fake_controls.h"

#include <rfsim/rfsim.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace meterdesk;
using meterdesk_test::FakeControls;
namespace ids = meterdesk::simulated_source;

std::string sim_get(int device, const char *key) {
    char value[128];
    return rfsim_get(device, key, value, sizeof value) < 0 ? "(error)" : std::string(value);
}

FakeControls panel() {
    return FakeControls({ids::kDevices, ids::kPowerBar, ids::kPowerEdit, ids::kRfOff,
                         ids::kFrequencyEdit, ids::kFrequencyUnit, ids::kFrequencyNote,
                         ids::kTemperatureEdit, ids::kAirTemperatureEdit, ids::kTemperatureUnit,
                         ids::kAirTemperatureUnit, ids::kNoiseEdit, ids::kPlugged, ids::kSilent,
                         ids::kStatus, ids::kClose});
}

class SimulatedSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(rfsim_configure("[device]\npower_dbm = -10\ntemperature_c = 30\n"
                                  "[device]\nkind = programmer\n"),
                  2)
            << rfsim_error();
    }
    AppState state;
    FakeControls controls = panel();
    SimulatedSource source{state};
};

TEST(SimulatedBusChoice, FollowsTheLibrarysRule) {
    EXPECT_TRUE(simulated_bus_chosen("default", nullptr));
    EXPECT_TRUE(simulated_bus_chosen("/tmp/bus.conf", "ftdi"));
    EXPECT_TRUE(simulated_bus_chosen(nullptr, "sim"));
    EXPECT_TRUE(simulated_bus_chosen("", "sim"));
    EXPECT_FALSE(simulated_bus_chosen(nullptr, nullptr));
    EXPECT_FALSE(simulated_bus_chosen("", "ftdi"));
    EXPECT_FALSE(simulated_bus_chosen("", nullptr));
}

TEST_F(SimulatedSourceTest, OpeningReadsEveryValue) {
    source.open(controls);
    EXPECT_EQ(controls.caption(), "Simulated Source");
    const auto items = controls.items(ids::kDevices);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_NE(items[0].find("sensor"), std::string::npos);
    EXPECT_NE(items[1].find("programmer"), std::string::npos);
    EXPECT_EQ(controls.text(ids::kPowerEdit), "-10.00");
    EXPECT_EQ(controls.scroll_position(ids::kPowerBar), -1000);
    EXPECT_FALSE(controls.checked(ids::kRfOff));
    EXPECT_EQ(controls.text(ids::kFrequencyEdit), "50"); // MHz
    EXPECT_EQ(controls.text(ids::kTemperatureEdit), "30.0");
    EXPECT_EQ(controls.text(ids::kTemperatureUnit), "'C");
    EXPECT_TRUE(controls.checked(ids::kPlugged));
    EXPECT_FALSE(controls.checked(ids::kSilent));
    EXPECT_TRUE(controls.enabled(ids::kPowerEdit));

    // A programmer cannot be adjusted.
    controls.set_selection(ids::kDevices, 1);
    source.clicked(controls, ids::kDevices);
    EXPECT_FALSE(controls.enabled(ids::kPowerEdit));
    EXPECT_FALSE(controls.enabled(ids::kPlugged));
}

TEST_F(SimulatedSourceTest, ChangesGoOutAtOnceAndShowWhatIsReadBack) {
    source.open(controls);
    controls.set_text(ids::kPowerEdit, "-20.004");
    source.edited(controls, ids::kPowerEdit);
    EXPECT_EQ(sim_get(0, "power_dbm"), "-20");
    EXPECT_EQ(controls.text(ids::kPowerEdit), "-20.00");
    EXPECT_EQ(controls.scroll_position(ids::kPowerBar), -2000);

    source.scrolled(controls, ids::kPowerBar, ScrollAction::kThumbTrack, 1234);
    EXPECT_EQ(read_number(sim_get(0, "power_dbm")), 12.34);
    source.scrolled(controls, ids::kPowerBar, ScrollAction::kLineUp, 0);
    EXPECT_EQ(controls.text(ids::kPowerEdit), "12.33");

    controls.set_checked(ids::kRfOff, true);
    source.clicked(controls, ids::kRfOff);
    EXPECT_EQ(sim_get(0, "power_dbm"), "off");
    controls.set_checked(ids::kRfOff, false);
    source.clicked(controls, ids::kRfOff);
    EXPECT_EQ(controls.text(ids::kPowerEdit), "12.33");

    controls.set_selection(ids::kFrequencyUnit, 2); // GHz
    controls.set_text(ids::kFrequencyEdit, "2.45");
    source.edited(controls, ids::kFrequencyEdit);
    EXPECT_EQ(read_number(sim_get(0, "frequency_hz")), 2.45e9);
    EXPECT_EQ(controls.text(ids::kFrequencyEdit), "2.45");

    controls.set_checked(ids::kPlugged, false);
    source.clicked(controls, ids::kPlugged);
    EXPECT_EQ(sim_get(0, "plugged"), "0");
    controls.set_checked(ids::kSilent, true);
    source.clicked(controls, ids::kSilent);
    EXPECT_EQ(sim_get(0, "silent"), "1");

    controls.set_text(ids::kNoiseEdit, "3.5");
    source.edited(controls, ids::kNoiseEdit);
    EXPECT_EQ(read_number(sim_get(0, "noise_uv")), 3.5);
}

TEST_F(SimulatedSourceTest, TemperaturesInTheApplicationsUnitAndRefusals) {
    state.temperature_celsius = false;
    source.open(controls);
    EXPECT_EQ(controls.text(ids::kTemperatureEdit), "86.0");
    EXPECT_EQ(controls.text(ids::kTemperatureUnit), "'F");
    EXPECT_EQ(controls.text(ids::kAirTemperatureUnit), "'F");
    controls.set_text(ids::kAirTemperatureEdit, "104");
    source.edited(controls, ids::kAirTemperatureEdit);
    EXPECT_EQ(read_number(sim_get(0, "air_temperature_c")), 40.0);
    EXPECT_EQ(controls.text(ids::kAirTemperatureEdit), "104.0");

    controls.set_text(ids::kTemperatureEdit, "300");
    source.edited(controls, ids::kTemperatureEdit);
    EXPECT_EQ(read_number(sim_get(0, "temperature_c")), 30.0);
    EXPECT_EQ(controls.text(ids::kTemperatureEdit), "86.0"); // restored
    EXPECT_FALSE(controls.text(ids::kStatus).empty());

    // A value the simulator refuses shows its reason and puts the control back.
    controls.set_text(ids::kPowerEdit, "99");
    source.edited(controls, ids::kPowerEdit);
    EXPECT_FALSE(controls.text(ids::kStatus).empty());
    EXPECT_EQ(controls.text(ids::kPowerEdit), "-10.00");
    EXPECT_EQ(sim_get(0, "power_dbm"), "-10");
}

} // namespace
