#include "meterdesk/trace/trace_markers_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/trace/trace_control.h"

#include <algorithm>

namespace meterdesk {
namespace {

constexpr int kXMin = 50;
constexpr int kXMax = 550;
constexpr int kYMin = 10;
constexpr int kYMax = 210;
constexpr int kPageLines = 10;

const char *toggle_caption(bool on) {
    return on ? "Turn OFF" : "Turn ON";
}

} // namespace

TraceMarkersBox::TraceMarkersBox(AppState &state, Ui &ui, Controls &controls)
    : state_(state), ui_(ui), controls_(controls) {}

const std::vector<int> &TraceMarkersBox::control_ids() {
    static const std::vector<int> ids = {kXToggle,  kYToggle,      kX1Scroll, kX2Scroll, kY1Scroll,
                                         kY2Scroll, kLabelMarkers, kList,     kClose};
    return ids;
}

void TraceMarkersBox::initialise() {
    for (int id : {kX1Scroll, kX2Scroll}) controls_.set_scroll_range(id, kXMin, kXMax);
    for (int id : {kY1Scroll, kY2Scroll}) controls_.set_scroll_range(id, kYMin, kYMax);
    controls_.set_scroll_position(kX1Scroll, state_.x1_pos);
    controls_.set_scroll_position(kX2Scroll, state_.x2_pos);
    controls_.set_scroll_position(kY1Scroll, state_.y1_pos);
    controls_.set_scroll_position(kY2Scroll, state_.y2_pos);
    show_toggles();
    // Opening always labels the markers; the flag follows the box, so that the next click on
    // it turns the labels off.
    state_.label_markers = true;
    controls_.set_checked(kLabelMarkers, true);
    if (state_.plot_done) request_full_plot_redraw(state_, ui_); // refills the list
}

void TraceMarkersBox::show_toggles() {
    const bool x_on = state_.x_markers_on;
    const bool y_on = state_.y_markers_on;
    controls_.set_text(kXToggle, toggle_caption(x_on));
    controls_.set_text(kYToggle, toggle_caption(y_on));
    controls_.set_enabled(kX1Scroll, x_on);
    controls_.set_enabled(kX2Scroll, x_on);
    controls_.set_enabled(kY1Scroll, y_on);
    controls_.set_enabled(kY2Scroll, y_on);
}

void TraceMarkersBox::redraw_if_drawn() {
    if (state_.trace_valid && state_.plot_done) request_full_plot_redraw(state_, ui_);
}

DialogAction TraceMarkersBox::command(int id) {
    switch (id) {
    case kXToggle:
        state_.x_markers_on = !state_.x_markers_on;
        show_toggles();
        redraw_if_drawn();
        return DialogAction::kStay;
    case kYToggle:
        state_.y_markers_on = !state_.y_markers_on;
        show_toggles();
        redraw_if_drawn();
        return DialogAction::kStay;
    case kLabelMarkers:
        state_.label_markers = !state_.label_markers;
        controls_.set_checked(kLabelMarkers, state_.label_markers);
        redraw_if_drawn();
        return DialogAction::kStay;
    case kClose:
        return DialogAction::kClose;
    default:
        return DialogAction::kStay;
    }
}

void TraceMarkersBox::scroll(int id, ScrollAction action, int drag_position) {
    if (!state_.trace_valid) return;
    std::atomic<std::int32_t> *position = nullptr;
    switch (id) {
    case kX1Scroll:
        position = &state_.x1_pos;
        break;
    case kX2Scroll:
        position = &state_.x2_pos;
        break;
    case kY1Scroll:
        position = &state_.y1_pos;
        break;
    case kY2Scroll:
        position = &state_.y2_pos;
        break;
    default:
        return;
    }
    const bool horizontal = id == kX1Scroll || id == kX2Scroll;
    const int low = horizontal ? kXMin : kYMin;
    const int high = horizontal ? kXMax : kYMax;
    const int back = 1;                     // left or up per line
    const int forward = horizontal ? 2 : 1; // right or down per line
    int next = *position;
    switch (action) {
    case ScrollAction::kLineUp:
        next -= back;
        break;
    case ScrollAction::kLineDown:
        next += forward;
        break;
    case ScrollAction::kPageUp:
        next -= back * kPageLines;
        break;
    case ScrollAction::kPageDown:
        next += forward * kPageLines;
        break;
    case ScrollAction::kTop:
        next = low;
        break;
    case ScrollAction::kBottom:
        next = high;
        break;
    case ScrollAction::kThumbTrack:
    case ScrollAction::kThumbPosition:
        next = drag_position;
        break;
    case ScrollAction::kEndScroll:
        return;
    }
    next = std::clamp(next, low, high);
    *position = next;
    controls_.set_scroll_position(id, next);
    request_marker_redraw(state_, ui_);
}

void TraceMarkersBox::show_readings(const std::vector<std::string> &lines) {
    controls_.set_items(kList, lines);
}

} // namespace meterdesk
