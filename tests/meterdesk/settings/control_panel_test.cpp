// The measurement control panel's logic against the simulated sensor: what opening shows in
// each mode, the immediate controls and what they hand to the library, and Apply with its
// ranges, messages and order.
#include "meterdesk/settings/control_panel.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "meterdesk/core/app_state.h"

#include <cmath>
#include <vector>

namespace {

using namespace meterdesk_test;
using meterdesk::DialogAction;
using Kind = UiCall::Kind;
namespace ids = meterdesk::control_panel;

const double kRefused = std::nan("");

class ControlPanelTest : public SettingsTest {
  protected:
    // The user's actions on the panel.
    void toggle(int id) {
        panel.set_checked(id, !panel.checked(id));
        logic.clicked(panel, id);
    }
    void choose(int id) {
        panel.set_checked(id, true);
        logic.clicked(panel, id);
    }
    DialogAction press(int id) { return logic.clicked(panel, id); }
    void type(int id, const std::string &text) { panel.set_text(id, text); }

    // Apply; the messages it showed ("caption|text").
    std::vector<std::string> apply() {
        const auto mark = ui.size();
        press(ids::kApply);
        std::vector<std::string> shown;
        for (const UiCall &call : ui.of_kind(Kind::message, mark)) {
            EXPECT_EQ(call.icon, MessageIcon::kExclamation);
            EXPECT_EQ(call.buttons, MessageButtons::kOk);
            shown.push_back(call.caption + "|" + call.text);
        }
        return shown;
    }

    void open() { logic.open(panel); }

