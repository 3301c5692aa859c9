// Which commands the window offers: nothing acts on the splash; with a sensor every enabled
// menu item and toolbar button does something, and every one whose panel or dialog is not
// there is greyed, with a sensor and without; a registration un-greys its command and key.
#include "meterdesk/core/command_ids.h"
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/command_handler.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/toolbar_set.h"

#include <QAbstractPrintDialog>
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QToolBar>

#include <map>
#include <utility>
#include <vector>

namespace meterdesk_test {
namespace {

using meterdesk::RepaintRequest;
using meterdesk::ui::Shortcut;

// The command actions of a menu and its submenus.
void collect(const QList<QAction *> &actions, std::vector<QAction *> &out) {
    for (QAction *action : actions) {
        if (action->menu() != nullptr)
            collect(action->menu()->actions(), out);
        else if (!action->isSeparator() && action->data().isValid())
            out.push_back(action);
    }
}

class CommandStateTest : public MeterAppTest {
  protected:
    // The installed menu's items and the measurement toolbar's buttons.
    std::vector<QAction *> controls() {
        std::vector<QAction *> out;
        collect(window().menuBar()->actions(), out);
        collect(window().toolbars().toolbar(0)->actions(), out);
        return out;
    }

    static int id_of(const QAction *action) { return action->data().toInt(); }

    struct Fingerprint {
        int mode, setup, places, topic;
        bool operator==(const Fingerprint &) const = default;
    };
    Fingerprint fingerprint() {
        return {state().meas_mode, state().display_setup, state().resolution_places,
                state().help_topic};
    }

    // Runs `give` (a command given one way or another) and says what came of it: windows and
    // message boxes shown (each answered with Cancel, or closed), state changed, the window
    // quitting. Empty: the command did nothing.
    QStringList effects_of(const std::function<void()> &give) {
        QList<QPointer<QWidget>> before;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->isVisible()) before.append(widget);
        const Fingerprint was = fingerprint();
        QSignalSpy quit(&window(), &meterdesk::ui::MainWindow::quit_requested);

        QStringList seen;
        QList<QPointer<QWidget>> handled;
        auto close_new_windows = [&] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (!widget->isVisible() || before.contains(widget) || handled.contains(widget) ||
                    qobject_cast<QMenu *>(widget) != nullptr)
                    continue;
                handled.append(widget);
                if (auto *box = qobject_cast<QMessageBox *>(widget)) {
                    seen << "message " + box->windowTitle() + "|" + box->text();
                    QAbstractButton *button = box->button(QMessageBox::Cancel);
                    if (button == nullptr) button = box->button(QMessageBox::Ok);
                    if (button != nullptr) button->click();
                } else if (auto *dialog = qobject_cast<QDialog *>(widget)) {
                    seen << "dialog " + QString(dialog->metaObject()->className());
                    if (dialog->isModal())
                        dialog->reject();
                    else
                        dialog->hide();
                } else {
                    seen << "window " + QString(widget->metaObject()->className());
                    widget->hide();
                }
            }
        };
        QTimer closer;
        closer.setInterval(2);
        QObject::connect(&closer, &QTimer::timeout, close_new_windows);
        closer.start();
        give();
        QTest::qWait(20); // what the command queued (a panel shown, a box opened) happens
        close_new_windows();
        closer.stop();
        if (fingerprint() != was) seen << "state";
        if (quit.count() > 0) seen << "quit";
        return seen;
    }
};

TEST_F(CommandStateTest, NothingActsOnTheSplash) {
    configure();
    auto c = config();
    c.window.splash_period_ms = 1'000'000; // the test ends the splash itself
    make(c);
    start();
    ASSERT_TRUE(state().splash_shown);
    const Fingerprint was = fingerprint();

    // Only Help is offered on the toolbar.
    QToolBar *bar = window().toolbars().toolbar(0);
    ASSERT_TRUE(bar->isVisible());
    for (QAction *action : bar->actions())
        EXPECT_EQ(action->isEnabled(), id_of(action) == 9011) << id_of(action);
    window().grab().save(QString(METERDESK_SCREENSHOT_DIR) + "/splash_window.png");

    MessageBoxAnswerer answerer(QMessageBox::Cancel);
    WhenShown<QAbstractPrintDialog> print([](QAbstractPrintDialog &d) { d.reject(); });
    for (QAction *action : bar->actions()) {
        if (id_of(action) != 9011) QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
    }
    for (Qt::Key k : {Qt::Key_Z, Qt::Key_S, Qt::Key_T, Qt::Key_W, Qt::Key_C}) key(k);
    key(Qt::Key_R, Qt::NoModifier);
    // Given any other way (a menu of a later view, a test), the commands do nothing either.
    for (int id : {9003, 9004, 9005, 9010, 40136, 40011, 40131, 40047}) app->commands().command(id);
    QTest::qWait(20);

    EXPECT_EQ(fingerprint(), was);
    EXPECT_TRUE(answerer.seen().isEmpty()) << answerer.seen().join("; ").toStdString();
    EXPECT_FALSE(print.fired());
    EXPECT_FALSE(app->panels().is_open(meterdesk::ui::kAppSettingsBox));
    EXPECT_EQ(painter().draw_count(RepaintRequest::kClear), 0);
    EXPECT_EQ(painter().draw_count(RepaintRequest::kFrame), 0);
    EXPECT_EQ(painter().draw_count(RepaintRequest::kLiveReadout), 0);
    EXPECT_TRUE(state().splash_shown);
    EXPECT_GT(pixels_of(image(), QRect(80, 160, 446, 2), QColor(0, 0, 170)), 400); // its frame

    // The splash ends (as its timer would end it): the readout buttons work.
    state().startup_phase = meterdesk::kStartupSplashDone;
    ASSERT_TRUE(wait_measuring());
    for (int id : meterdesk::kMeasurementToolbarCommands) {
        EXPECT_EQ(window().command_enabled(id), app->commands().handles(id)) << id;
    }
    click_button(9004);
    EXPECT_EQ(state().display_setup, 1);
}

