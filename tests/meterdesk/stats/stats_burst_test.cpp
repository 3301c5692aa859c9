// The statistics burst inside the measurement loop, against the simulated sensor: progress
// box, results, view switch, BREAK, lost sensors, reading failures and the statistics file.
#include "meterdesk/core/stats_burst.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/sampling.h"
#include "meterdesk/trace/statistics.h"
#include "tests/meterdesk/support/meter_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

namespace meterdesk_test {
namespace {

using namespace meterdesk;
namespace fs = std::filesystem;

std::string read_file(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class StatsBurstTest : public MeterTest {
  protected:
    // Starts the thread with the statistics burst plugged into the sampling plug-in.
    void start_with_burst(const std::string &keys) {
        configure(keys);
        stats_file = home.path() / "Stats" / "sensor stats.txt";
        burst = std::make_shared<StatsBurst>(state, ui, stats_file);
        auto sampling = std::make_shared<Sampling>(state, ui);
        sampling->set_stats_burst([b = burst](SensorRecord *sensor) { b->run(sensor); },
                                  [b = burst] { b->connection_lost(); });
        start(sampling);
        ASSERT_TRUE(wait_measuring());
    }

    bool wait_run_ended(std::chrono::milliseconds limit = 10000ms) {
        return eventually([&] { return !state.stats_requested; }, limit);
    }

    int count_of(UiCall::Kind kind, std::size_t since) const {
        int n = 0;
        for (const UiCall &call : ui.calls_since(since))
            if (call.kind == kind && call.caption == kStatsProgressBox) ++n;
        return n;
    }

    fs::path stats_file;
    std::shared_ptr<StatsBurst> burst;
};

// A complete run of 100 linear readings at -10 dBm with noise: one box, 100 steps, one close,
// then the statistics view alone.
TEST_F(StatsBurstTest, CompleteRunShowsTheStatisticsView) {
    start_with_burst("power_dbm = -10\nnoise_uv = 2\n");
    state.stats_samples = 100;
    state.stats_bins = 10;
    state.stats_mode = kStatsModeLinear;
    const auto mark = ui.size();
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(wait_run_ended());
    ASSERT_TRUE(state.stats_valid);

    EXPECT_EQ(count_of(UiCall::Kind::progress_open, mark), 1);
    EXPECT_EQ(count_of(UiCall::Kind::progress_step, mark), 100);
    EXPECT_EQ(count_of(UiCall::Kind::progress_close, mark), 1);
    const auto opens = ui.of_kind(UiCall::Kind::progress_open, mark);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].number, 100);

    // The close comes before the view: request 7, "Stats_Menu", toolbar 4 alone.
    std::vector<std::string> after_close;
    bool closed = false;
    for (const UiCall &call : ui.calls_since(mark)) {
        if (call.kind == UiCall::Kind::progress_close) closed = true;
        if (!closed) continue;
        if (call.kind == UiCall::Kind::repaint && call.number == 7) after_close.push_back("7");
        if (call.kind == UiCall::Kind::install_menu) after_close.push_back(call.caption);
        if (call.kind == UiCall::Kind::show_toolbar)
            after_close.push_back("toolbar " + std::to_string(call.number) +
                                  (call.value ? " on" : " off"));
    }
    EXPECT_EQ(after_close,
              (std::vector<std::string>{"7", "Stats_Menu", "toolbar 0 off", "toolbar 4 on"}));
    EXPECT_EQ(state.view_mode, kViewStatistics);
    EXPECT_TRUE(state.stats_screen_shown);
    EXPECT_FALSE(state.live_readout_enabled);

    const auto results = state.stats_results.get();
    ASSERT_TRUE(results);
    EXPECT_EQ(results->samples, 100);
    EXPECT_EQ(results->bins, 10);
    EXPECT_EQ(results->mode, kStatsModeLinear);
    EXPECT_NEAR(results->mean, 0.1, 0.002);
    EXPECT_GT(results->rate, 0);
    EXPECT_NEAR(results->temperature, 25.0, 1.0);
    EXPECT_FALSE(fs::exists(stats_file)); // saving is off