    FakeControls panel{std::vector<int>(ids::kAllControls.begin(), ids::kAllControls.end())};
    int help_shown = 0;
    int box_refreshed = 0;
    meterdesk::ControlPanel logic{
        state, ui, {[this] { ++help_shown; }, [this] { ++box_refreshed; }}};
};

TEST_F(ControlPanelTest, OpeningInDbmShowsEverySettingOfTheConnect) {
    connect();
    open();
    EXPECT_TRUE(state.panel_open);
    EXPECT_EQ(panel.caption(), "Measurement Control Panel for " + state.sensor_model.get());
    EXPECT_TRUE(panel.checked(ids::kLog));
    EXPECT_FALSE(panel.checked(ids::kLinear));
    EXPECT_FALSE(panel.enabled(ids::kVolts));

    EXPECT_EQ(panel.text(ids::kFrequencyEdit), "50.0");
    EXPECT_TRUE(panel.checked(ids::kMhz));
    EXPECT_FALSE(panel.checked(ids::kGhz));
    EXPECT_TRUE(panel.checked(ids::kUseTable));
    EXPECT_FALSE(panel.enabled(ids::kCalFactorEdit));
    char cal[16];
    std::snprintf(cal, sizeof cal, "%5.1f", state.cal_factor * 100.0);
    EXPECT_EQ(panel.text(ids::kCalFactorEdit), cal);

    EXPECT_EQ(panel.text(ids::kOffsetGroup), "Measurement Offset (dB)");
    EXPECT_EQ(panel.text(ids::kOffsetEdit), "0.00");
    EXPECT_FALSE(panel.enabled(ids::kOffsetEdit));
    EXPECT_EQ(panel.text(ids::kDutyEdit), "100.0");
    EXPECT_FALSE(panel.enabled(ids::kDutyEdit));
    EXPECT_TRUE(panel.checked(1287));
    EXPECT_FALSE(panel.checked(1284));

    EXPECT_EQ(panel.text(ids::kRelativeEdit), "0.00");
    EXPECT_EQ(panel.text(ids::kRelativeUnitLabel), "(dBm)");
    for (int id : {ids::kRelativeSet, ids::kRelativeAutoSet, ids::kRelativeEdit, ids::kMaxMinRecord,
                   ids::kMaxMinClear})
        EXPECT_FALSE(panel.enabled(id)) << id;
    EXPECT_TRUE(panel.checked(ids::kRelativeAutoSet));

    EXPECT_EQ(panel.text(ids::kHighLimitLabel), "High (dBm)");
    EXPECT_EQ(panel.text(ids::kLowLimitLabel), "Low (dBm)");
    EXPECT_EQ(panel.text(ids::kHighLimitEdit), "20.00");
    EXPECT_EQ(panel.text(ids::kLowLimitEdit), "-50.00");
    EXPECT_FALSE(panel.enabled(ids::kHighLimitEdit));
    EXPECT_FALSE(panel.enabled(ids::kLimitsBeep));

    EXPECT_TRUE(panel.checked(ids::kInfoShow));
    EXPECT_TRUE(panel.checked(ids::kNumeric));
    EXPECT_TRUE(panel.checked(ids::kMeterAuto));
    EXPECT_FALSE(panel.enabled(ids::kMeterMinEdit));
    EXPECT_EQ(panel.text(ids::kMeterMinEdit), "-50.0");
    EXPECT_EQ(panel.text(ids::kMeterMaxEdit), "20.0");
    EXPECT_EQ(panel.text(ids::kMeterMinLabel), "Min (dBm)");
    EXPECT_EQ(panel.text(ids::kMeterMaxLabel), "Max (dBm)");
    const std::vector<std::string> two_units = {"uW", "mW"};
    EXPECT_EQ(panel.items(ids::kMeterUnitList), two_units);
    EXPECT_EQ(panel.items(ids::kLimitsUnitList), two_units);
    EXPECT_EQ(panel.selection(ids::kMeterUnitList), 1);
    EXPECT_EQ(panel.selection(ids::kLimitsUnitList), 1);
    for (int id : ids::kUnitListControls) EXPECT_FALSE(panel.enabled(id)) << id;
}

TEST_F(ControlPanelTest, InVoltsAndTemperatureOnlyTheModeRadiosCloseAndHelpRespond) {
    connect();
    for (int mode : {ids::kTemperature, ids::kVolts}) {
        state.meas_mode = mode;
        open();
        for (int id : ids::kSettingControls) EXPECT_FALSE(panel.enabled(id)) << id;
        for (int id : ids::kUnitListControls) EXPECT_FALSE(panel.enabled(id)) << id;
        for (int id : {ids::kLinear, ids::kLog, ids::kTemperature, ids::kClose, ids::kHelp})
            EXPECT_TRUE(panel.enabled(id)) << id;
        EXPECT_FALSE(panel.enabled(ids::kVolts));

        // A stray event on a greyed control changes nothing.
        const auto mark = ui.size();
        toggle(ids::kOffsetEnable);
        toggle(ids::kLimitsEnable);
        press(ids::kApply);
        EXPECT_FALSE(state.offset_enabled);
        EXPECT_FALSE(state.limits_enabled);
        EXPECT_EQ(ui.count(Kind::message, mark), 0);
    }
}

TEST_F(ControlPanelTest, ModeRadiosSelectTheModeAndShowItsUnits) {
    connect();
    state.display_setup = 2; // both
    open();
    auto mark = ui.size();
    choose(ids::kLinear);
    EXPECT_EQ(state.meas_mode, meterdesk::kModeLinear);
    EXPECT_EQ(state.readout_top, -25);
    EXPECT_EQ(ui.repaints(RepaintRequest::kFrame, mark), 1);
    EXPECT_EQ(ui.repaints(RepaintRequest::kStatusPanel, mark), 1);
    EXPECT_EQ(panel.text(ids::kOffsetGroup), "Measurement Multiplier");
    EXPECT_EQ(panel.text(ids::kOffsetEdit), "1.000");
    EXPECT_EQ(panel.text(ids::kRelativeEdit), "1.00");
    EXPECT_EQ(panel.text(ids::kRelativeUnitLabel), "(mW)");
    EXPECT_EQ(panel.text(ids::kHighLimitLabel), "High (mW)");
    EXPECT_EQ(panel.text(ids::kHighLimitEdit), "100.00");
    EXPECT_EQ(panel.text(ids::kLowLimitEdit), "0.00");
    EXPECT_EQ(panel.text(ids::kMeterMinLabel), "Min (mW)");
    EXPECT_EQ(panel.text(ids::kMeterMinEdit), "0.000");
    EXPECT_EQ(panel.text(ids::kMeterMaxEdit), "100.00");
    EXPECT_TRUE(panel.checked(ids::kLinear));
    EXPECT_FALSE(panel.checked(ids::kLog));

    mark = ui.size();
    choose(ids::kTemperature);
    EXPECT_EQ(state.meas_mode, meterdesk::kModeTemperature);
    EXPECT_EQ(state.readout_top, 20);
    EXPECT_EQ(ui.repaints(RepaintRequest::kTemperatureLabels, mark), 1);
    for (int id : ids::kSettingControls) EXPECT_FALSE(panel.enabled(id)) << id;

    choose(ids::kLog);
    EXPECT_EQ(state.meas_mode, meterdesk::kModeLog);
    EXPECT_EQ(state.readout_top, -25);
    EXPECT_TRUE(panel.enabled(ids::kApply));
    EXPECT_EQ(panel.text(ids::kOffsetGroup), "Measurement Offset (dB)");
}

TEST_F(ControlPanelTest, FrequencyRangesFollowTheModel) {
    const struct {
        int model;
        const char *typed;
        bool ghz;
        double hz; // 0: refused
        const char *range_text;
    } cases[] = {
        {0, "0.009", false, 9e3, nullptr},       {0, "8", true, 8e9, nullptr},
        {0, "8.001", true, 0, "9KHz to 8GHz"},   {0, "0.0089", false, 0, "9KHz to 8GHz"},
        {1, "12.4", true, 12.4e9, nullptr},      {1, "9.9", false, 0, "10MHz to 12.4GHz"},
        {4, "40", true, 40e9, nullptr},          {4, "41", true, 0, "10MHz to 40.0GHz"},
        {5, "74.9", true, 0, "75GHz to 110GHz"}, {5, "110", true, 110e9, nullptr},
        {6, "50", false, 50e6, nullptr}, // the library's own range for an unknown model
        {6, "75", true, 0, "10MHz to 40.0GHz"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string("model ") + std::to_string(c.model) + " " + c.typed);
        connect(model_keys(c.model));
        ASSERT_EQ(state.model_index, c.model);
        open();
        const double before = state.meas_frequency_hz;
        choose(c.ghz ? ids::kGhz : ids::kMhz);
        type(ids::kFrequencyEdit, c.typed);
        const auto messages = apply();
        if (c.hz != 0) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(state.meas_frequency_hz, c.hz);
            EXPECT_EQ(library().frequency, c.hz);
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0], std::string("Frequency|Valid frequency range: ") + c.range_text);
            EXPECT_EQ(state.meas_frequency_hz, before);
            EXPECT_EQ(panel.focus(), ids::kFrequencyEdit);
            EXPECT_EQ(panel.text(ids::kFrequencyEdit), c.typed) << "the typed text stays";
        }
    }
}

