#include "meterdesk/ui/qt_ui.h"

#include "meterdesk/ui/main_window.h"
#include "meterdesk/ui/panel_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace meterdesk::ui {
namespace {

bool on_gui_thread() {
    return QCoreApplication::instance() != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

QString qt_text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A filter as the file dialog takes it: "*.*", every file on the platform the filters come
// from, is "*" here (names without a dot have no extension). Names here are case-sensitive, so
// an extension pattern such as "*.HEX" also gets its lower-case form: "firmware.hex" is offered
// like "FIRMWARE.HEX".
QString file_filter(std::string_view filter) {
    QString text = qt_text(filter);
    text.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)\\)"));
    const auto match = pattern.match(text);
    if (match.hasMatch() && match.captured(1) != match.captured(1).toLower())
        text.replace(
            match.capturedStart(), match.capturedLength(),
            QStringLiteral("(*.%1 *.%2)").arg(match.captured(1), match.captured(1).toLower()));
    return text;
}

QMessageBox::Icon box_icon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::kInformation:
        return QMessageBox::Information;
    case MessageIcon::kExclamation:
        return QMessageBox::Warning;
    case MessageIcon::kNone:
        break;
    }
    return QMessageBox::NoIcon;
}

// A dialog the user cannot dismiss: only the job that opened it closes it. No caption: a frame
// without a title bar, and so without a close button.
class ProgressDialog : public QDialog {
  public:
    ProgressDialog(QWidget *owner, const QString &text, int range, const QString &resource_name,
                   int bar_id)
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
        setObjectName(resource_name);
        setWindowTitle(QString());
        setModal(true);
        auto *layout = new QVBoxLayout(this);
        auto *label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        bar_ = new QProgressBar(this);
        bar_->setObjectName(QStringLiteral("id%1").arg(bar_id));
        bar_->setRange(0, std::max(range, 0));
        bar_->setValue(0);
        bar_->setTextVisible(false);
        layout->addWidget(label);
        layout->addWidget(bar_);
        setFixedSize(420, 110);
    }

    void step() { bar_->setValue(std::min(bar_->value() + 1, bar_->maximum())); }
    void finish() {
        finished_ = true;
        QDialog::close();
    }
    void reject() override {} // Escape does nothing

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

class StandardProgressBox : public ProgressBox {
  public:
    StandardProgressBox(QWidget *owner, const QString &text, int range,
                        const QString &resource_name, int bar_id)
        : dialog_(new ProgressDialog(owner, text, range, resource_name, bar_id)) {
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->show();
    }
    ~StandardProgressBox() override { close(); }
    void step() override {
        if (dialog_) dialog_->step();
    }
    void close() override {
        if (dialog_) dialog_->finish();
        dialog_ = nullptr;
    }
    QWidget *widget() override { return dialog_; }

  private:
    QPointer<ProgressDialog> dialog_;
};

} // namespace

std::unique_ptr<ProgressBox> make_standard_progress_box(QWidget *owner, const QString &text,
                                                        int range, std::function<void()>) {
    return make_named_progress_box(owner, text, range, QStringLiteral("ProgressBox"), 1046);
}

std::unique_ptr<ProgressBox> make_named_progress_box(QWidget *owner, const QString &text, int range,
                                                     const QString &resource_name, int bar_id) {
    return std::make_unique<StandardProgressBox>(owner, text, range, resource_name, bar_id);
}

QtUi::QtUi() = default;

QtUi::~QtUi() {
    shut_down();
}

void QtUi::attach(MainWindow &window, PanelRegistry &panels) {
    panels_ = &panels;
    window_ = &window;
}

void QtUi::set_progress_box_factory(std::string resource_name, ProgressBoxFactory factory) {
    progress_factories_[std::move(resource_name)] = std::move(factory);
}

void QtUi::shut_down() {
    {
        std::lock_guard lock(mutex_);
        shut_down_flag_ = true;
    }
    answered_.notify_all();
}

QWidget *QtUi::progress_widget(std::string_view resource_name) const {
    auto found = progress_boxes_.find(resource_name);
    return found == progress_boxes_.end() ? nullptr : found->second->widget();
}

void QtUi::post(std::function<void(MainWindow &)> job) {
    MainWindow *window = window_.load();
    if (window == nullptr || shut_down_flag_) return;
    if (on_gui_thread()) {
        job(*window);
        return;
    }
    // The window outlives every worker (the program stops the threads before destroying it),
    // and events still queued when it goes are dropped with it.
    QMetaObject::invokeMethod(
        window, [window, job = std::move(job)] { job(*window); }, Qt::QueuedConnection);
}

