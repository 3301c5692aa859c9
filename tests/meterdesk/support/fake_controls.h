// FakeControls: an in-memory dialog for headless tests of dialog logic.
//
// It is created with the ids of the controls the real dialog has; touching any other id fails
// the running test, so a logic that reads or sets a control its dialog lacks is caught. Every
// control starts enabled and shown, with no text, unchecked and without items. Tests play the
// user by setting texts and checks directly, then calling the logic's event handlers.
#pragma once

#include "meterdesk/base/controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace meterdesk_test {

class FakeControls : public meterdesk::Controls {
  public:
    struct Control {
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool shown = true;
        std::vector<std::string> items;
        int selection = -1;
        int scroll_minimum = 0;
        int scroll_maximum = 100;
        int scroll_position = 0;
    };

    explicit FakeControls(std::initializer_list<int> ids) {
        for (int id : ids) controls_[id];
    }
    explicit FakeControls(const std::vector<int> &ids) {
        for (int id : ids) controls_[id];
    }

    std::string text(int id) const override { return at(id).text; }
    void set_text(int id, std::string_view text) override { at(id).text = text; }
    bool checked(int id) const override { return at(id).checked; }
    void set_checked(int id, bool checked) override { at(id).checked = checked; }
    bool enabled(int id) const override { return at(id).enabled; }
    void set_enabled(int id, bool enabled) override { at(id).enabled = enabled; }
    bool shown(int id) const override { return at(id).shown; }
    void set_shown(int id, bool shown) override { at(id).shown = shown; }
    std::vector<std::string> items(int id) const override { return at(id).items; }
    void set_items(int id, const std::vector<std::string> &items) override {
        Control &control = at(id);
        control.items = items;
        control.selection = -1;
    }
    int selection(int id) const override { return at(id).selection; }
    void set_selection(int id, int index) override {
        Control &control = at(id);
        if (index < -1 || index >= static_cast<int>(control.items.size())) {
            ADD_FAILURE() << "selection " << index << " out of range in control " << id;
            return;
        }
        control.selection = index;
    }
    void set_scroll_range(int id, int minimum, int maximum) override {
        Control &control = at(id);
        control.scroll_minimum = minimum;
        control.scroll_maximum = maximum;
        set_scroll_position(id, control.scroll_position);
    }
    int scroll_position(int id) const override { return at(id).scroll_position; }
    // Like a scroll bar, the position stays inside the range.
    void set_scroll_position(int id, int position) override {
        Control &control = at(id);
        control.scroll_position =
            std::clamp(position, control.scroll_minimum, control.scroll_maximum);
    }
    void set_focus(int id) override {
        at(id);
        focus_ = id;
    }
    std::string caption() const override { return caption_; }

    // The control that has the focus, 0 when none was given it.
    int focus() const { return focus_; }
    void set_caption(std::string_view caption) override { caption_ = caption; }

    // The whole state of one control, for assertions.
    const Control &control(int id) const { return at(id); }

  private:
    Control &at(int id) {
        auto found = controls_.find(id);
        if (found == controls_.end()) {
            ADD_FAILURE() << "the dialog has no control " << id;
            return stray_;
        }
        return found->second;
    }
    const Control &at(int id) const { return const_cast<FakeControls *>(this)->at(id); }

    std::map<int, Control> controls_;
    Control stray_; // absorbs calls on unknown ids after the failure is recorded
    std::string caption_;
    int focus_ = 0;
};

} // namespace meterdesk_test
