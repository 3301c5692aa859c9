// The dialogs in the running application: the Help command shows the help window with the
// application topic, Ctrl+S opens the Application Settings dialog whose Apply writes
// "AppSettings.dat", and the zero's progress box is the ZeroingProgressBox.
#include "meterdesk/core/command_ids.h"
#include "meterdesk/base/help_file.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/app_settings_box.h"
#include "meterdesk/ui/help_box.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/qt_ui.h"
#include "meterdesk/ui/zeroing_progress_box.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include <QEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

namespace meterdesk_test {
namespace {

namespace fs = std::filesystem;

class DialogWiringTest : public MeterAppTest {
  protected:
    // The application's main help topic, scrambled from its source into the app folder.
    void install_main_help_topic() {
        const fs::path source = fs::path(RFSENSE_TEST_DATA) / ".." / ".." / "help" / "hts1.rtf";
        fs::create_directories(app_dir.path() / "Help");
        std::string error;
        ASSERT_TRUE(
            meterdesk::scramble_help_file(source, app_dir.path() / "Help" / "hts1.dat", error))
            << error;
    }
};

TEST_F(DialogWiringTest, HelpCommandShowsTheApplicationTopic) {
    configure();
    install_main_help_topic();
    start();
    auto *box = dynamic_cast<meterdesk::ui::HelpBox *>(app->panels().panel("HelpBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(state().help_topic, meterdesk::kNoHelpTopic);

    ASSERT_TRUE(wait_measuring()); // the standard menu is installed when the splash ends
    QAction *help = window().menu_action(meterdesk::kCmdHelp);
    ASSERT_NE(help, nullptr);
    help->trigger();

    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(state().help_topic, 0);
    EXPECT_EQ(box->windowTitle(), "Help for Zyn Quorix USB Power Sensor");
    EXPECT_EQ(box->pane()->document()->firstBlock().text(), "Zyn Quorix USB Power Sensor");
    EXPECT_TRUE(box->pane()->toPlainText().contains("Keyboard shortcuts"));
}

TEST_F(DialogWiringTest, MissingHelpFileWarnsThroughTheApplicationsMessageBox) {
    configure();
    auto c = config();
    c.shipped_data = std::vector<fs::path>{}; // not even the build tree's topics
    make(c);
    start();
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    click_button(9011);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen()[0], "Zyn Quorix USB Power Sensor|Cant find help file");
    auto *box = dynamic_cast<meterdesk::ui::HelpBox *>(app->panels().panel("HelpBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->pane()->document()->isEmpty());
}

TEST_F(DialogWiringTest, CtrlSOpensTheSettingsAndApplyWritesTheFile) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    key(Qt::Key_S);
    auto *box =
        dynamic_cast<meterdesk::ui::AppSettingsBox *>(app->panels().panel("AppSettingsBox"));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isVisible());

    auto *fahrenheit = box->findChild<QRadioButton *>("id1625");
    auto *apply = box->findChild<QAbstractButton *>("id1628");
    ASSERT_NE(fahrenheit, nullptr);
    ASSERT_NE(apply, nullptr);
    QTest::mouseClick(fahrenheit, Qt::LeftButton);
    QTest::mouseClick(apply, Qt::LeftButton);

    EXPECT_FALSE(box->isVisible());
    EXPECT_FALSE(state().temperature_celsius);
    std::ifstream in(app_dir.path() / "AppSettings.dat", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, std::string("\x01\x00\x00\x00", 4));
}

// A machine where the meter was never installed: an empty home folder, no --app-dir, run from
// the build tree as the README's commands do.
TEST_F(DialogWiringTest, OnAFreshMachineSettingsPositionAndHelpWork) {
    ScratchFolder fresh_home;
    ScopedEnv home_env("HOME", fresh_home.path().string());
    ScopedEnv data_env("XDG_DATA_HOME", std::nullopt);
    ScopedEnv quorix_env("QUORIX_HOME", std::nullopt);
    const fs::path root = fresh_home.path() / ".local" / "share" / "Quorix";
    configure();
    auto c = config();
    c.app_dir.reset();
    make(c);
    start();
    EXPECT_EQ(state().app_dir.get(), root.string());
    EXPECT_TRUE(fs::is_directory(root));
    ASSERT_TRUE(wait_measuring());

    // Apply in the settings dialog writes "AppSettings.dat".
    key(Qt::Key_S);
    auto *settings =
        dynamic_cast<meterdesk::ui::AppSettingsBox *>(app->panels().panel("AppSettingsBox"));
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(settings->isVisible());
    QTest::mouseClick(settings->findChild<QAbstractButton *>("id1627"), Qt::LeftButton);
    QTest::mouseClick(settings->findChild<QAbstractButton *>("id1628"), Qt::LeftButton);
    std::ifstream in(root / "AppSettings.dat", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, std::string("\x01\x01\x00\x01", 4)); // confirm on exit now on

    // Help shows the application topic, found in the build tree, without a warning.
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    window().menu_action(meterdesk::kCmdHelp)->trigger();
    auto *help = dynamic_cast<meterdesk::ui::HelpBox *>(app->panels().panel("HelpBox"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(answerer.seen().isEmpty()) << answerer.seen().join("; ").toStdString();
    EXPECT_EQ(help->pane()->document()->firstBlock().text(), "Zyn Quorix USB Power Sensor");
    help->reject();

    // Saving the window position writes "pos.dat" beside it.
    window().save_position();
    EXPECT_TRUE(meterdesk::load_window_position(root / "pos.dat").has_value());
}

// Follows every ZeroingProgressBox that is shown: its range and the highest value its bar
// reached.
class ProgressBoxWatcher : public QObject {
  public:
    ProgressBoxWatcher() { qApp->installEventFilter(this); }
    ~ProgressBoxWatcher() override { qApp->removeEventFilter(this); }

    bool seen = false;
    int maximum = 0;
    int highest = 0;

  protected:
    bool eventFilter(QObject *object, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            if (auto *box = dynamic_cast<meterdesk::ui::ZeroingProgressBox *>(object)) {
                seen = true;
                maximum = box->maximum();
                if (auto *bar = box->findChild<QProgressBar *>("id1046"))
                    QObject::connect(bar, &QProgressBar::valueChanged, this,
                                     [this](int value) { highest = std::max(highest, value); });
            }
        }
        return false;
    }
};

TEST_F(DialogWiringTest, TheZeroRunsBehindTheZeroingProgressBox) {
    configure("power_dbm = off\n");
    start();
    ASSERT_TRUE(wait_measuring());
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    // In fast timing the whole zero can pass between two looks at the screen, so the box is
    // caught as it is shown and its bar is followed from then on.
    ProgressBoxWatcher watcher;
    key(Qt::Key_Z);
    ASSERT_TRUE(wait([&] { return state().zero_done && !app->ui().progress_widget("ZeroingProgressBox"); }));
    EXPECT_TRUE(watcher.seen);
    EXPECT_EQ(watcher.maximum, 150);
    EXPECT_GT(watcher.highest, 0);
}

} // namespace
} // namespace meterdesk_test
