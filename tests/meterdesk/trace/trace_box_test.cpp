// The trace control panel, the settings dialog and the collection options, headless.
#include "meterdesk/support/fake_controls.h"
#include "meterdesk/support/fake_ui.h"
#include "meterdesk/support/scratch.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/settings/trace_data_collection_box.h"
#include "meterdesk/trace/trace_box.h"
#include "meterdesk/trace/trace_control.h"
#include "meterdesk/trace/trace_scaling.h"
#include "meterdesk/trace/trace_settings_box.h"

#include <gtest/gtest.h>

#include <cmath>

namespace meterdesk_test {
namespace {

using meterdesk::DialogAction;
namespace ids = meterdesk::trace_ids;

class TraceBoxTest : public ::testing::Test {
  protected:
    void open() { box.initialise(); }
    DialogAction start(const std::string &samples, const std::string &period) {
        controls.set_text(ids::kSamples, samples);
        controls.set_text(ids::kPeriod, period);
        return box.command(ids::kStart);
    }

    FakeUi ui;
    meterdesk::AppState state;
    FakeControls controls{meterdesk::TraceBox::control_ids()};
    meterdesk::TraceBox box{state, ui, controls};
};

TEST_F(TraceBoxTest, SampleAndPeriodRanges) {
    struct Case {
        bool seconds;
        const char *samples;
        const char *period;
        const char *refusal; // nullptr: accepted
        double stored_period;
    };
    const Case cases[] = {
        {true, "9", "1", "Valid sample range: 10 to 500", 0},
        {true, "501", "1", "Valid sample range: 10 to 500", 0},
        {true, "abc", "1", "Valid sample range: 10 to 500", 0},
        {true, "10", "0.2", nullptr, 0.2},
        {true, "500", "100", nullptr, 100},
        {true, "10", "0.19", "Valid time base: 0.2 to 100 seconds", 0},
        {true, "10", "nan", "Valid time base: 0.2 to 100 seconds", 0},
        {false, "10", "1", nullptr, 60},
        {false, "10", "15", nullptr, 900},
        {false, "10", "15.5", "Valid time base: 1 to 15 minutes", 0},
    };
    for (const auto &c : cases) {
        meterdesk::AppState fresh;
        FakeUi fresh_ui;
        FakeControls fresh_controls{meterdesk::TraceBox::control_ids()};
        fresh.trace_period_in_seconds = c.seconds;
        meterdesk::TraceBox fresh_box{fresh, fresh_ui, fresh_controls};
        fresh_box.initialise();
        fresh_controls.set_text(ids::kSamples, c.samples);
        fresh_controls.set_text(ids::kPeriod, c.period);
        const DialogAction action = fresh_box.command(ids::kStart);
        if (c.refusal) {
            EXPECT_EQ(action, DialogAction::kStay) << c.samples << " " << c.period;
            EXPECT_EQ(fresh_ui.message_texts(), std::vector<std::string>{c.refusal});
            EXPECT_FALSE(fresh.trace_running);
        } else {
            EXPECT_EQ(action, DialogAction::kClose) << c.samples << " " << c.period;
            EXPECT_TRUE(fresh.trace_running);
            EXPECT_DOUBLE_EQ(fresh.trace_period_s, c.stored_period);
            EXPECT_FALSE(fresh.trace_box_open);
            EXPECT_FALSE(fresh.live_readout_enabled);
        }
    }
}

TEST_F(TraceBoxTest, SamplesKeptWhenThePeriodIsRefused) {
    open();
    EXPECT_EQ(start("250", "0.1"), DialogAction::kStay);
    EXPECT_EQ(state.trace_samples, 250);
    const auto messages = ui.of_kind(UiCall::Kind::message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Trace Time Base");
    EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(controls.focus(), ids::kPeriod);
}

TEST_F(TraceBoxTest, ScalingChecks) {
    struct Case {
        bool celsius;
        const char *min, *max, *tmin, *tmax;
        const char *refusal;
        const char *caption;
    };
    const Case cases[] = {
        {true, "-10", "-10", "20", "30", "Max must be greater than min", "Trace Plot Scaling"},
        {true, "nan", "0", "20", "30", "Max must be greater than min", "Trace Plot Scaling"},
        {true, "-10", "0", "-21", "30", "Valid temperature scaling: -20'C to +75'C",
         "Trace Temperature Scaling"},
        {true, "-10", "0", "-20", "75", nullptr, nullptr},
        {false, "-10", "0", "-5", "171", "Valid temperature scaling: -5'F to +170'F",
         "Trace Temperature Scaling"},
        {true, "-10", "0", "30", "30", "Max temperature must be greater than min",
         "Trace Temperature Scaling"},
    };
    for (const auto &c : cases) {
        meterdesk::AppState s;
        FakeUi u;
        FakeControls k{meterdesk::TraceBox::control_ids()};
        s.temperature_celsius = c.celsius;
        s.trace_autoscale = false;
        s.trace_temp_autoscale = false;
        s.trace_temperature = true;
        meterdesk::TraceBox b{s, u, k};
        b.initialise();
        k.set_text(ids::kSamples, "10");
        k.set_text(ids::kPeriod, "1");
        k.set_text(ids::kPlotMin, c.min);
        k.set_text(ids::kPlotMax, c.max);
        k.set_text(ids::kTempMin, c.tmin);
        k.set_text(ids::kTempMax, c.tmax);
        b.command(ids::kStart);
        if (c.refusal) {
            const auto messages = u.of_kind(UiCall::Kind::message);
            ASSERT_EQ(messages.size(), 1u) << c.tmin;
            EXPECT_EQ(messages[0].text, c.refusal);
            EXPECT_EQ(messages[0].caption, c.caption);
            EXPECT_FALSE(s.trace_running);
        } else {
            EXPECT_TRUE(s.trace_running);
            EXPECT_DOUBLE_EQ(s.temp_span, 95);
            EXPECT_DOUBLE_EQ(s.plot_step, 1);
        }
    }
}

TEST_F(TraceBoxTest, InitialisationAndToggles) {
    state.trace_period_in_seconds = false;
    state.trace_period_s = 120;
    state.trace_autoscale = false;
    state.plot_min = -20;
    state.plot_max = 5;
    state.temperature_celsius = false;
    open();
    EXPECT_TRUE(state.trace_box_open);
    EXPECT_EQ(controls.text(ids::kPeriod), "2.0");
    EXPECT_TRUE(controls.checked(ids::kMinutes));
    EXPECT_EQ(controls.text(ids::kPlotMin), "-20.000");
    EXPECT_EQ(controls.text(ids::kTemperatureLabel), "Temperature ('F)");
    EXPECT_FALSE(controls.enabled(ids::kVolts));
    EXPECT_FALSE(controls.enabled(ids::kSaveTrace)); // no valid trace
    EXPECT_FALSE(controls.enabled(ids::kTempMin));

    box.command(ids::kAuto);
    EXPECT_TRUE(state.trace_autoscale);
    EXPECT_FALSE(controls.enabled(ids::kPlotMin));
    box.command(ids::kLinear);
    box.command(ids::kAuto);
    EXPECT_EQ(controls.text(ids::kPlotMax), "5.0000000");
    box.command(ids::kSeconds);
    EXPECT_TRUE(state.trace_period_in_seconds);
    EXPECT_EQ(controls.text(ids::kPeriod), "2.0"); // the number is not converted

    state.trace_running = true;
    open();
    EXPECT_FALSE(controls.shown(ids::kSaveTrace));
    EXPECT_FALSE(controls.enabled(ids::kSamples));
    EXPECT_FALSE(controls.enabled(ids::kRedraw));
}

TEST_F(TraceBoxTest, RedrawConvertsOnceAndShowsTheCompletedView) {
    open();
    box.command(ids::kRedraw);
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"No valid data (run trace first)"});