    // "Exit" returns to the measurement view with one toolbar.
    const auto exit_mark = ui.size();
    leave_statistics_view(state, ui);
    EXPECT_EQ(state.view_mode, kViewMeasurement);
    EXPECT_FALSE(state.stats_screen_shown);
    EXPECT_TRUE(state.live_readout_enabled);
    const auto menus = ui.of_kind(UiCall::Kind::install_menu, exit_mark);
    ASSERT_FALSE(menus.empty());
    EXPECT_EQ(menus.back().caption, "Zyn_Menu");
}

// At 40 'C with noise and in realistic timing, the burst's mean is the meter's own reading.
TEST_F(StatsBurstTest, MeanMatchesTheReadoutAtFortyDegreesInRealisticTiming) {
    start_with_burst("power_dbm = -15\ntemperature_c = 40\nnoise_uv = 5\ntiming = realistic\n"
                     "latency_ms = 1\n");
    const auto mark = ui.size();
    ASSERT_TRUE(ui.wait_for(UiCall::Kind::repaint, 3,
                            static_cast<int>(RepaintRequest::kLiveReadout), mark));
    const double live = state.reading_power;
    state.stats_samples = 100;
    state.stats_bins = 8;
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(wait_run_ended(20000ms));
    const auto results = state.stats_results.get();
    ASSERT_TRUE(results);
    EXPECT_NEAR(results->mean, live, 0.05);
    EXPECT_NEAR(results->temperature, 40.0, 1.0);
    EXPECT_GT(results->rate, 0);
    int counted = 0;
    for (int k = 0; k < results->bins; ++k)
        counted += results->bin_count[static_cast<std::size_t>(k)];
    EXPECT_EQ(counted, 100);
}

TEST_F(StatsBurstTest, FileLayoutInDbmAndWatts) {
    start_with_burst("power_dbm = -20\n");
    state.stats_save_file = true;
    state.stats_samples = 100;
    state.stats_mode = kStatsModeLog;
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(wait_run_ended());
    std::string text = read_file(stats_file);
    EXPECT_TRUE(std::regex_match(text, std::regex("Units = dBm, Samples = 100\r\n"
                                                  "(-(19\\.9[5-9]\\d|20\\.0[0-5]\\d)\r\n){100}")))
        << text.substr(0, 200);

    leave_statistics_view(state, ui);
    state.stats_mode = kStatsModeLinear;
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(wait_run_ended());
    text = read_file(stats_file);
    EXPECT_TRUE(
        std::regex_match(text, std::regex("Units = Watts, Samples = 100\r\n"
                                          "((9\\.9[6-9]\\d\\de-06|1\\.00[0-4]\\de-05)\r\n){100}")))
        << text.substr(0, 200);
    EXPECT_EQ(ui.count(UiCall::Kind::message), 0);
}

TEST_F(StatsBurstTest, UnwritableFileIsToldAndResultsAreStillShown) {
    start_with_burst("power_dbm = -10\n");
    fs::create_directories(stats_file.parent_path().parent_path());
    std::ofstream(stats_file.parent_path()) << "not a folder";
    state.stats_save_file = true;
    const auto mark = ui.size();
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(wait_run_ended());
    const auto messages = ui.of_kind(UiCall::Kind::message, mark);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Stats Save Data");
    EXPECT_EQ(messages[0].text, "Can't access file " + stats_file.string());
    EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
    EXPECT_TRUE(state.stats_valid);
    EXPECT_EQ(state.view_mode, kViewStatistics);
    EXPECT_EQ(read_file(stats_file.parent_path()), "not a folder");
}

// BREAK after the first reading of a slow run: no results, the earlier file as it was, and
// the live readout back.
TEST_F(StatsBurstTest, BreakKeepsOldResultsAndFile) {
    start_with_burst("power_dbm = -10\ntiming = realistic\nlatency_ms = 5\n");
    fs::create_directories(stats_file.parent_path());
    std::ofstream(stats_file, std::ios::binary) << "earlier file\r\n";
    state.stats_save_file = true;
    state.stats_samples = 1000;
    const auto mark = ui.size();
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(ui.wait_until([&](const FakeUi::Calls &calls) {
        for (std::size_t i = mark; i < calls.size(); ++i)
            if (calls[i].kind == UiCall::Kind::progress_step) return true;
        return false;
    }));
    ASSERT_TRUE(ui.press_break(kStatsProgressBox));
    ASSERT_TRUE(wait_run_ended());
    EXPECT_EQ(count_of(UiCall::Kind::progress_close, mark), 1);
    EXPECT_LT(count_of(UiCall::Kind::progress_step, mark), 10);
    EXPECT_FALSE(state.stats_valid);
    EXPECT_FALSE(state.stats_results.get());
    EXPECT_EQ(read_file(stats_file), "earlier file\r\n");
    EXPECT_TRUE(state.live_readout_enabled);
    EXPECT_EQ(state.view_mode, kViewMeasurement);
    EXPECT_EQ(ui.repaints(RepaintRequest::kStatistics, mark), 0);
}

TEST_F(StatsBurstTest, UnplugMidBurstClosesTheBox) {
    start_with_burst("power_dbm = -10\ntiming = realistic\nlatency_ms = 5\n");
    state.stats_samples = 1000;
    const auto mark = ui.size();
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(ui.wait_for(UiCall::Kind::progress_step, 2, std::nullopt, mark));
    set("plugged", "0");
    ASSERT_TRUE(wait_run_ended());
    ASSERT_TRUE(ui.wait_for(UiCall::Kind::progress_close, 1, std::nullopt, mark));
    ASSERT_TRUE(wait_no_sensor());
    EXPECT_EQ(count_of(UiCall::Kind::progress_close, mark), 1);
    EXPECT_FALSE(state.stats_valid);
    EXPECT_FALSE(state.stats_screen_shown);
}

TEST_F(StatsBurstTest, SensorGoneBetweenStartAndBurstClosesTheBox) {
    start_with_burst("power_dbm = -10\n");
    set("plugged", "0");
    const auto mark = ui.size();
    start_stats_run(state, ui);
    ASSERT_TRUE(wait_no_sensor());
    ASSERT_TRUE(wait_run_ended());
    EXPECT_EQ(count_of(UiCall::Kind::progress_open, mark),
              count_of(UiCall::Kind::progress_close, mark));
}

// With no RF and no zero offsets the detector gives 0 V: -inf dBm ends the run with a
// message, as BREAK would.
TEST_F(StatsBurstTest, NonFiniteReadingStopsTheRun) {
    start_with_burst("power_dbm = off\nzero_offset_uv = 0 0 0\n");
    const auto mark = ui.size();
    ASSERT_TRUE(start_stats_run(state, ui));
    ASSERT_TRUE(wait_run_ended());
    const auto messages = ui.of_kind(UiCall::Kind::message, mark);
    EXPECT_FALSE(state.stats_valid);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Stats");
    EXPECT_EQ(messages[0].text, "Statistics stopped: a reading was out of range.");
    EXPECT_EQ(count_of(UiCall::Kind::progress_close, mark), 1);
    EXPECT_TRUE(state.live_readout_enabled);
}

} // namespace
} // namespace meterdesk_test
