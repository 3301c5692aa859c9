// The trace run on the measurement thread against the simulated sensor: points, the end of a
// run (complete, stopped, mode change, unplug), and the collection file.
#include "meterdesk/trace/support/trace_fixture.h"

#include "meterdesk/core/collection_file.h"
#include "meterdesk/core/measurement_mode.h"

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

namespace meterdesk_test {
namespace {

using meterdesk::kTraceSampleTimer;

std::string read_text(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(TraceTest, StopAfterThreeOfTenKeepsTheFinalPoint) {
    connect("power_dbm = -12\n");
    state.trace_samples = 10;
    meterdesk::start_trace(state, ui);
    EXPECT_EQ(state.view_mode, meterdesk::kViewTraceRunning);
    EXPECT_EQ(last_menu(), "Trace_Menu_1");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(tick());
    const auto mark = ui.size();
    meterdesk::stop_trace(state, ui);
    ASSERT_TRUE(wait_run_end(mark));
    EXPECT_TRUE(eventually([&] { return state.trace_count == 4; }));
    EXPECT_EQ(state.trace_status_text.get(), "Trace Stopped");
    EXPECT_EQ(last_menu(), "Trace_Menu_3");
    EXPECT_EQ(state.view_mode, meterdesk::kViewTraceStopped);
    EXPECT_FALSE(state.trace_running);
    // Repaints from the second point on, none for the final point.
    EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), 2);
    EXPECT_NEAR(state.trace_values[3], -12.0, 0.05);
}

TEST_F(TraceTest, CompleteRunInMilliwatts) {
    state.temp_comp_setting = true; // the reading then follows the applied power at 40 'C
    connect("power_dbm = -10\ntemperature_c = 40\n");
    state.trace_samples = 10;
    state.trace_units = 1121;
    state.trace_temperature = true;
    state.temperature_celsius = false;
    meterdesk::start_trace(state, ui);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(tick());
    ASSERT_TRUE(ui.wait_until([](const FakeUi::Calls &calls) {
        return std::any_of(calls.begin(), calls.end(), [](const UiCall &c) {
            return c.kind == UiCall::Kind::install_menu && c.caption == "Trace_Menu_2";
        });
    }));
    EXPECT_TRUE(eventually([&] { return state.view_mode == meterdesk::kViewTraceComplete; }));
    EXPECT_EQ(state.trace_status_text.get(), "Trace Complete");
    EXPECT_EQ(state.trace_count, 10);
    EXPECT_EQ(state.trace_data_units, 2);
    EXPECT_NEAR(state.trace_values[9], 0.1, 0.002);
    EXPECT_NEAR(state.trace_temps[9], 40 * 1.8 + 32, 0.5);
    EXPECT_DOUBLE_EQ(state.seconds_per_pixel, 10 * 1.0 * 0.002);
    EXPECT_EQ(ui.repaints(RepaintRequest::kTraceScreen), 1);
    EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), 9);
}

TEST_F(TraceTest, PointsOutsideTheManualScaleEndClipped) {
    connect("power_dbm = 3\n");
    state.trace_samples = 10;
    state.trace_autoscale = false;
    state.plot_min = -10;
    state.plot_max = 0;
    state.plot_span = 10;
    meterdesk::start_trace(state, ui);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(tick());
    ASSERT_TRUE(eventually([&] { return state.view_mode == meterdesk::kViewTraceComplete; }));
    EXPECT_EQ(state.trace_status_text.get(), "Trace Clipped");
}

TEST_F(TraceTest, ModeKeyEndsTheRunAtOnce) {
    connect();
    state.trace_samples = 500;
    state.trace_period_s = 900;
    meterdesk::start_trace(state, ui);
    ASSERT_TRUE(tick());
    const auto mark = ui.size();
    meterdesk::apply_measurement_mode(state, ui, meterdesk::kModeLinear); // Ctrl+W
    ASSERT_TRUE(wait_run_end(mark));
    EXPECT_TRUE(eventually([&] { return state.view_mode == meterdesk::kViewMeasurement; }));
    EXPECT_EQ(last_menu(), "Zyn_Menu");
    EXPECT_EQ(state.trace_count, 1); // no final point
    const auto boxes = ui.of_kind(UiCall::Kind::show_trace_boxes, mark);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().value, 0);
}

TEST_F(TraceTest, UnplugEndsTheRunAndTheDisconnectPathTakesOver) {
    connect();
    state.trace_samples = 10;
    meterdesk::start_trace(state, ui);
    ASSERT_TRUE(tick());
    ASSERT_TRUE(tick());
    const auto mark = ui.size();
    set("plugged", "0");
    ASSERT_TRUE(wait_run_end(mark));
    ASSERT_TRUE(wait_no_sensor());
    EXPECT_EQ(state.trace_count, 2);
    EXPECT_FALSE(state.trace_running);
    EXPECT_NE(state.trace_status_text.get(), "Trace Complete");
    EXPECT_EQ(last_menu(), "Zyn_Menu");
}