TEST_F(ControlPanelTest, TheBandModelReadsItsEquationAfterANewFrequency) {
    connect(model_keys(5));
    open();
    for (auto &e : state.equation_prams) e = 0.0;
    type(ids::kFrequencyEdit, "100");
    EXPECT_TRUE(apply().empty());
    EXPECT_EQ(library().frequency, 100e9);
    double equation[meterdesk::kEquationPramsSize] = {};
    {
        meterdesk::SensorLease lease(state);
        ASSERT_NE(SensorEquationPrams(lease.get(), equation), 0);
    }
    for (std::size_t i = 0; i < meterdesk::kEquationPramsSize; ++i)
        EXPECT_EQ(state.equation_prams[i], equation[i]) << i;
    EXPECT_NE(state.equation_prams[1], 0.0);
}

TEST_F(ControlPanelTest, TheUnitCheckedAtApplyCountsNotTheOneAtTyping) {
    connect();
    open();
    type(ids::kFrequencyEdit, "2");
    choose(ids::kGhz);
    EXPECT_FALSE(state.freq_units_mhz);
    EXPECT_FALSE(panel.checked(ids::kMhz));
    EXPECT_TRUE(apply().empty());
    EXPECT_EQ(state.meas_frequency_hz, 2e9);
    EXPECT_EQ(library().frequency, 2e9);
    // The cal factor in force at 2 GHz is shown.
    char cal[16];
    std::snprintf(cal, sizeof cal, "%5.1f", library().cal_factor);
    EXPECT_EQ(panel.text(ids::kCalFactorEdit), cal);
    EXPECT_NEAR(state.cal_factor * 100.0, library().cal_factor, 1e-9);

    type(ids::kFrequencyEdit, "500");
    const auto messages = apply();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Frequency|Valid frequency range: 10MHz to 26.5GHz"); // 500 GHz
}

TEST_F(ControlPanelTest, FrequenciesThatTheFormatWouldRoundShowMoreDecimals) {
    connect(model_keys(0));
    const struct {
        double hz;
        bool mhz;
        const char *text;
    } cases[] = {
        {9e3, true, "0.009"},     {50e6, true, "50.0"},   {500e3, true, "0.50"},
        {2.5e6, true, "2.5"},     {2.4e9, false, "2.40"}, {12345678.0, true, "12.345678"},
        {9e3, false, "0.000009"},
    };
    for (const auto &c : cases) {
        state.meas_frequency_hz = c.hz;
        state.freq_units_mhz = c.mhz;
        open();
        EXPECT_EQ(panel.text(ids::kFrequencyEdit), c.text) << c.hz;
        // Apply of what is shown keeps the frequency.
        EXPECT_TRUE(apply().empty());
        EXPECT_NEAR(state.meas_frequency_hz, c.hz, c.hz * 1e-12);
    }
}

TEST_F(ControlPanelTest, ManualCalFactorIsSentInPercentAndLeavesTheFrequency) {
    connect();
    open();
    toggle(ids::kUseTable);
    EXPECT_FALSE(state.cal_from_table);
    EXPECT_TRUE(panel.enabled(ids::kCalFactorEdit));
    EXPECT_FALSE(panel.enabled(ids::kFrequencyEdit));
    EXPECT_TRUE(state.status_repaint_request);
    type(ids::kFrequencyEdit, "garbage that is never read");

    const struct {
        const char *typed;
        bool accepted;
    } cases[] = {{"150", true},    {"150.1", false}, {"nan", false}, {"50", true},
                 {"49.99", false}, {" 97.5%", true}, {"inf", false}};
    double in_force = 1.0;
    for (const auto &c : cases) {
        type(ids::kCalFactorEdit, c.typed);
        const auto messages = apply();
        if (c.accepted) {
            EXPECT_TRUE(messages.empty()) << c.typed;
            in_force = meterdesk::read_number(c.typed) * 0.01;
        } else {
            EXPECT_EQ(messages,
                      std::vector<std::string>{"Cal Factor|Valid cal factor range: 50 to 150"})
                << c.typed;
            EXPECT_EQ(panel.focus(), ids::kCalFactorEdit);
        }
        EXPECT_DOUBLE_EQ(state.cal_factor, in_force) << c.typed;
        EXPECT_DOUBLE_EQ(library().cal_factor, in_force * 100.0) << c.typed;
        EXPECT_EQ(library().frequency, 50e6);
    }
}

