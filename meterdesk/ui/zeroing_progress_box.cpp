#include "meterdesk/ui/zeroing_progress_box.h"

#include "meterdesk/core/zeroing.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

namespace meterdesk::ui {

ZeroingProgressBox::ZeroingProgressBox(QWidget *owner)
    // No caption: a frame without a title bar, and so without a close button.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("ZeroingProgressBox"));
    setModal(true);

    text_ = new QLabel(QString::fromUtf8(kZeroingProgressText));
    text_->setAlignment(Qt::AlignCenter);
    bar_ = new QProgressBar;
    bar_->setObjectName(control_name(kProgressBarId));
    bar_->setRange(0, kZeroProgressRange);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    auto *extra = new QLabel;
    extra->setObjectName(control_name(kExtraTextId));
    extra->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addWidget(extra);

    // 279 x 83 dialog units of the 8-point dialog font.
    resize(419, 135);
}

void ZeroingProgressBox::start(std::string_view text, int range) {
    text_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    bar_->setRange(0, std::max(range, 0));
    bar_->setValue(0);
    show();
    raise();
    activateWindow();
}

void ZeroingProgressBox::step() {
    bar_->setValue(std::min(bar_->value() + 1, bar_->maximum()));
}

void ZeroingProgressBox::finish() {
    done(QDialog::Accepted);
    if (QWidget *owner = parentWidget()) owner->activateWindow();
}

void ZeroingProgressBox::post_start(std::string_view text, int range) {
    QMetaObject::invokeMethod(
        this, [this, copy = std::string(text), range] { start(copy, range); },
        Qt::QueuedConnection);
}

void ZeroingProgressBox::post_step() {
    QMetaObject::invokeMethod(
        this, [this] { step(); }, Qt::QueuedConnection);
}

void ZeroingProgressBox::post_finish() {
    QMetaObject::invokeMethod(
        this, [this] { finish(); }, Qt::QueuedConnection);
}

int ZeroingProgressBox::value() const {
    return bar_->value();
}

int ZeroingProgressBox::maximum() const {
    return bar_->maximum();
}

void ZeroingProgressBox::reject() {}

std::unique_ptr<ProgressBox> make_zeroing_progress_box(QWidget *owner, const QString &text,
                                                       int range, std::function<void()>) {
    auto *box = new ZeroingProgressBox(owner);
    box->start(text.toStdString(), range);
    return std::make_unique<DialogProgressBox<ZeroingProgressBox>>(box);
}

} // namespace meterdesk::ui
