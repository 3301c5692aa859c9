// The Qt faces of the ports: message boxes from worker threads, releasing waiting workers at
// shutdown, coalesced repaints, and sound without an audio device.
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/qt_sound.h"
#include "meterdesk/ui/qt_ui.h"

#include <QFileDialog>

#include <atomic>
#include <chrono>
#include <thread>

namespace meterdesk_test {
namespace {

using meterdesk::MessageAnswer;
using meterdesk::MessageButtons;
using meterdesk::MessageIcon;
using meterdesk::RepaintRequest;

TEST_F(MeterAppTest, AMessageFromAWorkerWaitsForTheUsersAnswer) {
    configure("plugged = 0\n");
    start();
    MessageBoxAnswerer answerer(QMessageBox::Cancel);
    std::atomic<bool> done{false};
    MessageAnswer answer = MessageAnswer::kOk;
    std::thread worker([&] {
        answer = app->ui().message("Caption", "Question?", MessageButtons::kOkCancel,
                                   MessageIcon::kInformation);
        done = true;
    });
    ASSERT_TRUE(wait([&] { return done.load(); }, 5000));
    worker.join();
    EXPECT_EQ(answer, MessageAnswer::kCancel);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0], "Caption|Question?");
}

TEST_F(MeterAppTest, ShutdownReleasesAWorkerWaitingForAMessageBox) {
    configure("plugged = 0\n");
    start();
    std::atomic<bool> done{false};
    std::atomic<bool> released_while_shown{false};
    MessageAnswer answer = MessageAnswer::kOk;
    std::thread worker([&] {
        answer = app->ui().message("Caption", "Never answered", MessageButtons::kOkCancel,
                                   MessageIcon::kNone);
        done = true;
    });
    // Inside the box's own event loop: shut the port down, see the worker return while the box
    // is still up, then take the box away.
    WhenShown<QMessageBox> shown([&](QMessageBox &box) {
        app->ui().shut_down();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        released_while_shown = done.load() && box.isVisible();
        box.reject();
    });
    ASSERT_TRUE(wait([&] { return done.load(); }, 5000));
    worker.join();
    EXPECT_TRUE(released_while_shown);
    EXPECT_EQ(answer, MessageAnswer::kCancel);
    // Later calls return at once.
    EXPECT_EQ(app->ui().message("C", "T", MessageButtons::kOk, MessageIcon::kNone),
              MessageAnswer::kCancel);
    EXPECT_EQ(app->ui().open_file_dialog("/", "All Files (*.*)"), "");
}

TEST_F(MeterAppTest, AFileDialogFromAWorkerReturnsTheChosenPathOrNothing) {
    configure("plugged = 0\n");
    start();
    const auto chosen = home.write("setups/bench.TXT", "setup");
    for (bool accept : {true, false}) {
        std::atomic<bool> done{false};
        std::string path = "unset";
        std::thread worker([&] {
            path =
                app->ui().open_file_dialog((home.path() / "setups").string(), "Text Files (*.TXT)");
            done = true;
        });
        WhenShown<QFileDialog> dialog([&](QFileDialog &d) {
            if (accept) {
                d.selectFile(QString::fromStdString(chosen.string()));
                static_cast<QDialog &>(d).accept(); // QFileDialog hides it
            } else {
                d.reject();
            }
        });
        ASSERT_TRUE(wait([&] { return done.load(); }, 10000));
        worker.join();
        EXPECT_EQ(path, accept ? chosen.string() : std::string());
    }
}

TEST_F(MeterAppTest, ABurstOfRepaintsIsDrawnOncePerFrame) {
    configure("plugged = 0\n");
    start();
    ASSERT_TRUE(wait([&] { return state().connection_state == meterdesk::kConnectionNoSensor; }));
    QTest::qWait(20);
    const int before = painter().draw_count(RepaintRequest::kStatusPanel);
    std::thread burst([&] {
        for (int i = 0; i < 1000; ++i) app->ui().repaint(RepaintRequest::kStatusPanel);
    });
    burst.join(); // the GUI thread has drawn nothing meanwhile
    ASSERT_TRUE(wait([&] { return !window().repaints_pending(); }));
    QTest::qWait(20);
    EXPECT_EQ(painter().draw_count(RepaintRequest::kStatusPanel), before + 1);
}

TEST(QtSound, BeepTakesItsTimeWithOrWithoutAnAudioDevice) {
    for (bool use_audio : {false, true}) {
        meterdesk::ui::QtSound sound(use_audio);
        if (!use_audio) {
            EXPECT_FALSE(sound.audible());
        }
        const auto start = std::chrono::steady_clock::now();
        std::thread worker([&] { sound.beep(1000, 60); });
        static_cast<void>(
            QTest::qWaitFor([&] { return std::chrono::steady_clock::now() - start > 80ms; }, 1000));
        worker.join();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_GE(took, 60ms);
        EXPECT_LT(took, 2000ms);
        sound.play_wav("/nonexistent/UTOPIA.WAV"); // a missing file plays nothing
        QTest::qWait(5);
        sound.shut_down();
        const auto after = std::chrono::steady_clock::now();
        sound.beep(1000, 500); // at program end a beep returns at once
        EXPECT_LT(std::chrono::steady_clock::now() - after, 100ms);
    }
}

} // namespace
} // namespace meterdesk_test
