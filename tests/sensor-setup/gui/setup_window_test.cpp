// The installer on screen (offscreen platform): welcome to Finish with the placement carried
// from page to page, the help box's caption and colour, a missing help file, and a failed
// installation. Every page state is saved as a picture in <build>/screenshots/.
#include "meterdesk/base/help_file.h"
#include "meterdesk/dialogs_gui/support/qt_helpers.h"
#include "sensor-setup/core/control_ids.h"
#include "sensor-setup/support/setup_fixture.h"
#include "sensor-setup/ui/help_box.h"
#include "sensor-setup/ui/pages.h"
#include "sensor-setup/ui/setup_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace sensor_setup_test {
namespace {

namespace ids = sensor_setup::ids;
using meterdesk_test::process_until;
using meterdesk_test::save_screenshot;
using sensor_setup::ui::SetupWindow;

void write_help(const fs::path &file, const std::string &title, const std::string &body) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs28\\b " + title +
                      "\\b0\\par\\fs22 " + body + "\\par}";
    meterdesk::scramble_help_bytes(rtf);
    write_file(file, rtf);
}

class SetupWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scratch.make_medium();
        write_help(scratch.medium() / "hts10.dat", "Installation Options",
                   "Choose the folder and the launchers.");
        write_help(scratch.medium() / "hts11.dat", "After the Installation",
                   "Connect a sensor, then start the meter.");
        sensor_setup::ui::SetupWindowConfig config;
        config.source = scratch.medium();
        config.program_folder = scratch.root() / "bin";
        config.folder_picker = [this](std::string_view title) -> std::optional<std::string> {
            picker_titles.emplace_back(title);
            return picked;
        };
        window = std::make_unique<SetupWindow>(config);
        QObject::connect(window.get(), &SetupWindow::finished,
                         [this](int status) { exit_status = status; });
    }

    template <typename T = QAbstractButton>
    T *control(int id) {
        auto *page = window->page();
        return page ? page->findChild<T *>(meterdesk::ui::control_name(id)) : nullptr;
    }
    void click(int id) {
        auto *button = control(id);
        ASSERT_NE(button, nullptr) << id;
        ASSERT_TRUE(button->isVisible()) << id;
        button->click();
        QCoreApplication::processEvents();
    }
    std::string text(int id) {
        auto *label = control<QLabel>(id);
        return label ? label->text().toStdString() : std::string("<none>");
    }
    bool on_page(const char *name) {
        return process_until([&] {
            return window->page() && window->page()->objectName() == name &&
                   window->page()->isVisible();
        });
    }

    SetupScratch scratch;
    std::unique_ptr<SetupWindow> window;
    std::optional<std::string> picked;
    std::vector<std::string> picker_titles;
    std::optional<int> exit_status;
};

TEST_F(SetupWindowTest, WelcomeToFinish) {
    window->start();
    EXPECT_EQ(window->windowTitle(), "Zyn Quorix USB Sensor Installation");
    EXPECT_EQ(window->geometry(), QRect(500, 200, 600, 300));
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::white));
    ASSERT_TRUE(on_page("UserInterfaceBox1"));
    EXPECT_EQ(window->page()->windowTitle(), "Zyn Quorix USB Power Sensor Installation");
    EXPECT_EQ(text(ids::kWelcomeLine3), "Revision 3.1");
    save_screenshot(*window->page(), "setup-1-welcome");
    click(ids::kWelcomeContinue);
    EXPECT_EQ(text(ids::kWelcomeLine2), "RX1, RX2LOKAN, RX3LOKAN and RX4LO.");
    save_screenshot(*window->page(), "setup-2-welcome-sensors");
    // The user moves the page; the next page opens where this one was closed.
    window->page()->setGeometry(QRect(300, 150, 520, 260));
    click(ids::kWelcomeContinue);

    ASSERT_TRUE(on_page("UserInterfaceBox2"));
    EXPECT_EQ(window->page()->geometry(), QRect(300, 150, 520, 260));
    EXPECT_TRUE(control<QCheckBox>(ids::kDesktopShortcut)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(ids::kMenuShortcut)->isChecked());
    EXPECT_TRUE(control<QLineEdit>(ids::kTargetPath)->isReadOnly());
    save_screenshot(*window->page(), "setup-3-options");

    click(ids::kOptionsHelp);
    ASSERT_TRUE(
        process_until([&] { return window->help_box() && window->help_box()->isVisible(); }));
    sensor_setup::ui::HelpBox *help = window->help_box();
    EXPECT_EQ(help->windowTitle(), "Quorix USB Power Sensor Installation Help");
    EXPECT_EQ(help->pane()->palette().color(QPalette::Base), QColor(160, 180, 230));
    EXPECT_NE(help->pane()->toPlainText().indexOf("Installation Options"), -1);
    save_screenshot(*help, "setup-4-help-topic-1");
    help->reject();

    picked = scratch.root().string();
    click(ids::kBrowse);
    EXPECT_EQ(picker_titles,
              (std::vector<std::string>{"Select directory path for Zyn Quorix folder"}));
    EXPECT_EQ(control<QLineEdit>(ids::kTargetPath)->text().toStdString(),
              (scratch.root() / "Quorix/").string());
    control<QCheckBox>(ids::kDesktopShortcut)->click();
    EXPECT_FALSE(window->state().desktop_launcher);
    window->page()->setGeometry(QRect(320, 170, 540, 280));
    click(ids::kOptionsContinue);

    ASSERT_TRUE(on_page("UserInterfaceBox3"));
    EXPECT_EQ(window->page()->geometry(), QRect(320, 170, 540, 280));
    EXPECT_EQ(window->page()->windowTitle(), "Quorix USB Power Sensor Installation");
    EXPECT_EQ(text(ids::kProgressLine1), "Installing please wait ...");
    EXPECT_FALSE(control(ids::kFinish)->isVisible());
    EXPECT_FALSE(control<QLabel>(ids::kImportant)->isVisible());
    save_screenshot(*window->page(), "setup-5-installing");
    ASSERT_TRUE(process_until([&] { return control(ids::kFinish)->isVisible(); }, 15000));
    EXPECT_EQ(text(ids::kProgressLine1), "Installation complete.");
    EXPECT_EQ(text(ids::kProgressLine4), "Click the Help button for further information.");
    EXPECT_TRUE(control<QLabel>(ids::kImportant)->isVisible());
    EXPECT_FALSE(control(ids::kProgressCancel)->isVisible());
    save_screenshot(*window->page(), "setup-6-complete");
    EXPECT_TRUE(fs::exists(scratch.root() / "Quorix/meterdesk"));
    EXPECT_TRUE(fs::exists(scratch.menu() / "org.rfsense.meterdesk.desktop"));
    EXPECT_FALSE(fs::exists(scratch.desktop()));

    click(ids::kProgressHelp);
    ASSERT_TRUE(
        process_until([&] { return window->help_box() && window->help_box()->isVisible(); }));
    EXPECT_NE(window->help_box()->pane()->toPlainText().indexOf("After the Installation"), -1);
    save_screenshot(*window->help_box(), "setup-7-help-topic-2");
    window->help_box()->reject();

    click(ids::kFinish);
    ASSERT_TRUE(process_until([&] { return exit_status.has_value(); }));
    EXPECT_EQ(*exit_status, 0);
}

