#include "meterdesk/ui/trace/stats_progress_box.h"

#include "meterdesk/widgets/qt_controls.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace meterdesk::ui {

namespace {
constexpr int kFrameMs = 30;
}

StatsProgressBox::StatsProgressBox(QWidget *owner, const QString &text, int range,
                                   std::function<void()> on_break)
    // No caption buttons: the run closes the box.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint), on_break_(std::move(on_break)) {
    setObjectName(QStringLiteral("StatsProgressBox"));
    setModal(true);

    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    bar_ = new QProgressBar;
    bar_->setObjectName(control_name(kProgressBarId));
    bar_->setRange(0, std::max(range, 0));
    bar_->setValue(0);
    bar_->setTextVisible(false);
    auto *stop = new QPushButton(tr("BREAK"));
    stop->setObjectName(control_name(kBreakId));
    stop->setDefault(true);
    connect(stop, &QPushButton::clicked, this, [this] {
        if (on_break_) on_break_();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(bar_);
    layout->addWidget(stop, 0, Qt::AlignHCenter);

    frame_.setInterval(kFrameMs);
    frame_.setSingleShot(true);
    connect(&frame_, &QTimer::timeout, this, [this] { show_count(); });

    // 186 x 74 dialog units of the 8-point dialog font.
    resize(279, 120);
}

void StatsProgressBox::step() {
    ++count_;
    if (!frame_.isActive()) frame_.start();
}

void StatsProgressBox::show_count() {
    bar_->setValue(std::min(count_, bar_->maximum()));
}

void StatsProgressBox::finish() {
    frame_.stop();
    done(QDialog::Accepted);
    if (QWidget *owner = parentWidget()) owner->activateWindow();
}

int StatsProgressBox::value() const {
    return bar_->value();
}

void StatsProgressBox::reject() {
    if (on_break_) on_break_();
}

std::unique_ptr<ProgressBox> make_stats_progress_box(QWidget *owner, const QString &text, int range,
                                                     std::function<void()> on_break) {
    auto *box = new StatsProgressBox(owner, text, range, std::move(on_break));
    box->show();
    box->raise();
    box->activateWindow();
    return std::make_unique<DialogProgressBox<StatsProgressBox>>(box);
}

} // namespace meterdesk::ui
