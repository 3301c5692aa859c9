#include "meterdesk/ui/main_window.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/core/window_placement.h"
#include "meterdesk/ui/screen_widget.h"
#include "meterdesk/ui/toolbar_set.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

#include <climits>

namespace meterdesk::ui {
namespace {

constexpr const char *kCloseCaption = "Zyn Quorix USB Power Sensor";
constexpr const char *kExitCaption = "Zyn Quorix USB Sensor";

Rect rect_of(const QRect &r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

QString menu_text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The height the menu bar has once a menu is installed, so that the window keeps its size
// while the splash shows it without one.
int menu_bar_height(QWidget *window) {
    QMenuBar probe(window);
    probe.setNativeMenuBar(false);
    probe.addMenu("&File");
    return probe.sizeHint().height();
}

} // namespace

MainWindow::MainWindow(AppState &state, Ui &ui, MainWindowOptions options)
    : state_(state), ui_(ui), options_(options), resources_(make_screen_resources()),
      image_(kClientWidth, kClientHeight, QImage::Format_RGB32),
      painter_(state, image_, resources_) {
    setWindowTitle(kWindowTitle);
    setWindowIcon(program_icon());
    // A caption with system menu and minimise box; no sizing border, no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    image_.fill(Qt::white);

    menuBar()->setNativeMenuBar(false);
    menuBar()->setFixedHeight(menu_bar_height(this));

    screen_ = new ScreenWidget(image_, this);
    screen_->setObjectName("screen");
    setCentralWidget(screen_);
    toolbars_ = std::make_unique<ToolbarSet>(*screen_, [this](int id) { dispatch(id); });

    // The trace screens' two read-only boxes, created hidden with the toolbars.
    const std::array<QRect, 2> edit_places = {QRect(260, 4, 80, 20), QRect(510, 6, 80, 16)};
    const std::array<int, 2> edit_fonts = {16, 12};
    for (std::size_t i = 0; i < trace_edits_.size(); ++i) {
        auto *edit = new QLineEdit(screen_);
        edit->setReadOnly(true);
        edit->setFrame(true);
        edit->setGeometry(edit_places[i]);
        edit->setFont(resources_.fonts.of_size(edit_fonts[i]));
        edit->setObjectName(QStringLiteral("trace_edit%1").arg(i));
        edit->hide();
        trace_edits_[i] = edit;
    }

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(300, 250);

    frame_timer_.setSingleShot(true);
    connect(&frame_timer_, &QTimer::timeout, this, &MainWindow::flush_repaints);
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        const int id = static_cast<int>(i) + 1;
        connect(&timers_[i], &QTimer::timeout, this, [this, id] { timer_fired(id); });
    }
    // The trace sample timer paces the points: a coarse timer would drift by up to 5 %.
    timers_[kTraceSampleTimer - 1].setTimerType(Qt::PreciseTimer);

    const std::pair<QKeySequence, Shortcut> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), Shortcut::kControlPanel},
        {QKeySequence(Qt::CTRL | Qt::Key_L), Shortcut::kLogMode},
        {QKeySequence(Qt::Key_R), Shortcut::kRepaint},
        {QKeySequence(Qt::CTRL | Qt::Key_S), Shortcut::kSettings},
        {QKeySequence(Qt::CTRL | Qt::Key_T), Shortcut::kTemperatureMode},
        {QKeySequence(Qt::CTRL | Qt::Key_W), Shortcut::kWattsMode},
        {QKeySequence(Qt::CTRL | Qt::Key_X), Shortcut::kDateStamps},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), Shortcut::kZero},
    };
    for (const auto &[sequence, key] : keys) {
        auto *shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, key = key] {
            if (handler_ != nullptr) handler_->shortcut(key);
        });
        shortcuts_[key] = shortcut;
    }
}

MainWindow::~MainWindow() = default;

QWidget *MainWindow::screen() const {
    return screen_;
}

// --- repaint -------------------------------------------------------------------------------

void MainWindow::request_repaint(RepaintRequest code) {
    if (queue_.push(code))
        QMetaObject::invokeMethod(
            this, [this] { schedule_flush(); }, Qt::QueuedConnection);
}

void MainWindow::schedule_flush() {
    if (queue_.empty() || frame_timer_.isActive()) return;
    const qint64 since = since_flush_.isValid() ? since_flush_.elapsed() : LLONG_MAX;
    if (since >= options_.frame_interval_ms)
        flush_repaints();
    else
        frame_timer_.start(static_cast<int>(options_.frame_interval_ms - since));
}