TEST_F(TraceTest, LiveReadingAndStatusBoxesAreRefreshed) {
    connect("power_dbm = -20\n");
    state.trace_samples = 10;
    meterdesk::start_trace(state, ui);
    ASSERT_TRUE(ui.wait_until([](const FakeUi::Calls &calls) {
        int texts = 0;
        for (const auto &c : calls)
            if (c.kind == UiCall::Kind::trace_box_text) ++texts;
        return texts >= 2;
    }));
    const auto texts = ui.of_kind(UiCall::Kind::trace_box_text);
    EXPECT_EQ(texts[0].caption, "LiveReadingBox");
    EXPECT_NE(texts[0].text.find("dBm"), std::string::npos) << texts[0].text;
    EXPECT_EQ(texts[1].caption, "StatusBox");
    EXPECT_EQ(texts[1].text, "Trace Running");
    meterdesk::stop_trace(state, ui);
}

// The collection file: one line per point with the chosen columns after the date line.
struct CollectionCase {
    int units;
    bool relative;
    std::vector<int> columns; // box ids 1456..1462
    const char *line;         // regular expression of a point line
};

class TraceCollection : public TraceTest, public ::testing::WithParamInterface<CollectionCase> {};

TEST_P(TraceCollection, LinesPerUnitAndColumns) {
    const CollectionCase &c = GetParam();
    state.temp_comp_setting = true;
    connect("power_dbm = -10\ntemperature_c = 31\n");
    state.trace_samples = 10;
    state.trace_units = c.units;
    state.trace_temperature = true;
    state.relative_enabled = c.relative;
    state.collection_enabled = true;
    state.collection_append = false;
    for (int id : c.columns) state.collection_columns[static_cast<std::size_t>(id - 1456)] = true;
    const auto file = app.path() / "collect.txt";
    state.collection_path = file.string();
    meterdesk::start_trace(state, ui);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(tick());
    ASSERT_TRUE(eventually([&] { return state.view_mode == meterdesk::kViewTraceComplete; }));
    std::istringstream text(read_text(file));
    std::string line;
    std::getline(text, line);
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(\d+\.\d+\.\d\d at \d+:\d\d:\d\d)"))) << line;
    int points = 0;
    while (std::getline(text, line)) {
        EXPECT_TRUE(std::regex_match(line, std::regex(c.line))) << line;
        ++points;
    }
    EXPECT_EQ(points, 10);
    EXPECT_TRUE(ui.message_texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Columns, TraceCollection,
    ::testing::Values(CollectionCase{1122,
                                     false,
                                     {1456, 1460, 1461},
                                     R"(0\.\d{8}V\t-(9\.9|10\.0)\d\ddBm\t31\.\d'C\t)"},
                      CollectionCase{1122, true, {1460}, R"(-?\d+\.\d{3}dB\t)"},
                      CollectionCase{1121, false, {1460, 1462}, R"(0\.\d{8}W\t)"},
                      CollectionCase{1121, true, {1460, 1461}, R"( *-?\d+\.\d\d%\t31\.\d'C\t)"},
                      CollectionCase{1121, false, {}, R"()"}));

TEST_F(TraceTest, UnopenableCollectionFileIsToldOnceAndTheTraceGoesOn) {
    connect();
    state.trace_samples = 10;
    state.collection_enabled = true;
    state.collection_columns[0] = true;
    const auto file = app.path() / "missing folder" / "collect.txt";
    state.collection_path = file.string();
    meterdesk::start_trace(state, ui);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(tick());
    ASSERT_TRUE(eventually([&] { return state.view_mode == meterdesk::kViewTraceComplete; }));
    const auto messages = ui.of_kind(UiCall::Kind::message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Trace Data Collection");
    EXPECT_EQ(messages[0].text, "Can't access file " + file.string());
}

TEST_F(TraceTest, FullDiskIsToldOnceAndTheTraceGoesOn) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    connect();
    state.trace_samples = 10;
    state.collection_enabled = true;
    state.collection_columns[0] = true;
    state.collection_path = "/dev/full";
    meterdesk::start_trace(state, ui);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(tick());
    ASSERT_TRUE(eventually([&] { return state.view_mode == meterdesk::kViewTraceComplete; }));
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Can't access file /dev/full"});
    EXPECT_EQ(state.trace_count, 10);
}

// Realistic timing at another temperature, with noise, paced by a real 0.2 s timer.
class TraceRunSlow : public TraceTest {};

TEST_F(TraceRunSlow, TenPointsAtFifthOfASecondInRealisticTiming) {
    state.temp_comp_setting = true;
    connect("timing = realistic\nlatency_ms = 1\ntemperature_c = 45\nnoise_uv = 2\n"
            "power_dbm = -25\n");
    state.trace_samples = 10;
    state.trace_period_s = 0.2;
    const auto begin = std::chrono::steady_clock::now();
    meterdesk::start_trace(state, ui);
    std::thread timer([&] {
        while (state.trace_running) {
            std::this_thread::sleep_for(200ms);
            state.sample_due = true;
            state.trace_wake.notify();
        }
    });
    const bool complete =
        eventually([&] { return state.view_mode == meterdesk::kViewTraceComplete; }, 10s);
    state.trace_running = false;
    timer.join();
    ASSERT_TRUE(complete);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_LT(seconds, 4.0);
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(state.trace_values[i], -25, 0.3) << i;
    EXPECT_NEAR(state.trace_temps[9], 45, 0.5);
}

} // namespace
} // namespace meterdesk_test
