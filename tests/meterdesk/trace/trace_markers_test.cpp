// The markers dialog's logic: captions, enabling, step rules and the redraws it asks for.
#include "meterdesk/support/fake_controls.h"
#include "meterdesk/support/fake_ui.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/trace/trace_markers_box.h"

#include <gtest/gtest.h>

namespace meterdesk_test {
namespace {

using Box = meterdesk::TraceMarkersBox;
using meterdesk::ScrollAction;

class TraceMarkersTest : public ::testing::Test {
  protected:
    FakeUi ui;
    meterdesk::AppState state;
    FakeControls controls{Box::control_ids()};
    Box box{state, ui, controls};
};

TEST_F(TraceMarkersTest, OpeningSetsRangesCaptionsAndLabels) {
    state.label_markers = false;
    state.x_markers_on = true;
    box.initialise();
    EXPECT_EQ(controls.scroll_position(Box::kX1Scroll), 100);
    EXPECT_EQ(controls.scroll_position(Box::kY2Scroll), 170);
    EXPECT_EQ(controls.text(Box::kXToggle), "Turn OFF");
    EXPECT_EQ(controls.text(Box::kYToggle), "Turn ON");
    EXPECT_TRUE(controls.enabled(Box::kX2Scroll));
    EXPECT_FALSE(controls.enabled(Box::kY1Scroll));
    EXPECT_TRUE(controls.checked(Box::kLabelMarkers));
    EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), 0); // no plot drawn yet

    state.plot_done = true;
    box.initialise();
    EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), 1);
    EXPECT_TRUE(state.redraw_frame);
}

TEST_F(TraceMarkersTest, StepRules) {
    box.initialise();
    box.scroll(Box::kX1Scroll, ScrollAction::kLineDown, 0);
    EXPECT_EQ(state.x1_pos, 100); // nothing moves without a valid trace
    state.trace_valid = true;

    struct Case {
        int id;
        int start;
        ScrollAction action;
        int drag;
        int expected;
    };
    const Case cases[] = {
        {Box::kX1Scroll, 100, ScrollAction::kLineUp, 0, 99},
        {Box::kX1Scroll, 100, ScrollAction::kLineDown, 0, 102},
        {Box::kX2Scroll, 50, ScrollAction::kLineUp, 0, 50},
        {Box::kX2Scroll, 549, ScrollAction::kLineDown, 0, 550},
        {Box::kX2Scroll, 300, ScrollAction::kThumbTrack, 412, 412},
        {Box::kY1Scroll, 60, ScrollAction::kLineDown, 0, 61},
        {Box::kY1Scroll, 10, ScrollAction::kLineUp, 0, 10},
        {Box::kY2Scroll, 205, ScrollAction::kPageDown, 0, 210},
        {Box::kY2Scroll, 100, ScrollAction::kThumbPosition, 900, 210},
    };
    for (const auto &c : cases) {
        auto &position = c.id == Box::kX1Scroll   ? state.x1_pos
                         : c.id == Box::kX2Scroll ? state.x2_pos
                         : c.id == Box::kY1Scroll ? state.y1_pos
                                                  : state.y2_pos;
        position = c.start;
        const int repaints = ui.repaints(RepaintRequest::kTracePlot);
        box.scroll(c.id, c.action, c.drag);
        EXPECT_EQ(position, c.expected) << c.id << " from " << c.start;
        EXPECT_EQ(controls.scroll_position(c.id), c.expected);
        EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), repaints + 1);
        EXPECT_TRUE(state.markers_moved);
    }
}

TEST_F(TraceMarkersTest, TogglesRedrawOnlyADrawnValidTrace) {
    box.initialise();
    box.command(Box::kYToggle);
    EXPECT_TRUE(state.y_markers_on);
    EXPECT_EQ(controls.text(Box::kYToggle), "Turn OFF");
    EXPECT_TRUE(controls.enabled(Box::kY1Scroll));
    EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), 0);

    state.trace_valid = true;
    state.plot_done = true;
    box.command(Box::kLabelMarkers);
    EXPECT_FALSE(state.label_markers);
    EXPECT_FALSE(controls.checked(Box::kLabelMarkers));
    EXPECT_EQ(ui.repaints(RepaintRequest::kTracePlot), 1);

    box.show_readings({"X Markers OFF", " ", "Y1: -10.000dBm"});
    EXPECT_EQ(controls.items(Box::kList).size(), 3u);
    EXPECT_EQ(box.command(Box::kClose), meterdesk::DialogAction::kClose);
}

} // namespace
} // namespace meterdesk_test
