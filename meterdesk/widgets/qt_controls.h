// QtControls: the Controls view of a Qt dialog. It finds each control among the dialog's child
// widgets by its objectName "id<number>" and maps the view's operations onto the widget kinds
// the dialogs use (buttons, check boxes and radio buttons, edits, labels, group boxes, list
// boxes, drop-down lists and scroll bars). An id without a widget reads as empty and ignores
// writes.
#pragma once

#include "meterdesk/base/controls.h"

#include <QString>

class QWidget;

namespace meterdesk::ui {

// "id1623" for 1623.
QString control_name(int id);

class QtControls : public Controls {
  public:
    explicit QtControls(QWidget &dialog);

    std::string text(int id) const override;
    void set_text(int id, std::string_view text) override;
    bool checked(int id) const override;
    void set_checked(int id, bool checked) override;
    bool enabled(int id) const override;
    void set_enabled(int id, bool enabled) override;
    bool shown(int id) const override;
    void set_shown(int id, bool shown) override;
    std::vector<std::string> items(int id) const override;
    void set_items(int id, const std::vector<std::string> &items) override;
    int selection(int id) const override;
    void set_selection(int id, int index) override;
    void set_scroll_range(int id, int minimum, int maximum) override;
    int scroll_position(int id) const override;
    void set_scroll_position(int id, int position) override;
    void set_focus(int id) override;
    std::string caption() const override;
    void set_caption(std::string_view caption) override;

    // The widget of control `id`, or nullptr.
    QWidget *widget(int id) const;

  private:
    QWidget &dialog_;
};

} // namespace meterdesk::ui
