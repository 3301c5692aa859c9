// HelpBox on screen: a page written by a word processor (pandoc's rich text of a Markdown page,
// tests/data/pandoc_help_page.rtf) scrambled into a help file shows with its heading, bold text
// and paragraphs on the help pane's colour; a missing file warns and leaves the pane empty;
// Close re-arms the reader; and every help topic the build ships loads.
#include "meterdesk/core/app_state.h"
#include "meterdesk/base/help_file.h"
#include "meterdesk/dialogs_gui/support/qt_helpers.h"
#include "meterdesk/support/fake_ui.h"
#include "meterdesk/support/scratch.h"
#include "meterdesk/ui/help_box.h"

#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using meterdesk_test::FakeUi;
using meterdesk_test::ScratchFolder;
using Kind = meterdesk_test::UiCall::Kind;

struct Fragment {
    QString text;
    bool bold;
};

std::vector<Fragment> fragments(const QTextBlock &block) {
    std::vector<Fragment> out;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        out.push_back({fragment.text(), fragment.charFormat().fontWeight() >= QFont::Bold});
    }
    return out;
}

class HelpBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state.app_dir = install.path().string();
        fs::create_directories(install.path() / "Help");
    }

    // Scrambles `rtf_file` into the installation as the help file of `topic`.
    void install_topic(const fs::path &rtf_file, const char *dat_name) {
        std::string error;
        ASSERT_TRUE(
            meterdesk::scramble_help_file(rtf_file, install.path() / "Help" / dat_name, error))
            << error;
    }

    QTextDocument &document() { return *box.pane()->document(); }

    ScratchFolder install;
    meterdesk::AppState state;
    FakeUi ui;
    meterdesk::ui::HelpBox box{state, ui};
};

TEST_F(HelpBoxTest, ShowsAPandocPageWithHeadingBoldTextAndParagraphs) {
    EXPECT_FALSE(box.isVisible()) << "created hidden, with no topic";
    EXPECT_EQ(box.topic(), meterdesk::kNoHelpTopic);
    install_topic(fs::path(RFSENSE_TEST_DATA) / "pandoc_help_page.rtf", "hts1.dat");

    box.show_topic(0);

    ASSERT_TRUE(box.isVisible());
    EXPECT_FALSE(box.isModal());
    EXPECT_EQ(box.windowTitle(), "Help for Zyn Quorix USB Power Sensor");
    EXPECT_TRUE(box.pane()->isReadOnly());
    EXPECT_EQ(box.pane()->palette().color(QPalette::Base), QColor(190, 210, 250));
    EXPECT_EQ(ui.size(), 0u);

    EXPECT_EQ(document().blockCount(), 8);
    const QTextBlock heading = document().firstBlock();
    EXPECT_EQ(heading.text(), "Zeroing the sensor");
    EXPECT_EQ(heading.blockFormat().headingLevel(), 1);
    ASSERT_EQ(fragments(heading).size(), 1u);
    EXPECT_TRUE(fragments(heading)[0].bold);
    EXPECT_EQ(heading.charFormat().fontPointSize(), 0.0); // block's own format; runs carry size
    EXPECT_EQ(heading.begin().fragment().charFormat().fontPointSize(), 18.0);

    const QTextBlock body = heading.next();
    EXPECT_TRUE(body.text().startsWith("Zero the sensor with no RF power applied."));
    bool bold_run = false;
    for (const Fragment &fragment : fragments(body)) {
        if (fragment.text == "no RF power applied") bold_run = fragment.bold;
        if (fragment.text.startsWith("Zero the sensor")) {
            EXPECT_FALSE(fragment.bold);
        }
    }
    EXPECT_TRUE(bold_run) << "the bold run of the page";
    EXPECT_EQ(body.next().text(), "When to zero");
    EXPECT_EQ(body.next().blockFormat().headingLevel(), 2);
    EXPECT_EQ(
        document().lastBlock().text(),
        QString::fromUtf8("Sensor temperature 25 \u00b0C \u2014 \u201cdrift\u201d stays below "
                          "5 \u2019C."));

    EXPECT_FALSE(meterdesk_test::save_screenshot(box, "help_box_pandoc_page").isEmpty());
}

TEST_F(HelpBoxTest, MissingFileWarnsWithTheTopicCaptionAndLeavesThePaneEmpty) {
    box.show_topic(1);
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), "Help for Measurement Control Panel");
    EXPECT_TRUE(document().isEmpty());
    const auto messages = ui.of_kind(Kind::message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Measurement Control Panel");
    EXPECT_EQ(messages[0].text, "Cant find help file");
    EXPECT_EQ(messages[0].icon, meterdesk::MessageIcon::kExclamation);
}

TEST_F(HelpBoxTest, EmptyFileShowsAnEmptyPaneWithoutWarning) {
    ScratchFolder sources;
    install_topic(sources.write("empty.rtf", ""), "hs5.dat");
    box.show_topic(10);
    EXPECT_TRUE(document().isEmpty());
    EXPECT_EQ(ui.size(), 0u);
}

TEST_F(HelpBoxTest, CloseAndShowAgainReadsTheFileFromItsFirstByte) {
    ScratchFolder sources;
    install_topic(sources.write("a.rtf", R"({\rtf1 first page\par})"), "hs2.dat");
    box.show_topic(1);
    EXPECT_EQ(document().toPlainText(), "first page");

    auto *close = box.findChild<QPushButton *>("closeButton");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());

    install_topic(sources.write("b.rtf", R"({\rtf1 second {\b page}\par})"), "hs2.dat");
    state.help_topic = 1; // as the control panel's Help button does, then shows the panel
    box.show_current_topic();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(document().toPlainText(), "second page");

    // A topic index without a file of its own changes nothing on screen.
    box.show_topic(meterdesk::kNoHelpTopic);
    EXPECT_EQ(box.windowTitle(), "Help for Measurement Control Panel");
    EXPECT_EQ(document().toPlainText(), "second page");
}

#ifdef METERDESK_HELP_DIR
// The help files the build makes from help/*.rtf, in the layout the installation uses.
TEST_F(HelpBoxTest, EveryShippedTopicLoadsWithAHeading) {
    state.app_dir = METERDESK_HELP_DIR "/..";
    for (const int topic : {0, 1, 2, 3, 9, 10}) {
        box.show_topic(topic);
        EXPECT_EQ(ui.size(), 0u) << "topic " << topic << " is missing";
        const QTextBlock first = document().firstBlock();
        EXPECT_EQ(first.blockFormat().headingLevel(), 1) << "topic " << topic;
        EXPECT_GT(document().characterCount(), 1500) << "topic " << topic;
        EXPECT_FALSE(document().toPlainText().contains('\\')) << "topic " << topic;
        if (topic == 0) {
            EXPECT_FALSE(meterdesk_test::save_screenshot(box, "help_box_topic0").isEmpty());
        }
        box.reject();
    }
}
#endif

} // namespace