void MainWindow::flush_repaints() {
    frame_timer_.stop();
    bool wake = false;
    for (RepaintRequest code : queue_.take()) wake = painter_.draw(code) || wake;
    since_flush_.restart();
    screen_->update();
    if (wake && alarm_wake_) alarm_wake_();
}

void MainWindow::replay_screens() {
    painter_.replay();
    screen_->update();
}

// --- menus, toolbars, commands ---------------------------------------------------------------

QAction *MainWindow::make_menu_action(std::string_view text, int command_id, QObject *parent) {
    auto *action = new QAction(menu_text(text), parent);
    action->setObjectName(QStringLiteral("id%1").arg(command_id));
    action->setData(command_id);
    action->setEnabled(command_enabled(command_id));
    connect(action, &QAction::triggered, this, [this, command_id] { dispatch(command_id); });
    menu_actions_.emplace(command_id, action);
    return action;
}

void MainWindow::add_menu_entries(QMenu &menu, const std::vector<MenuEntry> &entries) {
    for (const MenuEntry &entry : entries) {
        if (entry.separator()) {
            menu.addSeparator();
        } else if (entry.submenu()) {
            QMenu *sub = menu.addMenu(menu_text(entry.text));
            add_menu_entries(*sub, entry.items);
        } else {
            menu.addAction(make_menu_action(entry.text, entry.id, &menu));
        }
    }
}

void MainWindow::install_menu(std::string_view resource_name) {
    const std::vector<MenuEntry> *entries = menu_resource(resource_name);
    if (entries == nullptr) return;
    QMenuBar *bar = menuBar();
    bar->clear();
    // The old menu may be the one whose command is running now: let it go after the command.
    for (const QPointer<QObject> &old : menu_objects_) {
        if (old) old->deleteLater();
    }
    menu_objects_.clear();
    menu_actions_.clear();
    for (const MenuEntry &entry : *entries) {
        if (entry.submenu()) {
            auto *menu = new QMenu(menu_text(entry.text), bar);
            add_menu_entries(*menu, entry.items);
            bar->addMenu(menu);
            menu_objects_.emplace_back(menu);
        } else if (!entry.separator()) {
            QAction *action = make_menu_action(entry.text, entry.id, bar);
            bar->addAction(action);
            menu_objects_.emplace_back(action);
        }
    }
    if (trailing_entry_) {
        QAction *action = make_menu_action(trailing_entry_->first, trailing_entry_->second, bar);
        bar->addAction(action);
        menu_objects_.emplace_back(action);
    }
    installed_menu_ = std::string(resource_name);
}

void MainWindow::set_trailing_menu_entry(std::string text, int command_id) {
    trailing_entry_.emplace(std::move(text), command_id);
    if (!installed_menu_.empty()) install_menu(std::string(installed_menu_));
}

QAction *MainWindow::menu_action(int command_id) const {
    auto it = menu_actions_.find(command_id);
    return it == menu_actions_.end() ? nullptr : it->second.data();
}

void MainWindow::show_toolbar(int view_mode, bool shown) {
    toolbars_->set_shown(view_mode, shown);
}

void MainWindow::set_log_status(const QString &status) {
    const QString title = QString::fromUtf8(kWindowTitle) + status;
    if (windowTitle() != title) setWindowTitle(title);
}

// The trace view's two edit boxes: "LiveReadingBox" (the power now) and "StatusBox" (the
// trace status text).
void MainWindow::show_trace_boxes(bool shown) {
    for (QLineEdit *edit : trace_edits_) edit->setVisible(shown);
}

void MainWindow::set_trace_box_text(std::string_view resource_name, const QString &text) {
    QLineEdit *edit = resource_name == "LiveReadingBox" ? trace_edits_[0]
                      : resource_name == "StatusBox"    ? trace_edits_[1]
                                                        : nullptr;
    if (edit != nullptr && edit->text() != text) edit->setText(text);
}

void MainWindow::set_command_handler(CommandHandler *handler) {
    handler_ = handler;
    refresh_commands();
}

bool MainWindow::command_enabled(int command_id) const {
    if (disabled_.count(command_id) != 0) return false;
    return handler_ == nullptr || handler_->handles(command_id);
}

QShortcut *MainWindow::shortcut(Shortcut key) const {
    auto it = shortcuts_.find(key);
    return it == shortcuts_.end() ? nullptr : it->second;
}

// The enable state is kept per command and applied to every menu installed later, so that a
// menu re-installed while no sensor is connected still greys the sensor commands.
void MainWindow::set_command_enabled(int command_id, bool enabled) {
    const int twin = toolbar_twin(command_id);
    for (int id : {command_id, twin}) {
        if (id == 0) continue;
        if (enabled)
            disabled_.erase(id);
        else
            disabled_.insert(id);
        auto [first, last] = menu_actions_.equal_range(id);
        for (auto it = first; it != last; ++it) {
            if (it->second) it->second->setEnabled(command_enabled(id));
        }
        toolbars_->set_enabled(id, command_enabled(id));
    }
}

