// Controls: the view through which a dialog's logic reads and sets the controls of its dialog.
//
// Controls are keyed by their numeric ids (1623, 1628, ...). The Qt dialog builds its widgets,
// names each "id<number>", implements this view over them and forwards clicks and selection
// changes to the logic; tests implement it with a fake. So every validation, message and
// enable/disable rule of a dialog lives in plain C++ and runs headless.
//
// Text is UTF-8. Radio buttons and check boxes are both "checked"; a list is a list box or a
// drop-down list. Every member is called on the thread that owns the dialog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace meterdesk {

// What the user did to a scroll bar, as the dialog's logic receives it.
enum class ScrollAction {
    kLineUp,        // the arrow towards the minimum
    kLineDown,      // the arrow towards the maximum
    kPageUp,        // a click in the trough towards the minimum
    kPageDown,      // a click in the trough towards the maximum
    kTop,           // to the minimum
    kBottom,        // to the maximum
    kThumbTrack,    // the thumb is being dragged (with the position it is dragged to)
    kThumbPosition, // the thumb was released (with its final position)
    kEndScroll,     // the scrolling gesture ended
};

// What a dialog does after the logic has handled an event.
enum class DialogAction {
    kStay,  // the dialog stays open
    kClose, // the dialog ends (a modeless one hides and is kept)
};

class Controls {
  public:
    virtual ~Controls() = default;

    // Edit boxes, labels, buttons and group boxes: the text they show.
    virtual std::string text(int id) const = 0;
    virtual void set_text(int id, std::string_view text) = 0;

    // Check boxes and radio buttons.
    virtual bool checked(int id) const = 0;
    virtual void set_checked(int id, bool checked) = 0;

    // Enabled (responds to the user) or greyed.
    virtual bool enabled(int id) const = 0;
    virtual void set_enabled(int id, bool enabled) = 0;

    // Shown or hidden.
    virtual bool shown(int id) const = 0;
    virtual void set_shown(int id, bool shown) = 0;

    // List boxes and drop-down lists: the items, and the selected index (-1 for none).
    // Replacing the items clears the selection.
    virtual std::vector<std::string> items(int id) const = 0;
    virtual void set_items(int id, const std::vector<std::string> &items) = 0;
    virtual int selection(int id) const = 0;
    virtual void set_selection(int id, int index) = 0;

    // Scroll bars: the range and the thumb's position. The view never moves a thumb by itself:
    // it hands each scroll event to the logic as (id, action, drag position), and the logic
    // applies its own step rule and sets the position.
    virtual void set_scroll_range(int id, int minimum, int maximum) = 0;
    virtual int scroll_position(int id) const = 0;
    virtual void set_scroll_position(int id, int position) = 0;

    // Moves the keyboard focus to the control; an edit box gets its whole text selected, so
    // that a refused value can be typed over at once.
    virtual void set_focus(int id) = 0;

    // The dialog's caption (window title).
    virtual std::string caption() const = 0;
    virtual void set_caption(std::string_view caption) = 0;
};

} // namespace meterdesk