TEST_F(CommandStateTest, EnabledControlsDoSomethingAndTheOthersStayGreyedWithOrWithoutASensor) {
    configure("plugged = 0\n");
    start();
    ASSERT_TRUE(wait([&] {
        return state().connection_state == meterdesk::kConnectionNoSensor &&
               window().installed_menu() == "Zyn_Menu" && !window().repaints_pending();
    }));
    std::map<int, bool> enabled_without_sensor;
    for (QAction *action : controls()) enabled_without_sensor[id_of(action)] = action->isEnabled();

    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());
    int greyed = 0;
    for (QAction *action : controls()) {
        const int id = id_of(action);
        if (id == meterdesk::kCmdExit) continue; // closes the window: its own tests
        if (action->isEnabled()) {
            const QStringList effects = effects_of([action] { action->trigger(); });
            EXPECT_FALSE(effects.isEmpty()) << "enabled but does nothing: " << id;
        } else {
            // Given to the dispatcher past the greyed control, it would do nothing either.
            const QStringList effects = effects_of([&] { app->commands().command(id); });
            EXPECT_TRUE(effects.isEmpty())
                << "greyed but does something: " << id << " " << effects.join("; ").toStdString();
            EXPECT_FALSE(enabled_without_sensor[id]) << "enabled before the sensor came: " << id;
            ++greyed;
        }
    }
    // Today the panels and dialogs of several commands are still to come.
    EXPECT_GT(greyed, 0);

    // Keys of a panel or dialog that is not there are off; the others are on.
    EXPECT_TRUE(window().shortcut(Shortcut::kControlPanel)->isEnabled());
    EXPECT_FALSE(window().shortcut(Shortcut::kDateStamps)->isEnabled());
    EXPECT_TRUE(window().shortcut(Shortcut::kZero)->isEnabled());
    EXPECT_TRUE(window().shortcut(Shortcut::kSettings)->isEnabled());
}

TEST_F(CommandStateTest, RegisteringADialogOrPanelUngreysItsCommandsAndKey) {
    configure();
    // Without the standard dialog set, so that the panels below are still unregistered.
    auto c = config();
    c.register_dialogs = false;
    make(std::move(c));
    int saves = 0;
    app->panels().add_dialog(meterdesk::kCmdSaveSetup, [&](QWidget *) { ++saves; });
    start();
    ASSERT_TRUE(wait_measuring());

    // Registered before start-up: the menu item and its toolbar button.
    ASSERT_TRUE(window().menu_action(meterdesk::kCmdSaveSetup)->isEnabled());
    window().menu_action(meterdesk::kCmdSaveSetup)->trigger();
    EXPECT_EQ(saves, 1);
    ASSERT_TRUE(window().toolbars().action(9008)->isEnabled());
    click_button(9008);
    EXPECT_EQ(saves, 2);

    // Registered while running: the trace panel (menu item and toolbar button), a calculator
    // panel, the date stamps key.
    EXPECT_FALSE(window().menu_action(meterdesk::kCmdTrace)->isEnabled());
    EXPECT_FALSE(window().toolbars().action(9006)->isEnabled());
    EXPECT_FALSE(window().menu_action(40080)->isEnabled());
    EXPECT_FALSE(window().shortcut(Shortcut::kDateStamps)->isEnabled());
    int traces = 0;
    int date_stamps = 0;
    app->panels().add_panel(meterdesk::ui::kTraceBox,
                            {[](QWidget *owner) -> QWidget * { return new QDialog(owner); },
                             [&](QWidget &) { ++traces; },
                             {}});
    app->panels().add_dialog(40082, [&](QWidget *) { ++date_stamps; });
    app->panels().add_panel(meterdesk::ui::kPowerUnitsConverterBox,
                            {[](QWidget *owner) -> QWidget * {
                                 auto *panel = new QDialog(owner);
                                 panel->setObjectName("PowerUnitsConverterBox");
                                 return panel;
                             },
                             {},
                             {}});
    EXPECT_TRUE(window().menu_action(meterdesk::kCmdTrace)->isEnabled());
    EXPECT_TRUE(window().toolbars().action(9006)->isEnabled());
    click_button(9006);
    EXPECT_EQ(traces, 1);
    ASSERT_TRUE(window().menu_action(40080)->isEnabled());
    window().menu_action(40080)->trigger();
    EXPECT_TRUE(app->panels().is_open(meterdesk::ui::kPowerUnitsConverterBox));
    ASSERT_TRUE(window().shortcut(Shortcut::kDateStamps)->isEnabled());
    key(Qt::Key_X);
    EXPECT_EQ(date_stamps, 1);

    // A sensor command stays greyed without a sensor, registered or not, and comes back with it.
    set("plugged", "0");
    ASSERT_TRUE(wait([&] { return state().connection_state == meterdesk::kConnectionNoSensor; }));
    EXPECT_FALSE(window().menu_action(meterdesk::kCmdSaveSetup)->isEnabled());
    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());
    EXPECT_TRUE(window().menu_action(meterdesk::kCmdSaveSetup)->isEnabled());
}

} // namespace
} // namespace meterdesk_test