void MainWindow::refresh_commands() {
    for (auto &[id, action] : menu_actions_) {
        if (action) action->setEnabled(command_enabled(id));
    }
    for (int mode = 0; mode < kToolbarCount; ++mode) {
        for (const ToolbarButton &button : toolbar_buttons(mode))
            toolbars_->set_enabled(button.command_id, command_enabled(button.command_id));
    }
    for (auto &[key, shortcut] : shortcuts_)
        shortcut->setEnabled(handler_ == nullptr || handler_->handles(key));
}

void MainWindow::dispatch(int command_id) {
    if (handler_ != nullptr) handler_->command(command_id);
}

QLineEdit *MainWindow::trace_edit(int index) const {
    if (index < 0 || index >= static_cast<int>(trace_edits_.size())) return nullptr;
    return trace_edits_[static_cast<std::size_t>(index)];
}

// --- timers ----------------------------------------------------------------------------------

void MainWindow::start_timer(int timer_id, int period_ms) {
    if (timer_id < 1 || timer_id > static_cast<int>(timers_.size())) return;
    if (timer_id == kSplashTimer && options_.splash_period_ms >= 0)
        period_ms = options_.splash_period_ms;
    timers_[static_cast<std::size_t>(timer_id - 1)].start(std::max(0, period_ms));
}

void MainWindow::stop_timer(int timer_id) {
    if (timer_id < 1 || timer_id > static_cast<int>(timers_.size())) return;
    timers_[static_cast<std::size_t>(timer_id - 1)].stop();
}

bool MainWindow::timer_active(int timer_id) const {
    if (timer_id < 1 || timer_id > static_cast<int>(timers_.size())) return false;
    return timers_[static_cast<std::size_t>(timer_id - 1)].isActive();
}

void MainWindow::timer_fired(int timer_id) {
    switch (timer_id) {
    case kSplashTimer: {
        stop_timer(kSplashTimer);
        int splash = kStartupSplash; // releases the measurement thread
        state_.startup_phase.compare_exchange_strong(splash, kStartupSplashDone);
        break;
    }
    case kTraceSampleTimer:
        state_.sample_due = true;
        state_.trace_wake.notify(); // the trace run sleeps until a point is due
        break;
    case kZeroDriftTimer:
        state_.zero_drift_check_due = true;
        break;
    default:
        break;
    }
}

// --- position and exit -------------------------------------------------------------------------

void MainWindow::restore_position() {
    // The frame is fixed-size (its drawing is in pixels), so only the position is taken.
    if (auto rect = load_window_position(paths::window_position_file()))
        move(rect->left, rect->top);
    keep_on_screen();
}

// A position on a screen that is gone (a monitor removed, a lower resolution) would leave the
// fixed-size window where nobody can reach it: it is moved inside the screens there are.
void MainWindow::keep_on_screen() {
    std::vector<Rect> areas;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) areas.push_back(rect_of(primary->availableGeometry()));
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary) areas.push_back(rect_of(screen->availableGeometry()));
    }
    const QRect frame = frameGeometry();
    const WindowPlace place =
        place_window(frame.x(), frame.y(), frame.width(), frame.height(), areas);
    if (place.x != frame.x() || place.y != frame.y()) move(place.x, place.y);
}

void MainWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    // Only now has the window its final size.
    if (!placed_) {
        placed_ = true;
        keep_on_screen();
    }
}

void MainWindow::save_position() const {
    const QRect frame = frameGeometry();
    WindowRect rect;
    rect.left = frame.x();
    rect.top = frame.y();
    rect.right = frame.x() + frame.width();
    rect.bottom = frame.y() + frame.height();
    save_window_position(paths::window_position_file(), rect); // failures are silent
}

void MainWindow::exit_command() {
    if (state_.confirm_exit) {
        if (ui_.message(kExitCaption, "OK to exit?", MessageButtons::kOkCancel,
                        MessageIcon::kExclamation) != MessageAnswer::kOk)
            return;
    } else {
        save_position();
    }
    closing_confirmed_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!closing_confirmed_) {
        if (state_.confirm_exit) {
            if (ui_.message(kCloseCaption, "OK to close?", MessageButtons::kOkCancel,
                            MessageIcon::kExclamation) != MessageAnswer::kOk) {
                event->ignore();
                return;
            }
        } else {
            save_position();
        }
        closing_confirmed_ = true;
    }
    event->accept();
    emit quit_requested();
}

} // namespace meterdesk::ui