TEST_F(ControlPanelTest, OffsetInDbAndAsAMultiplier) {
    connect();
    open();
    toggle(ids::kOffsetEnable);
    EXPECT_TRUE(state.offset_enabled);
    EXPECT_TRUE(library().offset_on);
    EXPECT_TRUE(panel.enabled(ids::kOffsetEdit));

    const struct {
        int mode;
        const char *typed;
        double db; // kRefused: refused
        const char *message;
    } cases[] = {
        {ids::kLog, "10", 10.0, nullptr},
        {ids::kLog, "100", 100.0, nullptr},
        {ids::kLog, "-50.01", kRefused, "Measurement offset range: -50dB to +100dB"},
        {ids::kLinear, "1E3", 30.0, nullptr},
        {ids::kLinear, "0.00001", -50.0, nullptr},
        {ids::kLinear, "1e10", 100.0, nullptr},
        {ids::kLinear, "1.1e10", kRefused, "Measurement offset range: 0.00001 to 10e+9"},
        {ids::kLinear, "0", kRefused, "Measurement offset range: 0.00001 to 10e+9"},
        {ids::kLinear, "0.000009", kRefused, "Measurement offset range: 0.00001 to 10e+9"},
    };
    double in_force = 0.0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        choose(c.mode);
        type(ids::kOffsetEdit, c.typed);
        const auto messages = apply();
        if (std::isnan(c.db)) {
            EXPECT_EQ(messages, std::vector<std::string>{std::string("Offset|") + c.message});
        } else {
            EXPECT_TRUE(messages.empty());
            in_force = c.db;
        }
        EXPECT_NEAR(state.offset_db, in_force, 1e-9);
        EXPECT_NEAR(state.offset_multiplier, std::pow(10.0, in_force / 10.0),
                    1e-9 * std::pow(10.0, in_force / 10.0));
        EXPECT_NEAR(library().offset, in_force, 1e-9);
    }
    // The multiplier as the linear mode shows it.
    open();
    EXPECT_EQ(panel.text(ids::kOffsetEdit), "10.00E+09");
}

TEST_F(ControlPanelTest, MultiplierTextsAndTheUnitListsThatFollowThem) {
    connect();
    state.meas_mode = meterdesk::kModeLinear;
    state.offset_enabled = true;
    const struct {
        double multiplier;
        const char *text;
        std::size_t units;
    } cases[] = {
        {2e9, "2.00E+09", 5},     {1234567.0, "1.23E+06", 4}, {5000.0, "5.00E+03", 3},
        {9.99, "9.990", 2},       {10.0, "10.000", 3},        {0.5, "500.00E-03", 2},
        {0.0005, "500.0E-06", 2},
    };
    for (const auto &c : cases) {
        state.offset_multiplier = c.multiplier;
        open();
        EXPECT_EQ(panel.text(ids::kOffsetEdit), c.text);
        EXPECT_EQ(panel.items(ids::kMeterUnitList).size(), c.units) << c.multiplier;
        EXPECT_EQ(panel.items(ids::kLimitsUnitList).size(), c.units) << c.multiplier;
        // Each text reads back as the multiplier it shows (to its digits).
        EXPECT_NEAR(meterdesk::read_number(c.text), c.multiplier, c.multiplier * 0.005);
    }

    // Apply of a multiplier rebuilds the lists at once; a unit beyond them is not selected.
    state.offset_multiplier = 1.0;
    state.meter_unit_index = 2; // W
    open();
    EXPECT_EQ(panel.selection(ids::kMeterUnitList), -1);
    type(ids::kOffsetEdit, "10000");
    EXPECT_TRUE(apply().empty());
    EXPECT_EQ(panel.items(ids::kMeterUnitList), (std::vector<std::string>{"uW", "mW", "W", "KW"}));
    EXPECT_EQ(panel.selection(ids::kMeterUnitList), 2);
}

TEST_F(ControlPanelTest, ARefusedDutyCycleKeepsTheOffsetAppliedBeforeIt) {
    connect();
    open();
    toggle(ids::kOffsetEnable);
    toggle(ids::kDutyEnable);
    EXPECT_TRUE(library().duty_on);
    type(ids::kOffsetEdit, "5");
    type(ids::kDutyEdit, "0");
    toggle(ids::kLimitsEnable);
    type(ids::kHighLimitEdit, "10");
    EXPECT_EQ(apply(), std::vector<std::string>{"Duty Cycle|Duty cycle range: 0.1 to 100%"});
    EXPECT_EQ(library().offset, 5.0);
    EXPECT_EQ(state.offset_db, 5.0);
    EXPECT_EQ(state.duty_cycle_percent, 100.0);
    EXPECT_EQ(library().duty_cycle, 100.0);
    EXPECT_EQ(state.limit_high_db, 20.0) << "the steps after the refusal are not run";
    EXPECT_EQ(panel.focus(), ids::kDutyEdit);
    EXPECT_EQ(panel.text(ids::kDutyEdit), "0");

    type(ids::kDutyEdit, "0.1");
    EXPECT_TRUE(apply().empty());
    EXPECT_DOUBLE_EQ(library().duty_cycle, 0.1);
    EXPECT_EQ(state.limit_high_db, 10.0);
}

