#include "meterdesk/ui/factory/flash_prog_progress_box.h"

#include "meterdesk/factory/flash_programmer.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace meterdesk::ui {

namespace {

class FlashProgressDialog : public QDialog {
  public:
    FlashProgressDialog(QWidget *owner, const QString &text, int range)
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint) {
        setObjectName(QString::fromUtf8(pic_flash_box::kProgressBox));
        setModal(true);
        auto *label = new QLabel(text);
        label->setAlignment(Qt::AlignCenter);
        bar_ = new QProgressBar;
        bar_->setObjectName(control_name(pic_flash_box::kProgressBar));
        bar_->setRange(0, std::max(range, 0));
        bar_->setValue(0);
        bar_->setTextVisible(false);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(bar_);
        setFixedSize(420, 110);
    }

    void step() { bar_->setValue(std::min(bar_->value() + 1, bar_->maximum())); }
    void finish() {
        finished_ = true;
        QDialog::close();
        if (QWidget *owner = parentWidget()) owner->activateWindow();
    }
    void reject() override {} // Escape does not end the job's box

  protected:
    void closeEvent(QCloseEvent *event) override {
        if (finished_)
            event->accept();
        else
            event->ignore();
    }

  private:
    QProgressBar *bar_ = nullptr;
    bool finished_ = false;
};

class FlashProgProgressBox : public ProgressBox {
  public:
    FlashProgProgressBox(QWidget *owner, const QString &text, int range)
        : dialog_(new FlashProgressDialog(owner, text, range)) {
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->show();
    }
    ~FlashProgProgressBox() override { close(); }
    void step() override {
        if (dialog_) dialog_->step();
    }
    void close() override {
        if (dialog_) dialog_->finish();
        dialog_ = nullptr;
    }
    QWidget *widget() override { return dialog_; }

  private:
    QPointer<FlashProgressDialog> dialog_;
};

} // namespace

std::unique_ptr<ProgressBox> make_flash_prog_progress_box(QWidget *owner, const QString &text,
                                                          int range, std::function<void()>) {
    return std::make_unique<FlashProgProgressBox>(owner, text, range);
}

} // namespace meterdesk::ui
