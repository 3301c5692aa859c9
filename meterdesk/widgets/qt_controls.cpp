#include "meterdesk/widgets/qt_controls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QWidget>

namespace meterdesk::ui {

namespace {

QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string to_utf8(const QString &text) {
    return text.toStdString();
}

} // namespace

QString control_name(int id) {
    return QStringLiteral("id%1").arg(id);
}

QtControls::QtControls(QWidget &dialog) : dialog_(dialog) {}

QWidget *QtControls::widget(int id) const {
    return dialog_.findChild<QWidget *>(control_name(id));
}

std::string QtControls::text(int id) const {
    QWidget *w = widget(id);
    if (auto *edit = qobject_cast<QLineEdit *>(w)) return to_utf8(edit->text());
    if (auto *label = qobject_cast<QLabel *>(w)) return to_utf8(label->text());
    if (auto *button = qobject_cast<QAbstractButton *>(w)) return to_utf8(button->text());
    if (auto *group = qobject_cast<QGroupBox *>(w)) return to_utf8(group->title());
    if (auto *rich = qobject_cast<QTextEdit *>(w)) return to_utf8(rich->toPlainText());
    if (auto *plain = qobject_cast<QPlainTextEdit *>(w)) return to_utf8(plain->toPlainText());
    if (auto *combo = qobject_cast<QComboBox *>(w)) return to_utf8(combo->currentText());
    return {};
}

void QtControls::set_text(int id, std::string_view text) {
    QWidget *w = widget(id);
    const QString value = from_utf8(text);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->setText(value);
    else if (auto *label = qobject_cast<QLabel *>(w))
        label->setText(value);
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        button->setText(value);
    else if (auto *group = qobject_cast<QGroupBox *>(w))
        group->setTitle(value);
    else if (auto *rich = qobject_cast<QTextEdit *>(w))
        rich->setPlainText(value);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
        plain->setPlainText(value);
    else if (auto *combo = qobject_cast<QComboBox *>(w); combo != nullptr && combo->isEditable())
        combo->setEditText(value);
}

void QtControls::set_scroll_range(int id, int minimum, int maximum) {
    auto *slider = qobject_cast<QAbstractSlider *>(widget(id));
    if (slider == nullptr) return;
    const QSignalBlocker quiet(slider);
    slider->setRange(minimum, maximum);
}

int QtControls::scroll_position(int id) const {
    auto *slider = qobject_cast<QAbstractSlider *>(widget(id));
    return slider == nullptr ? 0 : slider->value();
}

void QtControls::set_scroll_position(int id, int position) {
    auto *slider = qobject_cast<QAbstractSlider *>(widget(id));
    if (slider == nullptr) return;
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
}

bool QtControls::checked(int id) const {
    auto *button = qobject_cast<QAbstractButton *>(widget(id));
    return button != nullptr && button->isChecked();
}

void QtControls::set_checked(int id, bool checked) {
    auto *button = qobject_cast<QAbstractButton *>(widget(id));
    if (button == nullptr) return;
    const QSignalBlocker quiet(button);
    // An auto-exclusive radio button cannot be cleared directly; the logic decides which
    // button of a group is on, so it may clear one.
    const bool exclusive = button->autoExclusive();
    if (!checked && exclusive) button->setAutoExclusive(false);
    button->setChecked(checked);
    if (!checked && exclusive) button->setAutoExclusive(true);
}

bool QtControls::enabled(int id) const {
    QWidget *w = widget(id);
    return w != nullptr && w->isEnabled();
}

void QtControls::set_enabled(int id, bool enabled) {
    if (QWidget *w = widget(id)) w->setEnabled(enabled);
}

bool QtControls::shown(int id) const {
    QWidget *w = widget(id);
    return w != nullptr && !w->isHidden();
}

void QtControls::set_shown(int id, bool shown) {
    if (QWidget *w = widget(id)) w->setHidden(!shown);
}

std::vector<std::string> QtControls::items(int id) const {
    std::vector<std::string> out;
    QWidget *w = widget(id);
    if (auto *combo = qobject_cast<QComboBox *>(w)) {
        for (int i = 0; i < combo->count(); ++i) out.push_back(to_utf8(combo->itemText(i)));
    } else if (auto *list = qobject_cast<QListWidget *>(w)) {
        for (int i = 0; i < list->count(); ++i) out.push_back(to_utf8(list->item(i)->text()));
    }
    return out;
}

void QtControls::set_items(int id, const std::vector<std::string> &items) {
    QWidget *w = widget(id);
    QStringList texts;
    for (const std::string &item : items) texts << from_utf8(item);
    if (auto *combo = qobject_cast<QComboBox *>(w)) {
        const QSignalBlocker quiet(combo);
        combo->clear();
        combo->addItems(texts);
        combo->setCurrentIndex(-1);
    } else if (auto *list = qobject_cast<QListWidget *>(w)) {
        const QSignalBlocker quiet(list);
        list->clear();
        list->addItems(texts);
        list->setCurrentRow(-1);
    }
}

int QtControls::selection(int id) const {
    QWidget *w = widget(id);
    if (auto *combo = qobject_cast<QComboBox *>(w)) return combo->currentIndex();
    if (auto *list = qobject_cast<QListWidget *>(w)) return list->currentRow();
    return -1;
}

void QtControls::set_selection(int id, int index) {
    QWidget *w = widget(id);
    if (auto *combo = qobject_cast<QComboBox *>(w)) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(index < combo->count() ? index : -1);
    } else if (auto *list = qobject_cast<QListWidget *>(w)) {
        const QSignalBlocker quiet(list);
        list->setCurrentRow(index < list->count() ? index : -1);
    }
}

void QtControls::set_focus(int id) {
    QWidget *w = widget(id);
    if (w == nullptr) return;
    w->activateWindow(); // back from a message box, the dialog takes the keyboard again
    w->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(w)) edit->selectAll();
}

std::string QtControls::caption() const {
    return to_utf8(dialog_.windowTitle());
}

void QtControls::set_caption(std::string_view caption) {
    dialog_.setWindowTitle(from_utf8(caption));
}

} // namespace meterdesk::ui
