#include "meterdesk/ui/factory/firmware_progress_box.h"

#include "meterdesk/factory/firmware_download.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace meterdesk::ui {

namespace {

class FirmwareProgressDialog : public QDialog {
  public:
    FirmwareProgressDialog(QWidget *owner, const QString &text, int range)
        // No caption: a frame without a title bar, and so without a close button.
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint) {
        setObjectName(QString::fromUtf8(kFirmwareProgressBox));
        setModal(true);
        auto *label = new QLabel(text);
        label->setAlignment(Qt::AlignCenter);
        bar_ = new QProgressBar;
        bar_->setObjectName(control_name(kFirmwareProgressBarId));
        bar_->setRange(0, std::max(range, 1));
        bar_->setValue(0);
        bar_->setTextVisible(false);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(bar_);
        resize(419, 110);
    }
    void step() { bar_->setValue(std::min(bar_->value() + 1, bar_->maximum())); }
    void reject() override {} // Escape does not end a running download's box

  private:
    QProgressBar *bar_;
};

class FirmwareProgress final : public ProgressBox {
  public:
    FirmwareProgress(QWidget *owner, const QString &text, int range)
        : box_(new FirmwareProgressDialog(owner, text, range)) {
        box_->open();
    }
    ~FirmwareProgress() override { delete box_.data(); }
    FirmwareProgress(const FirmwareProgress &) = delete;
    FirmwareProgress &operator=(const FirmwareProgress &) = delete;

    void step() override {
        if (box_) box_->step();
    }
    void close() override {
        if (box_) box_->hide();
    }
    QWidget *widget() override { return box_.data(); }

  private:
    QPointer<FirmwareProgressDialog> box_; // the owner window may have deleted it first
};

} // namespace

std::unique_ptr<ProgressBox> make_firmware_progress_box(QWidget *owner, const QString &text,
                                                        int range,
                                                        std::function<void()> /*no BREAK*/) {
    return std::make_unique<FirmwareProgress>(owner, text, range);
}

} // namespace meterdesk::ui
