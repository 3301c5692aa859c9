// A fixture that runs the whole meter application (Application: window, ports, threads) on the
// offscreen platform against the simulated sensor in fast timing, with a scratch data folder,
// a scratch app_dir, a short splash and silent sound.
#pragma once

#include "meterdesk/core/app_state.h"
#include "meterdesk/support/scratch.h"
#include "meterdesk/ui/application.h"
#include "meterdesk/ui/main_window.h"
#include "meterdesk/ui/screen_painter.h"

#include <rfsim/rfsim.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace meterdesk_test {

using namespace std::chrono_literals;

// Answers every message box that comes up while it lives, with `button`, and keeps what the
// boxes said ("caption|text").
class MessageBoxAnswerer {
  public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok)
        : button_(button) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }
    void set_button(QMessageBox::StandardButton button) { button_ = button; }
    const QStringList &seen() const { return seen_; }

  private:
    void answer() {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box == nullptr || !box->isVisible() || answered_.contains(box)) continue;
            answered_.append(box);
            seen_ << box->windowTitle() + "|" + box->text();
            if (QAbstractButton *b = box->button(button_)) b->click();
        }
    }

    QMessageBox::StandardButton button_;
    QTimer timer_;
    QStringList seen_;
    QList<QPointer<QMessageBox>> answered_;
};

// Runs `action` on the first visible top-level widget of type T, from the event loop (also
// inside a modal dialog's own loop).
template <typename T>
class WhenShown {
  public:
    explicit WhenShown(std::function<void(T &)> action) : action_(std::move(action)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *target = qobject_cast<T *>(widget);
                if (target == nullptr || !target->isVisible()) continue;
                timer_.stop();
                fired_ = true;
                action_(*target);
                return;
            }
        });
        timer_.start();
    }
    bool fired() const { return fired_; }

  private:
    std::function<void(T &)> action_;
    QTimer timer_;
    bool fired_ = false;
};

class MeterAppTest : public ::testing::Test {
  protected:
    static constexpr meterdesk::MeasurementTiming kFastTiming{5ms, 20ms, 5ms, 10ms};

    static void configure(const std::string &keys = {}) {
        const std::string text = "[device]\n" + keys;
        ASSERT_GE(rfsim_configure(text.c_str()), 0) << rfsim_error();
    }

    static void set(const char *key, const char *value) {
        ASSERT_EQ(rfsim_set(0, key, value), 0) << rfsim_error();
    }

    meterdesk::ui::ApplicationConfig config() const {
        meterdesk::ui::ApplicationConfig c;
        c.app_dir = app_dir.path();
        c.measurement = kFastTiming;
        c.zero = {5ms, 3000ms};
        c.window.splash_period_ms = 150;
        c.window.frame_interval_ms = 5;
        c.use_audio = false;
        return c;
    }

    // Builds the application; register extra panels through app->panels() before start().
    void make(meterdesk::ui::ApplicationConfig c) {
        app = std::make_unique<meterdesk::ui::Application>(std::move(c));
    }
    void start() {
        if (!app) make(config());
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }

    meterdesk::ui::MainWindow &window() { return app->window(); }
    meterdesk::AppState &state() { return app->state(); }
    meterdesk::ui::ScreenPainter &painter() { return window().painter(); }
    const QImage &image() { return window().backing_image(); }

    static bool wait(const std::function<bool()> &condition, int ms = 10000) {
        return QTest::qWaitFor(condition, ms);
    }

    // A sensor is measuring and its readout has been drawn.
    bool wait_measuring(int ms = 10000) {
        return wait(
            [&] {
                return state().connection_state == meterdesk::kConnectionMeasuring &&
                       state().live_readout_enabled && state().measurement_frame_shown &&
                       painter().draw_count(meterdesk::RepaintRequest::kLiveReadout) > 0 &&
                       !window().repaints_pending();
            },
            ms);
    }

    // The next readout after now has been drawn.
    bool wait_next_readout(int ms = 5000) {
        const int before = painter().draw_count(meterdesk::RepaintRequest::kLiveReadout);
        return wait(
            [&] {
                return painter().draw_count(meterdesk::RepaintRequest::kLiveReadout) > before + 1 &&
                       !window().repaints_pending();
            },
            ms);
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        window().activateWindow();
        QTest::keyClick(&window(), k, modifiers);
    }

    // Clicks the toolbar button of a command.
    void click_button(int command_id);

    // Saves the backing image as <build>/screenshots/<name>.png.
    void screenshot(const std::string &name);

    void TearDown() override {
        if (app) {
            EXPECT_TRUE(app->shutdown());
            app.reset();
        }
        QTest::qWait(1); // let deferred deletions run
    }

    ScratchFolder home;
    ScratchFolder app_dir;
    ScopedEnv quorix_home{"QUORIX_HOME", home.path().string()};
    ScopedEnv marrick_home{"MARRICK_HOME", home.path().string()};
    ScopedEnv test_root{"QUORIX_TEST_ROOT", home.path().string()};
    std::unique_ptr<meterdesk::ui::Application> app;
};

// Pixels darker than mid-grey in a rectangle of the image.
int dark_pixels(const QImage &image, const QRect &area);
// Pixels of this colour in a rectangle, counting the edges of smoothed text: pixels nearer to
// the colour than to white, black or mid-grey.
int pixels_of(const QImage &image, const QRect &area, QColor colour);

} // namespace meterdesk_test
