// ZeroingProgressBox: stepped and closed from another thread as the zero thread does, and a
// whole zero of the simulated sensor driving the real box through the Ui port.
#include "meterdesk/core/zeroing.h"
#include "meterdesk/dialogs_gui/support/qt_helpers.h"
#include "meterdesk/support/meter_fixture.h"
#include "meterdesk/ui/zeroing_progress_box.h"
#include "meterdesk/widgets/qt_controls.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

using meterdesk::ui::ZeroingProgressBox;
using meterdesk_test::process_until;
using namespace std::chrono_literals;

TEST(ZeroingProgressBox, LayoutOfTheBox) {
    QWidget owner;
    ZeroingProgressBox box(&owner);
    EXPECT_TRUE(box.isModal());
    EXPECT_TRUE(box.windowTitle().isEmpty());
    EXPECT_FALSE(box.windowFlags() & Qt::WindowTitleHint) << "no caption";
    auto *bar = box.findChild<QProgressBar *>(meterdesk::ui::control_name(1046));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 150);
    auto *extra = box.findChild<QLabel *>(meterdesk::ui::control_name(1332));
    ASSERT_NE(extra, nullptr);
    EXPECT_TRUE(extra->text().isEmpty());
    bool has_text = false;
    for (QLabel *label : box.findChildren<QLabel *>())
        has_text = has_text || label->text() == "Zeroing sensor, please wait.";
    EXPECT_TRUE(has_text);
}

TEST(ZeroingProgressBox, SteppedAndClosedFromAWorkerThread) {
    QWidget owner;
    owner.show();
    ZeroingProgressBox box(&owner);
    box.post_start(meterdesk::kZeroingProgressText, meterdesk::kZeroProgressRange);
    ASSERT_TRUE(process_until([&] { return box.isVisible(); }));

    // The user cannot dismiss the box while the job runs.
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());

    // Records the bar's progress while the box is still up.
    auto *bar = box.findChild<QProgressBar *>(meterdesk::ui::control_name(1046));
    ASSERT_NE(bar, nullptr);
    int highest_seen_open = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (box.isVisible()) highest_seen_open = value;
    });

    std::thread worker([&] {
        for (int i = 0; i < 149; ++i) box.post_step();
        box.post_finish();
    });
    ASSERT_TRUE(process_until([&] { return !box.isVisible(); }));
    worker.join();
    EXPECT_EQ(box.value(), 149);
    EXPECT_EQ(box.maximum(), 150);
    EXPECT_EQ(highest_seen_open, 149) << "every step lands before the close";
    EXPECT_EQ(box.result(), QDialog::Accepted);

    // Steps past the end of the range stop at it; the next start begins at 0 again.
    for (int i = 0; i < 5; ++i) box.step();
    EXPECT_EQ(box.value(), 150);
    box.start("Other job", 10);
    EXPECT_EQ(box.value(), 0);
    EXPECT_EQ(box.maximum(), 10);
    box.finish();
}

TEST(ZeroingProgressBox, FactoryForTheMainWindowsUi) {
    QWidget owner;
    owner.show();
    std::unique_ptr<meterdesk::ui::ProgressBox> progress = meterdesk::ui::make_zeroing_progress_box(
        &owner, QString::fromUtf8(meterdesk::kZeroingProgressText), meterdesk::kZeroProgressRange,
        {});
    QPointer<QWidget> widget = progress->widget();
    auto *box = dynamic_cast<ZeroingProgressBox *>(widget.data());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->parentWidget(), &owner);
    for (int i = 0; i < 149; ++i) progress->step();
    EXPECT_EQ(box->value(), 149);
    progress->close();
    EXPECT_FALSE(box->isVisible());
    progress.reset();
    EXPECT_TRUE(widget.isNull()) << "the box goes with its progress handle";
}

// The Ui of the main window as far as the zero needs it: the progress calls drive the box,
// everything else is recorded.
class ProgressUi : public meterdesk_test::FakeUi {
  public:
    explicit ProgressUi(ZeroingProgressBox &box) : box_(box) {}
    void progress_open(std::string_view name, std::string_view text, int range,
                       std::function<void()> on_break) override {
        FakeUi::progress_open(name, text, range, std::move(on_break));
        box_.post_start(text, range);
    }
    void progress_step(std::string_view name) override {
        FakeUi::progress_step(name);
        box_.post_step();
    }
    void progress_close(std::string_view name) override {
        FakeUi::progress_close(name);
        box_.post_finish();
    }

  private:
    ZeroingProgressBox &box_;
};

class ZeroWithBoxTest : public meterdesk_test::MeterTest {};

TEST_F(ZeroWithBoxTest, AZeroOfTheSimulatedSensorSteps149TimesAndClosesTheBox) {
    configure("power_dbm = off\n");
    start();
    ASSERT_TRUE(wait_measuring());

    QWidget owner;
    owner.show();
    ZeroingProgressBox box(&owner);
    ProgressUi zero_ui(box);
    meterdesk::ZeroThread zero_thread(state, zero_ui, meterdesk::ZeroTiming{10ms, 2000ms});

    ASSERT_TRUE(zero_thread.zero_command());
    bool seen_open = false;
    ASSERT_TRUE(process_until(
        [&] {
            seen_open = seen_open || box.isVisible();
            return seen_open && !box.isVisible();
        },
        15000));
    ASSERT_TRUE(zero_thread.wait_finished(5000ms));

    EXPECT_EQ(box.value(), 149);
    EXPECT_EQ(box.maximum(), 150);
    EXPECT_TRUE(state.zero_done);
    EXPECT_TRUE(state.live_readout_enabled);
}

} // namespace