TEST_F(ControlPanelTest, ManualRelativeReferenceRangesFollowTheOffset) {
    connect();
    open();
    // A manual reference is sent at every Apply, with relative mode on or off.
    toggle(ids::kRelativeEnable);
    toggle(ids::kRelativeAutoSet);
    toggle(ids::kRelativeEnable);
    EXPECT_FALSE(state.relative_auto_set);
    EXPECT_FALSE(panel.enabled(ids::kRelativeEdit)) << "greyed while relative mode is off";
    const struct {
        double offset; // 0: offset off
        int mode;
        const char *typed;
        bool accepted;
        const char *message;
    } cases[] = {
        {10, ids::kLog, "30", true, nullptr},
        {10, ids::kLog, "30.5", false, "Manual set point range: -50dBm to +30dBm"},
        {10, ids::kLog, "-50.1", false, "Manual set point range: -50dBm to +30dBm"},
        {0, ids::kLog, "20.01", false, "Manual set point range: -50dBm to +20dBm"},
        {10, ids::kLinear, "1000", true, nullptr},
        {10, ids::kLinear, "1001", false, "Relative set point max is 1E03 mW"},
        {0, ids::kLinear, "100", true, nullptr},
        {0, ids::kLinear, "100.5", false, "Relative set point max is 100mW"},
        {0, ids::kLinear, "0", false, "Relative set point max is 100mW"},
        {0, ids::kLinear, "-1", false, "Relative set point max is 100mW"},
        {-5, ids::kLog, "20", true, nullptr}, // a negative offset gives no headroom
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        state.offset_enabled = c.offset != 0;
        state.offset_db = c.offset;
        state.offset_multiplier = std::pow(10.0, c.offset / 10);
        choose(c.mode);
        type(ids::kRelativeEdit, c.typed);
        const double db_before = library().relative_dbm;
        const auto messages = apply();
        if (c.accepted) {
            EXPECT_TRUE(messages.empty());
            const double typed = meterdesk::read_number(c.typed);
            const double db = c.mode == ids::kLog ? typed : 10 * std::log10(typed);
            EXPECT_NEAR(state.relative_ref_db, db, 1e-9);
            EXPECT_NEAR(state.relative_ref_mw, std::pow(10.0, db / 10), 1e-9);
            EXPECT_NEAR(library().relative_dbm, db, 1e-9);
            EXPECT_NEAR(library().relative_mw, std::pow(10.0, db / 10), 1e-9);
        } else {
            EXPECT_EQ(messages,
                      std::vector<std::string>{std::string("Relative Mode|") + c.message});
            EXPECT_EQ(library().relative_dbm, db_before);
        }
    }
}

TEST_F(ControlPanelTest, LimitsInDbm) {
    connect();
    open();
    toggle(ids::kLimitsEnable);
    EXPECT_TRUE(panel.enabled(ids::kHighLimitEdit));
    EXPECT_TRUE(panel.enabled(ids::kLimitsBeep));
    const struct {
        double offset;
        const char *high;
        const char *low;
        const char *message; // nullptr: stored
        int unit_index;
    } cases[] = {
        {0, "20", "-90", nullptr, 1},
        {0, "20.1", "-50", "Measurement High Limit|Valid range: -50dBm to +20dBm", 0},
        {0, "10", "-90.1", "Measurement Low Limit|Valid range: -90dBm to +20dBm", 0},
        {0, "-50.1", "-60", "Measurement High Limit|Valid range: -50dBm to +20dBm", 0},
        {10, "25", "0", nullptr, 1},
        {10, "30", "0", nullptr, 2},
        {10, "30.1", "0", "Measurement High Limit|Valid range: -50dBm to +30dBm", 0},
        {0, "0", "5", "Measurement Limits|High level must be greater than low limit", 0},
        {0, "10", "10",
         "Measurement Limits|Low and high equal\n(low limit must be less than high limit)", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.high) + " / " + c.low);
        state.offset_enabled = c.offset != 0;
        state.offset_db = c.offset;
        state.limit_high_db = 20.0;
        state.limit_low_db = -50.0;
        open(); // the offset edit shows the offset that Apply sends again
        type(ids::kHighLimitEdit, c.high);
        type(ids::kLowLimitEdit, c.low);
        const auto messages = apply();
        if (c.message == nullptr) {
            EXPECT_TRUE(messages.empty());
            const double high = meterdesk::read_number(c.high);
            EXPECT_EQ(state.limit_high_db, high);
            EXPECT_EQ(state.limit_low_db, meterdesk::read_number(c.low));
            EXPECT_NEAR(state.limit_high_mw, std::pow(10.0, high / 10), 1e-9);
            EXPECT_EQ(state.limits_unit_index, c.unit_index);
            EXPECT_EQ(state.limits_unit_mw, c.unit_index == 2 ? 1000.0 : 1.0);
        } else {
            EXPECT_EQ(messages, std::vector<std::string>{c.message});
            EXPECT_EQ(state.limit_high_db, 20.0) << "nothing stored";
            EXPECT_EQ(state.limit_low_db, -50.0);
        }
    }
}

