#include "sensor-setup/ui/setup_window.h"

#include "sensor-setup/core/setup_options.h"
#include "sensor-setup/ui/help_box.h"
#include "sensor-setup/ui/pages.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPalette>

namespace sensor_setup::ui {

SetupWindow::SetupWindow(SetupWindowConfig config) : config_(std::move(config)) {
    setObjectName(QString::fromUtf8(kWindowTitle));
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setGeometry(500, 200, 600, 300);
    state_.source = config_.source;
    if (!config_.file_system) config_.file_system = make_posix_file_system();
    install_timer_.setSingleShot(true);
    connect(&install_timer_, &QTimer::timeout, this, [this] {
        if (progress_ != nullptr) progress_->page().command(kInstallCommand);
    });
}

SetupWindow::~SetupWindow() {
    if (worker_.joinable()) worker_.join();
}

PageBox *SetupWindow::page() const {
    return page_.data();
}

HelpBox *SetupWindow::help_box() const {
    return help_.data();
}

QMessageBox *SetupWindow::message_box() const {
    return message_.data();
}

void SetupWindow::start() {
    show();
    show_page(new UserInterfaceBox1(state_, this));
}

void SetupWindow::show_page(PageBox *page) {
    page_ = page;
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->place();
    const int step = page->objectName() == QStringLiteral("UserInterfaceBox1")   ? 1
                     : page->objectName() == QStringLiteral("UserInterfaceBox2") ? 2
                                                                                 : 3;
    connect(page, &QDialog::finished, this, [this, step](int result) {
        if (result != QDialog::Accepted) {
            // Cancel: nothing was written.
            progress_ = nullptr;
            emit finished(step == 3 ? state_.exit_status : 0);
            return;
        }
        next_page(step);
    });
    page->open();
    if (step == 3) progress_->page().open();
}

void SetupWindow::next_page(int step) {
    if (step == 1) {
        show_page(new UserInterfaceBox2(state_, *this, this));
    } else if (step == 2) {
        progress_ = new UserInterfaceBox3(state_, *this, this);
        show_page(progress_);
    } else {
        progress_ = nullptr;
        emit finished(state_.exit_status);
    }
}

void SetupWindow::message(std::string_view caption, std::string_view text) {
    QWidget *owner = help_   ? static_cast<QWidget *>(help_.data())
                     : page_ ? static_cast<QWidget *>(page_.data())
                             : this;
    auto *box = new QMessageBox(
        QMessageBox::Warning, QString::fromUtf8(caption.data(), qsizetype(caption.size())),
        QString::fromUtf8(text.data(), qsizetype(text.size())), QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    message_ = box;
    box->open();
}

std::optional<std::string> SetupWindow::choose_folder(std::string_view title) {
    if (config_.folder_picker) return config_.folder_picker(title);
    const QString folder = QFileDialog::getExistingDirectory(
        page_, QString::fromUtf8(title.data(), qsizetype(title.size())));
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

void SetupWindow::start_timer(int timer_id, int period_ms) {
    if (timer_id == kInstallTimer) install_timer_.start(period_ms);
}

void SetupWindow::stop_timer(int timer_id) {
    if (timer_id == kInstallTimer) install_timer_.stop();
}

void SetupWindow::show_help(int topic) {
    QWidget *owner = page_ ? static_cast<QWidget *>(page_.data()) : this;
    auto *box = new HelpBox(state_.source, topic, *this, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    help_ = box;
    box->open();
}

void SetupWindow::start_install() {
    if (worker_.joinable()) return;
    InstallRequest request;
    request.source = state_.source;
    request.target = state_.target;
    request.desktop_launcher = state_.desktop_launcher;
    request.menu_launcher = state_.menu_launcher;
    request.fallback_application = application_beside(config_.program_folder);
    std::shared_ptr<FileSystem> fs = config_.file_system;
    worker_ = std::thread([this, request, fs] {
        InstallReport report;
        std::string error;
        if (const auto places = setup_places(process_environment(), error)) {
            report = install(*fs, request, *places);
        } else {
            report.outcome = Outcome::kRolledBack;
            report.failure = Failure{request.target, error};
        }
        QMetaObject::invokeMethod(
            this, [this, report] { install_done(report); }, Qt::QueuedConnection);
    });
}

void SetupWindow::install_done(const InstallReport &report) {
    if (worker_.joinable()) worker_.join();
    if (progress_ != nullptr) progress_->page().install_finished(report);
}

} // namespace sensor_setup::ui
