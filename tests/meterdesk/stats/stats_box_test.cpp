// The statistics control panel's rules against a fake dialog and the recording Ui.
#include "meterdesk/trace/stats_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/stats_burst.h"
#include "meterdesk/trace/statistics.h"
#include "tests/meterdesk/support/fake_controls.h"
#include "tests/meterdesk/support/fake_ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace meterdesk;
using meterdesk_test::FakeControls;
using meterdesk_test::FakeUi;
namespace ids = meterdesk::stats_box;

FakeControls panel_controls() {
    std::vector<int> all(ids::kAllControls.begin(), ids::kAllControls.end());
    all.push_back(ids::kClose);
    return FakeControls(all);
}

class StatsBoxTest : public ::testing::Test {
  protected:
    AppState state;
    FakeUi ui;
    FakeControls controls = panel_controls();
    StatsBox box{state, ui};
};

TEST_F(StatsBoxTest, OpenShowsTheCommittedChoices) {
    state.stats_samples_choice = 1009;
    state.stats_bins_choice = 1015;
    state.stats_mode = kStatsModeLinear;
    state.stats_save_file = true;
    box.open(controls);
    EXPECT_EQ(controls.caption(), "Stats Control");
    for (int id : ids::kSampleRadios) EXPECT_EQ(controls.checked(id), id == 1009) << id;
    for (int id : ids::kBinRadios) EXPECT_EQ(controls.checked(id), id == 1015) << id;
    EXPECT_TRUE(controls.checked(ids::kLinearPower));
    EXPECT_FALSE(controls.checked(ids::kLogPower));
    EXPECT_TRUE(controls.checked(ids::kSaveToFile));
    EXPECT_FALSE(controls.enabled(ids::kVolts));
    EXPECT_FALSE(controls.enabled(ids::kSubtractZero));
}

TEST_F(StatsBoxTest, RadiosSetTheirValuesAtOnceAndTheSaveBoxToggles) {
    box.open(controls);
    const std::vector<std::pair<int, int>> samples = {
        {1006, 100}, {1007, 500}, {1008, 1000}, {1009, 5000}, {1010, 10000}};
    for (auto [id, n] : samples) {
        box.clicked(controls, id);
        EXPECT_EQ(state.stats_samples, n);
        EXPECT_EQ(state.stats_samples_choice, 1006) << "committed only at Start";
    }
    for (auto [id, n] : std::vector<std::pair<int, int>>{{1013, 6}, {1014, 8}, {1015, 10}}) {
        box.clicked(controls, id);
        EXPECT_EQ(state.stats_bins, n);
    }
    box.clicked(controls, ids::kLinearPower);
    EXPECT_EQ(state.stats_mode, kStatsModeLinear);
    controls.set_checked(ids::kSaveToFile, true);
    box.clicked(controls, ids::kSaveToFile);
    EXPECT_TRUE(state.stats_save_file);
    controls.set_checked(ids::kSaveToFile, false);
    box.clicked(controls, ids::kSaveToFile);
    EXPECT_FALSE(state.stats_save_file);
    EXPECT_EQ(box.clicked(controls, ids::kClose), DialogAction::kClose);
}

TEST_F(StatsBoxTest, StartWithoutSensorOpensNothing) {
    box.open(controls);
    EXPECT_EQ(box.clicked(controls, ids::kStart), DialogAction::kStay);
    const auto messages = ui.of_kind(FakeUi::Kind::message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Stats");
    EXPECT_EQ(messages[0].text, "No sensor connected.");
    EXPECT_EQ(ui.count(FakeUi::Kind::progress_open), 0);
    EXPECT_FALSE(state.stats_requested);
}

// Re-initialising shows the committed choice while a later click changed stats_samples: the
// run takes what the radios show.
TEST_F(StatsBoxTest, StartTakesTheCheckedRadios) {
    state.sensor_connected = true;
    state.live_readout_enabled = true;
    state.stats_abort = true;
    box.open(controls);
    box.clicked(controls, 1010); // 10000, then the panel is shown again
    box.open(controls);
    box.clicked(controls, 1014); // 8 bins
    EXPECT_EQ(box.clicked(controls, ids::kStart), DialogAction::kClose);
    EXPECT_EQ(state.stats_samples, 100);
    EXPECT_EQ(state.stats_samples_choice, 1006);
    EXPECT_EQ(state.stats_bins, 8);
    EXPECT_EQ(state.stats_bins_choice, 1014);
    EXPECT_EQ(state.stats_mode, kStatsModeLog);
    EXPECT_FALSE(state.live_readout_enabled);
    EXPECT_FALSE(state.stats_abort);
    EXPECT_TRUE(state.stats_requested);
    const auto opens = ui.of_kind(FakeUi::Kind::progress_open);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].caption, "StatsProgressBox");
    EXPECT_EQ(opens[0].text, "Gathering stats data, please wait.");
    EXPECT_EQ(opens[0].number, 100);
    // BREAK in the box asks the run to stop.
    EXPECT_TRUE(ui.press_break("StatsProgressBox"));
    EXPECT_TRUE(state.stats_abort);
}

TEST_F(StatsBoxTest, RedrawWithoutResultsSaysSo) {
    box.open(controls);
    EXPECT_EQ(box.clicked(controls, ids::kRedraw), DialogAction::kStay);
    const auto messages = ui.of_kind(FakeUi::Kind::message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Stats");
    EXPECT_EQ(messages[0].text, "No valid data (run stats first)");
    EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(ui.repaints(RepaintRequest::kStatistics), 0);
}

TEST_F(StatsBoxTest, RedrawShowsTheStatisticsViewWithOneToolbar) {
    state.stats_results.publish(std::make_shared<StatsResults>(compute_stats(
        std::vector<double>(100, -10.0), 6, kStatsModeLog, std::chrono::microseconds(100))));
    state.stats_valid = true;
    state.live_readout_enabled = true;
    state.view_mode = kViewTraceComplete;
    box.open(controls);
    EXPECT_EQ(box.clicked(controls, ids::kRedraw), DialogAction::kClose);
    EXPECT_EQ(ui.repaints(RepaintRequest::kStatistics), 1);
    EXPECT_TRUE(state.stats_screen_shown);
    EXPECT_FALSE(state.live_readout_enabled);
    EXPECT_EQ(state.view_mode, kViewStatistics);
    const auto menus = ui.of_kind(FakeUi::Kind::install_menu);
    ASSERT_FALSE(menus.empty());
    EXPECT_EQ(menus.back().caption, "Stats_Menu");
    std::vector<std::pair<int, int>> toolbars;
    for (const auto &call : ui.of_kind(FakeUi::Kind::show_toolbar))
        toolbars.emplace_back(call.number, call.value);
    EXPECT_EQ(toolbars, (std::vector<std::pair<int, int>>{{2, 0}, {4, 1}}));
    const auto boxes = ui.of_kind(FakeUi::Kind::show_trace_boxes);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].value, 0);
}

} // namespace