TEST_F(ControlPanelTest, LimitsInLinearModeAndTheirUnitList) {
    connect();
    open();
    choose(ids::kLinear);
    toggle(ids::kLimitsEnable);
    EXPECT_TRUE(panel.enabled(ids::kLimitsUnitList));
    EXPECT_FALSE(panel.enabled(ids::kMeterUnitList)) << "the meter scales itself";

    const struct {
        const char *high;
        const char *low;
        const char *message;
    } cases[] = {
        {"100", "0", nullptr},
        {"100.5", "0", "Measurement High Limit|Valid range: 0 to 100.00mW"},
        {"100", "101", "Measurement Low Limit|Valid range: 0 to 100mW"},
        {"-1", "0", "Measurement High Limit|Valid range: 0 to 100.00mW"},
        {"0", "0",
         "Measurement Limits|Low and high equal\n(low limit must be less than high limit)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.high) + " / " + c.low);
        state.limit_high_mw = 50.0;
        type(ids::kHighLimitEdit, c.high);
        type(ids::kLowLimitEdit, c.low);
        const auto messages = apply();
        if (c.message == nullptr) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(state.limit_high_mw, 100.0);
            EXPECT_EQ(state.limit_low_mw, 0.0);
            EXPECT_EQ(state.limit_low_db, -80.0);
            EXPECT_NEAR(state.limit_high_db, 20.0, 1e-12);
        } else {
            EXPECT_EQ(messages, std::vector<std::string>{c.message});
            EXPECT_EQ(state.limit_high_mw, 50.0);
        }
    }

    // mW to W: the number shown stays and now counts in watts.
    type(ids::kHighLimitEdit, "100");
    type(ids::kLowLimitEdit, "1");
    ASSERT_TRUE(apply().empty());
    panel.set_selection(ids::kLimitsUnitList, 0); // uW is offered with a multiplier of 1
    logic.selection_changed(panel, ids::kLimitsUnitList);
    EXPECT_EQ(state.limits_unit_index, 0);
    EXPECT_EQ(panel.text(ids::kHighLimitLabel), "High (uW)");
    EXPECT_EQ(panel.text(ids::kHighLimitEdit), "100.00");
    EXPECT_DOUBLE_EQ(state.limit_high_mw, 0.1);

    state.offset_multiplier = 10.0;
    open();
    panel.set_selection(ids::kLimitsUnitList, 2);
    logic.selection_changed(panel, ids::kLimitsUnitList);
    EXPECT_EQ(panel.text(ids::kHighLimitLabel), "High (W)");
    EXPECT_EQ(panel.text(ids::kLowLimitLabel), "Low (W)");
    EXPECT_EQ(panel.text(ids::kHighLimitEdit), "100.00");
    EXPECT_DOUBLE_EQ(state.limit_high_mw, 100000.0);
    EXPECT_DOUBLE_EQ(state.limit_low_mw, 1000.0);
    EXPECT_NEAR(state.limit_high_db, 20.0, 1e-12) << "the dB fields wait for Apply";
}

TEST_F(ControlPanelTest, LimitsEnableClearsTheAlarmsAndRelativeModeChangesTheirMeaning) {
    connect();
    open();
    state.limit_low_alarm = true;
    state.limit_high_alarm = true;
    toggle(ids::kLimitsEnable);
    EXPECT_FALSE(state.limit_low_alarm);
    EXPECT_FALSE(state.limit_high_alarm);
    toggle(ids::kLimitsBeep);
    EXPECT_TRUE(state.limits_beep);

    toggle(ids::kRelativeEnable);
    EXPECT_TRUE(library().relative_on);
    EXPECT_TRUE(state.maxmin_reset_request);
    EXPECT_TRUE(panel.enabled(ids::kRelativeSet));
    EXPECT_FALSE(panel.enabled(ids::kRelativeEdit));
    EXPECT_EQ(panel.text(ids::kHighLimitLabel), "High (dB)");
    EXPECT_EQ(panel.text(ids::kMeterMinLabel), " Min (dB)");
    EXPECT_EQ(panel.text(ids::kMeterMaxLabel), "Max (dB)");
    type(ids::kHighLimitEdit, "20.5");
    EXPECT_EQ(apply(),
              std::vector<std::string>{"Measurement High Limit|Valid range: -50dB to +20dB"});

    choose(ids::kLinear);
    EXPECT_EQ(panel.text(ids::kHighLimitLabel), "High (%)");
    EXPECT_EQ(panel.text(ids::kMeterMinLabel), "  Min (%)");
    EXPECT_EQ(panel.text(ids::kMeterMaxLabel), "  Max (%)");
    type(ids::kHighLimitEdit, "2e9");
    type(ids::kLowLimitEdit, "5");
    EXPECT_EQ(apply(), std::vector<std::string>{"Measurement High Limit|Valid range: 0 to 1e9%"});
    type(ids::kHighLimitEdit, "1e9");
    ASSERT_TRUE(apply().empty());
    EXPECT_EQ(state.limit_high_mw, 1e9);
    open();
    EXPECT_EQ(panel.text(ids::kHighLimitEdit), "1000.0e6");
    EXPECT_EQ(panel.text(ids::kLowLimitEdit), "5.00");
    for (int id : ids::kUnitListControls) EXPECT_FALSE(panel.enabled(id)) << id;

    toggle(ids::kRelativeEnable);
    EXPECT_FALSE(library().relative_on);
    for (int id : {ids::kRelativeAutoSet, ids::kRelativeSet, ids::kRelativeEdit, ids::kMaxMinRecord,
                   ids::kMaxMinClear})
        EXPECT_FALSE(panel.enabled(id)) << id;
}

