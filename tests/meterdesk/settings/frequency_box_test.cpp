// The frequency box's logic against the simulated sensor: what it shows, its ranges (wider than
// the panel's for the 75-110 GHz model), what Apply hands to the library and the panel, and
// that the box is marked closed however it ends.
#include "meterdesk/settings/frequency_box.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "meterdesk/core/app_state.h"

#include <vector>

namespace {

using namespace meterdesk_test;
using meterdesk::DialogAction;
using Kind = UiCall::Kind;
namespace ids = meterdesk::frequency_box;

class FrequencyBoxTest : public SettingsTest {
  protected:
    DialogAction choose(int id) {
        box.set_checked(id, true);
        return logic.clicked(box, id);
    }

    FakeControls box{ids::kFrequencyEdit, ids::kMhz, ids::kGhz, ids::kApply, ids::kCancel};
    int panel_refreshed = 0;
    meterdesk::FrequencyBoxDialog logic{state, ui, [this] { ++panel_refreshed; }};
};

TEST_F(FrequencyBoxTest, ShowsTheFrequencyWithOneDecimalAndGreysWithoutTheTable) {
    connect(model_keys(0));
    const struct {
        double hz;
        bool mhz;
        const char *text;
    } cases[] = {
        {50e6, true, "50.0"}, {9e3, true, "0.009"}, {500e3, true, "0.5"}, {2.4e9, false, "2.40"}};
    for (const auto &c : cases) {
        state.meas_frequency_hz = c.hz;
        state.freq_units_mhz = c.mhz;
        logic.open(box);
        EXPECT_EQ(box.text(ids::kFrequencyEdit), c.text);
        EXPECT_EQ(box.checked(ids::kMhz), c.mhz);
        EXPECT_EQ(box.checked(ids::kGhz), !c.mhz);
        EXPECT_TRUE(state.frequency_box_open);
    }
    for (int id : {ids::kFrequencyEdit, ids::kMhz, ids::kGhz, ids::kApply})
        EXPECT_TRUE(box.enabled(id)) << id;

    state.cal_from_table = false;
    logic.refresh(box); // command 100
    for (int id : {ids::kFrequencyEdit, ids::kMhz, ids::kGhz, ids::kApply})
        EXPECT_FALSE(box.enabled(id)) << id;
    EXPECT_TRUE(box.enabled(ids::kCancel));
    EXPECT_EQ(logic.clicked(box, ids::kApply), DialogAction::kStay);
    EXPECT_EQ(logic.clicked(box, ids::kCancel), DialogAction::kClose);
    EXPECT_FALSE(state.frequency_box_open);
}

TEST_F(FrequencyBoxTest, ApplySendsTheFrequencyRefreshesThePanelAndCloses) {
    connect();
    state.panel_open = true;
    logic.open(box);
    box.set_text(ids::kFrequencyEdit, "18");
    choose(ids::kGhz);
    state.status_repaint_request = false;
    EXPECT_EQ(logic.clicked(box, ids::kApply), DialogAction::kClose);
    EXPECT_EQ(state.meas_frequency_hz, 18e9);
    EXPECT_EQ(library().frequency, 18e9);
    EXPECT_NEAR(state.cal_factor * 100.0, library().cal_factor, 1e-9);
    EXPECT_EQ(panel_refreshed, 1);
    EXPECT_TRUE(state.status_repaint_request);
    EXPECT_FALSE(state.frequency_box_open) << "closed by Apply too";

    // Without an open panel nothing is sent to it; without the status panel it is not marked.
    state.panel_open = false;
    state.info_panel_shown = false;
    state.status_repaint_request = false;
    logic.open(box);
    box.set_text(ids::kFrequencyEdit, "1");
    EXPECT_EQ(logic.clicked(box, ids::kApply), DialogAction::kClose);
    EXPECT_EQ(library().frequency, 1e9);
    EXPECT_EQ(panel_refreshed, 1);
    EXPECT_FALSE(state.status_repaint_request);
}

TEST_F(FrequencyBoxTest, RangesByModel) {
    const struct {
        int model;
        const char *typed;
        bool ghz;
        bool accepted;
        const char *range_text;
    } cases[] = {
        {5, "74.9", true, true, nullptr}, // refused by the panel, taken by the box
        {5, "110.1", true, true, nullptr},
        {5, "74.89", true, false, "75GHz to 110GHz"},
        {5, "110.2", true, false, "75GHz to 110GHz"},
        {0, "0.009", false, true, nullptr},
        {0, "8.001", true, false, "9KHz to 8GHz"},
        {6, "50", false, true, nullptr}, // the library's range of an unknown model
        {6, "75", true, false, "10MHz to 40.0GHz"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string("model ") + std::to_string(c.model) + " " + c.typed);
        connect(model_keys(c.model));
        logic.open(box);
        choose(c.ghz ? ids::kGhz : ids::kMhz);
        box.set_text(ids::kFrequencyEdit, c.typed);
        const double before = state.meas_frequency_hz;
        const auto mark = ui.size();
        const DialogAction action = logic.clicked(box, ids::kApply);
        const auto messages = ui.of_kind(Kind::message, mark);
        const double hz = meterdesk::read_number(c.typed) * (c.ghz ? 1e9 : 1e6);
        if (c.accepted) {
            EXPECT_EQ(action, DialogAction::kClose);
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(state.meas_frequency_hz, hz);
            EXPECT_EQ(library().frequency, hz);
        } else {
            EXPECT_EQ(action, DialogAction::kStay);
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].caption, "Frequency");
            EXPECT_EQ(messages[0].text, std::string("Valid frequency range: ") + c.range_text);
            EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
            EXPECT_EQ(state.meas_frequency_hz, before);
            EXPECT_TRUE(state.frequency_box_open);
            EXPECT_EQ(box.focus(), ids::kFrequencyEdit);
            logic.closed();
        }
    }
}

} // namespace