    state.trace_valid = true;
    state.trace_data_units = 1;
    state.trace_values[0] = -10;
    state.trace_values[1] = 0;
    state.trace_count = 2;
    box.command(ids::kLinear);
    box.command(ids::kRedraw);
    EXPECT_NEAR(state.trace_values[0], 0.1, 1e-12);
    EXPECT_NEAR(state.trace_values[1], 1.0, 1e-12);
    EXPECT_EQ(state.trace_data_units, 2);
    box.command(ids::kRedraw);
    EXPECT_NEAR(state.trace_values[0], 0.1, 1e-12);
    EXPECT_EQ(state.view_mode, meterdesk::kViewTraceComplete);
    EXPECT_EQ(state.trace_status_text.get(), "Trace Redrawn");
    EXPECT_EQ(ui.of_kind(UiCall::Kind::install_menu).back().caption, "Trace_Menu_2");
    EXPECT_EQ(ui.command_enabled(40129), true);
    EXPECT_FALSE(state.trace_box_open);
}

TEST_F(TraceBoxTest, MenuStartClosesThePanelWithoutChecks) {
    open();
    controls.set_text(ids::kSamples, "3"); // not checked from the menu
    meterdesk::start_trace_from_menu(state, ui);
    EXPECT_TRUE(state.trace_running);
    EXPECT_EQ(state.trace_samples, 10);
    const auto closed = ui.of_kind(UiCall::Kind::close_panel);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].caption, "TraceBox");
    const auto timers = ui.of_kind(UiCall::Kind::start_timer);
    ASSERT_EQ(timers.size(), 1u);
    EXPECT_EQ(timers[0].number, 2);
    EXPECT_EQ(timers[0].value, 1000);
    EXPECT_EQ(meterdesk::sample_timer_period_ms(0.2), 200);
}