TEST_F(ControlPanelTest, MeterScaleRangesAndItsAutoSwitch) {
    connect();
    open();
    type(ids::kMeterMinEdit, "junk");
    type(ids::kMeterMaxEdit, "junk");
    EXPECT_TRUE(apply().empty()) << "not read while Auto is checked";

    toggle(ids::kMeterAuto);
    EXPECT_FALSE(state.meter_auto);
    EXPECT_TRUE(panel.enabled(ids::kMeterMinEdit));
    EXPECT_EQ(panel.text(ids::kMeterMinEdit), "-50.0");
    const struct {
        int mode;
        const char *minimum;
        const char *maximum;
        const char *message;
    } cases[] = {
        {ids::kLog, "120", "120", "Meter minimum must be less than meter maximum"},
        {ids::kLog, "-80.1", "0", "Meter minimum must be in range -80dBm to +120dBm"},
        {ids::kLog, "-80", "120.1", "Meter maxmum must be in range -80dBm to +120dBm"},
        // Linear values count in the meter's unit, mW here.
        {ids::kLinear, "-0.1", "10", "Meter minimum must be in range 0 to 15MW"},
        {ids::kLinear, "0", "15000000001", "Meter maximum must be in range 0 to 15MW"},
        {ids::kLinear, "0", "250", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.minimum) + " / " + c.maximum);
        choose(c.mode);
        type(ids::kMeterMinEdit, c.minimum);
        type(ids::kMeterMaxEdit, c.maximum);
        const auto messages = apply();
        if (c.message)
            EXPECT_EQ(messages,
                      std::vector<std::string>{std::string("Meter Scaling|") + c.message});
        else
            EXPECT_TRUE(messages.empty());
    }
    EXPECT_EQ(state.meter_min_mw, 0.0);
    EXPECT_EQ(state.meter_max_mw, 250.0);
    EXPECT_EQ(state.meter_min_db, -80.0);
    EXPECT_EQ(state.meter_max_db, 10 * std::log10(250.0));
    // In dBm mode the unit follows the maximum: 120 dBm is 1e12 mW, megawatts.
    choose(ids::kLog);
    type(ids::kMeterMinEdit, "-80");
    type(ids::kMeterMaxEdit, "120");
    ASSERT_TRUE(apply().empty());
    EXPECT_EQ(state.meter_unit_index, 4);
    EXPECT_EQ(state.meter_unit_mw, 1e9);

    toggle(ids::kMeterAuto);
    EXPECT_TRUE(state.meter_auto);
    EXPECT_FALSE(panel.enabled(ids::kMeterMinEdit));
    EXPECT_FALSE(panel.enabled(ids::kMeterMaxEdit));
}

TEST_F(ControlPanelTest, DisplayRadiosAreRefusedWhileATraceRuns) {
    connect();
    open();
    auto mark = ui.size();
    choose(ids::kMeter);
    EXPECT_EQ(state.display_setup, 1);
    EXPECT_EQ(state.readout_top, 0);
    EXPECT_EQ(ui.repaints(RepaintRequest::kClear, mark), 1);

    state.trace_running = true;
    mark = ui.size();
    choose(ids::kBoth);
    const auto messages = ui.of_kind(Kind::message, mark);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Trace");
    EXPECT_EQ(messages[0].text,
              "Trace still running.\n\nTo stop trace, select new measurement mode.");
    EXPECT_EQ(state.display_setup, 1);
    EXPECT_TRUE(panel.checked(ids::kMeter));
    EXPECT_FALSE(panel.checked(ids::kBoth));
}

