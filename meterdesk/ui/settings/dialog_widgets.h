// Small builders for the settings dialogs' widgets: each control named "id<number>" so that
// QtControls finds it, edits single-line and centred, and forwarding of clicks and list
// selections to a dialog's logic.
#pragma once

#include "meterdesk/widgets/qt_controls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QString>

#include <functional>

namespace meterdesk::ui::settings_widgets {

template <typename Widget>
Widget *named(Widget *widget, int id) {
    widget->setObjectName(control_name(id));
    return widget;
}

// A single-line, centred edit box.
inline QLineEdit *edit(int id, int width_chars = 9) {
    auto *edit = named(new QLineEdit, id);
    edit->setAlignment(Qt::AlignCenter);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * width_chars);
    return edit;
}

// A label whose text the logic sets (ids), or a fixed one.
inline QLabel *label(const QString &text, int id = 0) {
    auto *label = new QLabel(text);
    if (id != 0) label->setObjectName(control_name(id));
    return label;
}

// Every button among `ids` forwards its clicks to `clicked(id)`.
template <typename Ids>
void forward_clicks(QWidget &dialog, const QtControls &controls, const Ids &ids,
                    const std::function<void(int)> &clicked) {
    for (const int id : ids) {
        if (auto *button = qobject_cast<QAbstractButton *>(controls.widget(id)))
            QObject::connect(button, &QAbstractButton::clicked, &dialog,
                             [clicked, id] { clicked(id); });
    }
}

// A drop-down list that reports the user's choices (not the logic's own selections).
inline void forward_choice(QWidget &dialog, QComboBox *list, int id,
                           const std::function<void(int)> &chosen) {
    QObject::connect(list, &QComboBox::activated, &dialog, [chosen, id] { chosen(id); });
}

// The scroll event of a slider action; kEndScroll for actions a scroll bar does not have.
inline ScrollAction scroll_action(int slider_action) {
    switch (slider_action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollAction::kLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollAction::kLineDown;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollAction::kPageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollAction::kPageDown;
    case QAbstractSlider::SliderToMinimum:
        return ScrollAction::kTop;
    case QAbstractSlider::SliderToMaximum:
        return ScrollAction::kBottom;
    case QAbstractSlider::SliderMove:
        return ScrollAction::kThumbTrack;
    default:
        return ScrollAction::kEndScroll;
    }
}

// Hands every scroll event of `bar` to `scrolled(id, action, drag position)` and leaves the
// thumb where the logic puts it: a slider moves its thumb after announcing an action, so the
// thumb is put back to the value the logic has set (or left) once the handler returns.
inline void forward_scroll(QWidget &dialog, QAbstractSlider *bar, int id,
                           const std::function<void(int, ScrollAction, int)> &scrolled) {
    QObject::connect(bar, &QAbstractSlider::actionTriggered, &dialog,
                     [bar, id, scrolled](int action) {
                         scrolled(id, scroll_action(action), bar->sliderPosition());
                         bar->setSliderPosition(bar->value());
                     });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, &dialog, [bar, id, scrolled] {
        scrolled(id, ScrollAction::kThumbPosition, bar->sliderPosition());
        scrolled(id, ScrollAction::kEndScroll, bar->value());
        bar->setSliderPosition(bar->value());
    });
}

} // namespace meterdesk::ui::settings_widgets