TEST(TraceSettingsBoxTest, ApplyChecksAndRepaintsCloseStoresNothing) {
    meterdesk::AppState state;
    FakeUi ui;
    FakeControls controls{meterdesk::TraceSettingsBox::control_ids()};
    meterdesk::TraceSettingsBox box{state, ui, controls};
    state.trace_autoscale = false;
    box.initialise();
    controls.set_text(ids::kPlotMin, "-30");
    controls.set_text(ids::kPlotMax, "-40");
    EXPECT_EQ(box.command(ids::kApply), DialogAction::kStay);
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Max must be greater than min"});
    EXPECT_EQ(box.command(ids::kSettingsClose), DialogAction::kClose);
    EXPECT_EQ(state.plot_min, 0.0);

    controls.set_text(ids::kPlotMax, "-20");
    EXPECT_EQ(box.command(ids::kApply), DialogAction::kClose);
    EXPECT_EQ(state.plot_min, -30.0);
    EXPECT_EQ(state.plot_span, 10.0);
    EXPECT_TRUE(state.redraw_frame);
    EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), 1);
}

TEST(TraceDataCollectionBoxTest, EnablingRulesAndFile) {
    ScratchFolder folder;
    meterdesk::AppState state;
    state.app_dir = folder.path().string();
    FakeUi ui;
    using Box = meterdesk::TraceDataCollectionBox;
    FakeControls controls{Box::control_ids()};
    Box box{state, ui, controls};
    box.initialise();
    for (int id = 1456; id <= 1462; ++id) EXPECT_FALSE(controls.enabled(id)) << id;
    box.command(1456);
    EXPECT_FALSE(state.collection_columns[0]); // collection off: no column changes

    box.command(Box::kEnable);
    EXPECT_TRUE(state.collection_enabled);
    for (int id = 1456; id <= 1462; ++id) {
        const bool offered = id == 1456 || id == 1460 || id == 1461 || id == 1462;
        EXPECT_EQ(controls.enabled(id), offered) << id;
    }
    box.command(1460);
    EXPECT_TRUE(state.collection_columns[4]);
    EXPECT_TRUE(controls.checked(1460));
    box.command(Box::kEnable);
    box.command(Box::kEnable);
    EXPECT_TRUE(state.collection_columns[4]); // kept across off and on

    box.command(Box::kAppend);
    EXPECT_FALSE(state.collection_append);
    ui.script_file("/tmp/chosen.txt");
    box.command(Box::kSelectFile);
    EXPECT_EQ(controls.text(Box::kPath), "/tmp/chosen.txt");
    const auto dialogs = ui.of_kind(UiCall::Kind::open_file_dialog);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_NE(dialogs[0].caption.find("data collection"), std::string::npos);
    EXPECT_EQ(box.command(Box::kHelp), DialogAction::kStay);
    EXPECT_EQ(box.command(Box::kClose), DialogAction::kClose);
}

} // namespace
} // namespace meterdesk_test