TEST_F(SetupWindowTest, AMissingHelpFileWarnsAndLeavesTheHelpBoxOpenAndEmpty) {
    fs::remove(scratch.medium() / "hts10.dat");
    window->start();
    ASSERT_TRUE(on_page("UserInterfaceBox1"));
    click(ids::kWelcomeContinue);
    click(ids::kWelcomeContinue);
    ASSERT_TRUE(on_page("UserInterfaceBox2"));
    click(ids::kOptionsHelp);
    ASSERT_TRUE(
        process_until([&] { return window->message_box() && window->message_box()->isVisible(); }));
    EXPECT_EQ(window->message_box()->windowTitle(), "Zyn Quorix Sensor Installation");
    EXPECT_EQ(window->message_box()->text(), "Can't find help file");
    save_screenshot(*window->message_box(), "setup-8-help-missing-warning");
    window->message_box()->accept();
    ASSERT_NE(window->help_box(), nullptr);
    EXPECT_TRUE(window->help_box()->isVisible());
    EXPECT_TRUE(window->help_box()->pane()->toPlainText().isEmpty());
    save_screenshot(*window->help_box(), "setup-9-help-missing-empty");
}

TEST_F(SetupWindowTest, AFailedInstallationSaysWhyAndFinishExitsWithOne) {
    window->start();
    ASSERT_TRUE(on_page("UserInterfaceBox1"));
    click(ids::kWelcomeContinue);
    click(ids::kWelcomeContinue);
    ASSERT_TRUE(on_page("UserInterfaceBox2"));
    // The target lies inside the medium: refused before anything is written.
    picked = scratch.medium().string();
    click(ids::kBrowse);
    click(ids::kOptionsContinue);
    ASSERT_TRUE(on_page("UserInterfaceBox3"));
    ASSERT_TRUE(process_until([&] { return control(ids::kFinish)->isVisible(); }, 15000));
    EXPECT_EQ(text(ids::kProgressLine1), "Installation failed.");
    EXPECT_NE(text(ids::kProgressLine3).find("inside each other"), std::string::npos);
    EXPECT_EQ(text(ids::kProgressLine4), "Nothing was changed.");
    save_screenshot(*window->page(), "setup-10-failed");
    EXPECT_FALSE(fs::exists(scratch.medium() / "Quorix"));
    click(ids::kFinish);
    ASSERT_TRUE(process_until([&] { return exit_status.has_value(); }));
    EXPECT_EQ(*exit_status, 1);
}

TEST_F(SetupWindowTest, CancelOnAnyPageBeforeTheInstallWritesNothing) {
    for (int page = 1; page <= 3; ++page) {
        SetupScratch fresh;
        fresh.make_medium();
        sensor_setup::ui::SetupWindowConfig config;
        config.source = fresh.medium();
        SetupWindow setup(config);
        std::optional<int> status;
        QObject::connect(&setup, &SetupWindow::finished, [&](int s) { status = s; });
        setup.start();
        auto press = [&](int id) {
            auto *button =
                setup.page()->findChild<QAbstractButton *>(meterdesk::ui::control_name(id));
            ASSERT_NE(button, nullptr);
            button->click();
            QCoreApplication::processEvents();
        };
        if (page >= 2) {
            press(ids::kWelcomeContinue);
            press(ids::kWelcomeContinue);
        }
        if (page >= 3) press(ids::kOptionsContinue);
        press(page == 1   ? ids::kWelcomeCancel
              : page == 2 ? ids::kOptionsCancel
                          : ids::kProgressCancel);
        ASSERT_TRUE(process_until([&] { return status.has_value(); })) << page;
        EXPECT_EQ(*status, 0);
        // Let timer 1 have fired if it were still running.
        EXPECT_FALSE(fs::exists(fresh.home() / ".local/share/Quorix")) << page;
    }
}

} // namespace
} // namespace sensor_setup_test