TEST_F(ControlPanelTest, ImmediateSwitchesOfRelativeModeResolutionAndTheStatusPanel) {
    connect();
    open();
    toggle(ids::kRelativeEnable);
    toggle(ids::kMaxMinRecord);
    EXPECT_TRUE(state.maxmin_record);
    EXPECT_TRUE(panel.enabled(ids::kMaxMinClear));
    state.maxmin_reset_request = false;
    press(ids::kMaxMinClear);
    EXPECT_TRUE(state.maxmin_reset_request);

    press(ids::kRelativeSet);
    EXPECT_TRUE(state.relative_set_done);
    EXPECT_NEAR(state.relative_ref_db, library().relative_dbm, 1e-12);
    EXPECT_NEAR(state.relative_ref_mw, library().relative_mw, 1e-12);

    toggle(ids::kRelativeAutoSet);
    EXPECT_FALSE(state.relative_auto_set);
    EXPECT_TRUE(panel.enabled(ids::kRelativeEdit));
    EXPECT_FALSE(panel.enabled(ids::kRelativeSet));

    auto mark = ui.size();
    choose(1285);
    EXPECT_EQ(state.resolution_places, 1);
    EXPECT_EQ(state.resolution_radio_id, 1285);
    EXPECT_FALSE(panel.checked(1287));
    EXPECT_EQ(ui.repaints(RepaintRequest::kClear, mark), 1);
    EXPECT_EQ(ui.repaints(RepaintRequest::kFrame, mark), 1);
    {
        meterdesk::SensorLease lease(state);
        char text[32] = {};
        ASSERT_NE(SensorPowerLogStr(lease.get(), text), 0);
        const std::string shown(text);
        const auto point = shown.find('.');
        ASSERT_NE(point, std::string::npos) << shown;
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(shown[point + 1]))) << shown;
        EXPECT_FALSE(point + 2 < shown.size() &&
                     std::isdigit(static_cast<unsigned char>(shown[point + 2])))
            << shown << ": one decimal";
    }

    mark = ui.size();
    toggle(ids::kInfoShow);
    EXPECT_FALSE(state.info_panel_shown);
    EXPECT_FALSE(state.status_repaint_request);
    EXPECT_EQ(ui.repaints(RepaintRequest::kStatusPanel, mark), 1);
    toggle(ids::kInfoShow);
    EXPECT_TRUE(state.info_panel_shown);
    EXPECT_TRUE(state.status_repaint_request);
}

TEST_F(ControlPanelTest, CloseHidesHelpShowsTopicOneAndCommandsRefresh) {
    connect();
    open();
    EXPECT_EQ(press(ids::kHelp), DialogAction::kStay);
    EXPECT_EQ(state.help_topic, 1);
    EXPECT_EQ(help_shown, 1);
    EXPECT_EQ(press(ids::kClose), DialogAction::kClose);
    EXPECT_TRUE(state.panel_open) << "Close only hides the panel";

    state.meas_frequency_hz = 3e9;
    state.freq_units_mhz = false;
    logic.command(panel, ids::kRefreshFrequencyCommand);
    EXPECT_EQ(panel.text(ids::kFrequencyEdit), "3.00");
    EXPECT_TRUE(panel.checked(ids::kGhz));

    state.display_setup = 2;
    logic.command(panel, ids::kRefreshDisplaySetupCommand);
    EXPECT_TRUE(panel.checked(ids::kBoth));
    EXPECT_FALSE(panel.checked(ids::kNumeric));

    state.resolution_radio_id = 1284;
    logic.command(panel, ids::kRefreshResolutionCommand);
    EXPECT_TRUE(panel.checked(1284));
    EXPECT_FALSE(panel.checked(1287));

    state.meas_mode = meterdesk::kModeLinear;
    logic.command(panel, ids::kReselectModeCommand);
    EXPECT_TRUE(panel.checked(ids::kLinear));
    EXPECT_EQ(panel.text(ids::kOffsetGroup), "Measurement Multiplier");
    EXPECT_EQ(state.readout_top, -25);

    // "Use Table" and Apply refresh an open frequency box.
    state.frequency_box_open = true;
    toggle(ids::kUseTable);
    toggle(ids::kUseTable);
    EXPECT_EQ(box_refreshed, 2);
    type(ids::kFrequencyEdit, "1");
    apply();
    EXPECT_EQ(box_refreshed, 3);
}

} // namespace

namespace {

// The main paths paced like a real sensor: Apply, the relative "Set" and the readings that
// follow at another sensor temperature.
class ControlPanelSlow : public ControlPanelTest {};

TEST_F(ControlPanelSlow, ApplyAndSetInRealisticTimingAtAnotherTemperature) {
    connect("timing = realistic\nlatency_ms = 2\ntemperature_c = 40\npower_dbm = -15\n");
    open();
    toggle(ids::kOffsetEnable);
    type(ids::kFrequencyEdit, "1000");
    type(ids::kOffsetEdit, "6");
    EXPECT_TRUE(apply().empty());
    EXPECT_EQ(library().frequency, 1e9);
    EXPECT_EQ(library().offset, 6.0);

    toggle(ids::kRelativeEnable);
    press(ids::kRelativeSet);
    EXPECT_TRUE(state.relative_set_done);
    // The reference is the reading with the offset: about -15 + 6 dBm.
    EXPECT_NEAR(state.relative_ref_db, -9.0, 0.5);
    EXPECT_EQ(state.relative_ref_db, library().relative_dbm);
    // Relative readings go on from there, near 0 dB.
    const auto mark = ui.size();
    ASSERT_TRUE(ui.wait_for(Kind::repaint, 2, static_cast<int>(RepaintRequest::kLiveReadout), mark,
                            10000ms));
    EXPECT_NEAR(state.reading_power, 0.0, 0.5);
}

} // namespace