template <typename Result>
std::optional<Result> QtUi::call(std::function<Result(MainWindow &)> job) {
    MainWindow *window = window_.load();
    if (window == nullptr || shut_down_flag_) return std::nullopt;
    if (on_gui_thread()) return job(*window);

    struct Pending {
        std::optional<Result> result;
        bool done = false;
    };
    auto pending = std::make_shared<Pending>();
    QMetaObject::invokeMethod(
        window,
        [this, window, pending, job = std::move(job)] {
            if (shut_down_flag_) return; // the caller has been released already
            Result result = job(*window);
            std::lock_guard lock(mutex_);
            pending->result = std::move(result);
            pending->done = true;
            answered_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return pending->done || shut_down_flag_.load(); });
    return pending->done ? std::move(pending->result) : std::nullopt;
}

MessageAnswer QtUi::message(std::string_view caption, std::string_view text, MessageButtons buttons,
                            MessageIcon icon) {
    const QString qcaption = qt_text(caption);
    const QString qtext = qt_text(text);
    const auto answer = call<MessageAnswer>([=](MainWindow &window) {
        QMessageBox box(box_icon(icon), qcaption, qtext,
                        buttons == MessageButtons::kOkCancel
                            ? QMessageBox::Ok | QMessageBox::Cancel
                            : QMessageBox::StandardButtons(QMessageBox::Ok),
                        &window);
        box.setObjectName("MessageBox");
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? MessageAnswer::kOk : MessageAnswer::kCancel;
    });
    return answer.value_or(MessageAnswer::kCancel);
}

void QtUi::repaint(RepaintRequest code) {
    MainWindow *window = window_.load();
    if (window == nullptr || shut_down_flag_) return;
    window->request_repaint(code); // thread-safe
}

void QtUi::install_menu(std::string_view resource_name) {
    post([name = std::string(resource_name)](MainWindow &w) { w.install_menu(name); });
}

void QtUi::show_toolbar(int view_mode, bool shown) {
    post([=](MainWindow &w) { w.show_toolbar(view_mode, shown); });
}

void QtUi::enable_command(int command_id, bool enabled) {
    post([=](MainWindow &w) { w.set_command_enabled(command_id, enabled); });
}

void QtUi::start_timer(int timer_id, int period_ms) {
    post([=](MainWindow &w) { w.start_timer(timer_id, period_ms); });
}

void QtUi::stop_timer(int timer_id) {
    post([=](MainWindow &w) { w.stop_timer(timer_id); });
}

void QtUi::close_panel(std::string_view resource_name) {
    post([this, name = std::string(resource_name)](MainWindow &) {
        if (panels_ != nullptr) panels_->close_panel(name);
    });
}

void QtUi::progress_open(std::string_view resource_name, std::string_view text, int range,
                         std::function<void()> on_break) {
    post([this, name = std::string(resource_name), text = qt_text(text), range,
          on_break = std::move(on_break)](MainWindow &w) mutable {
        auto &box = progress_boxes_[name];
        if (box) box->close(); // a job that opens its box again starts it afresh
        auto factory = progress_factories_.find(name);
        box = factory == progress_factories_.end()
                  ? make_standard_progress_box(&w, text, range, std::move(on_break))
                  : factory->second(&w, text, range, std::move(on_break));
    });
}

void QtUi::progress_step(std::string_view resource_name) {
    post([this, name = std::string(resource_name)](MainWindow &) {
        auto found = progress_boxes_.find(name);
        if (found != progress_boxes_.end()) found->second->step();
    });
}

void QtUi::progress_close(std::string_view resource_name) {
    post([this, name = std::string(resource_name)](MainWindow &w) {
        auto found = progress_boxes_.find(name);
        if (found == progress_boxes_.end()) return;
        found->second->close();
        progress_boxes_.erase(found);
        w.activateWindow(); // the focus goes back to the main window
    });
}

void QtUi::log_status(std::string_view status) {
    post([text = QString::fromUtf8(status.data(), static_cast<qsizetype>(status.size()))](
             MainWindow &w) { w.set_log_status(text); });
}

void QtUi::show_trace_boxes(bool shown) {
    post([=](MainWindow &w) { w.show_trace_boxes(shown); });
}

void QtUi::set_trace_box_text(std::string_view resource_name, std::string_view text) {
    post([name = std::string(resource_name), text = qt_text(text)](MainWindow &w) {
        w.set_trace_box_text(name, text);
    });
}

std::string QtUi::open_file_dialog(std::string_view initial_folder, std::string_view filter) {
    const QString folder = qt_text(initial_folder);
    const QString filters = file_filter(filter);
    return call<std::string>([=](MainWindow &w) {
               return QFileDialog::getOpenFileName(&w, QString(), folder, filters).toStdString();
           })
        .value_or(std::string());
}

std::string QtUi::save_file_dialog(std::string_view initial_folder, std::string_view filter) {
    const QString folder = qt_text(initial_folder);
    const QString filters = file_filter(filter);
    // The caller asks its own question before it replaces a file.
    return call<std::string>([=](MainWindow &w) {
               return QFileDialog::getSaveFileName(&w, QString(), folder, filters, nullptr,
                                                   QFileDialog::DontConfirmOverwrite)
                   .toStdString();
           })
        .value_or(std::string());
}

} // namespace meterdesk::ui
