// A help page as a word processor writes it, end to end without a screen: the rich text that
// pandoc makes of a small Markdown page (tests/data/pandoc_help_page.rtf, made once with
// "pandoc -s -t rtf pandoc_help_page.md"), scrambled into a help file, streamed back by the
// help window's logic and read into paragraphs, headings and bold runs.
#include "meterdesk/base/help_file.h"
#include "meterdesk/core/help_viewer.h"
#include "meterdesk/base/rtf_reader.h"
#include "meterdesk/support/fake_ui.h"
#include "meterdesk/support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace rtf = meterdesk::rtf;
using meterdesk_test::FakeUi;
using meterdesk_test::ScratchFolder;

const std::filesystem::path kPandocPage =
    std::filesystem::path(RFSENSE_TEST_DATA) / "pandoc_help_page.rtf";

bool has_bold_run(const rtf::Paragraph &paragraph, const std::string &text) {
    return std::any_of(paragraph.runs.begin(), paragraph.runs.end(),
                       [&](const rtf::Run &run) { return run.format.bold && run.text == text; });
}

TEST(HelpDocument, PandocPageSurvivesScramblingAndReadsAsHeadingsParagraphsAndBoldText) {
    ScratchFolder install;
    std::filesystem::create_directories(install.path() / "Help");
    std::string error;
    ASSERT_TRUE(
        meterdesk::scramble_help_file(kPandocPage, install.path() / "Help" / "hts1.dat", error))
        << error;

    meterdesk::HelpStreamReader reader;
    FakeUi ui;
    const meterdesk::HelpView view = meterdesk::show_help_topic(reader, ui, install.path(), 0);
    ASSERT_TRUE(view.loaded);
    EXPECT_EQ(view.title, "Help for Zyn Quorix USB Power Sensor");
    EXPECT_EQ(ui.size(), 0u) << "no warning for a file that exists";
    EXPECT_NE(install.read("Help/hts1.dat"), view.rtf) << "the file on disk is scrambled";

    const rtf::Document document = rtf::read(view.rtf);
    std::vector<std::string> texts;
    for (const auto &paragraph : document.paragraphs) texts.push_back(paragraph.text());
    const std::vector<std::string> expected = {
        "Zeroing the sensor",
        "Zero the sensor with no RF power applied. The zero takes a few seconds and corrects "
        "the small offset of the detector.",
        "When to zero",
        "1.\tAfter the sensor has warmed up.",
        "2.\tWhen the status panel shows ZERO SENSOR.",
        "\u2022\tPress Ctrl+Z, or",
        "\u2022\tchoose Zero Sensor from the Measurement menu.",
        "Sensor temperature 25 \u00b0C \u2014 \u201cdrift\u201d stays below 5 \u2019C.",
    };
    EXPECT_EQ(texts, expected);
    ASSERT_EQ(document.paragraphs.size(), expected.size());

    // The two headings: outline levels, bold, 18 pt and 16 pt, in pandoc's sans-serif face.
    const rtf::Paragraph &title = document.paragraphs[0];
    EXPECT_EQ(title.outline_level, 0);
    ASSERT_EQ(title.runs.size(), 1u);
    EXPECT_TRUE(title.runs[0].format.bold);
    EXPECT_EQ(title.runs[0].format.font_size, 36);
    EXPECT_EQ(title.runs[0].format.font, "Helvetica");
    EXPECT_EQ(document.paragraphs[2].outline_level, 1);
    EXPECT_EQ(document.paragraphs[2].runs.at(0).format.font_size, 32);

    // Body text: plain, with bold and italic runs where the page had them.
    const rtf::Paragraph &body = document.paragraphs[1];
    EXPECT_EQ(body.outline_level, -1);
    EXPECT_FALSE(body.runs.at(0).format.bold);
    EXPECT_EQ(body.runs.at(0).format.font_size, rtf::kDefaultFontSize);
    EXPECT_TRUE(has_bold_run(body, "no RF power applied"));
    EXPECT_TRUE(std::any_of(body.runs.begin(), body.runs.end(), [](const rtf::Run &run) {
        return run.format.italic && run.text == "seconds";
    }));
    EXPECT_TRUE(has_bold_run(document.paragraphs[4], "ZERO SENSOR"));
    EXPECT_TRUE(has_bold_run(document.paragraphs[5], "Ctrl+Z"));

    // List items hang from a 360-twip indent; the last of a list has space after it.
    EXPECT_EQ(document.paragraphs[3].left_indent, 360);
    EXPECT_EQ(document.paragraphs[3].first_line_indent, -360);
    EXPECT_EQ(document.paragraphs[3].space_after, 0);
    EXPECT_EQ(document.paragraphs[4].space_after, 180);
}

std::string read_source(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The help sources of the product: each reads as a document that starts with its topic's
// caption as the top heading, has real content, and leaks no rich-text syntax into the text.
TEST(HelpDocument, ShippedTopicSourcesReadCleanly) {
    const std::filesystem::path help_sources =
        std::filesystem::path(RFSENSE_TEST_DATA) / ".." / ".." / "help";
    struct Source {
        std::string file;
        std::string heading;
    };
    std::vector<Source> sources = {{"hts10.rtf", "Installation Options"},
                                   {"hts11.rtf", "After the Installation"}};
    for (const int index : {0, 1, 2, 3, 9, 10}) {
        const auto topic = meterdesk::help_topic(index);
        ASSERT_TRUE(topic);
        std::string file(topic->file_name);
        file.replace(file.size() - 4, 4, ".rtf");
        sources.push_back({file, std::string(topic->caption)});
    }
    for (const Source &source : sources) {
        const std::string rtf = read_source(help_sources / source.file);
        ASSERT_FALSE(rtf.empty()) << source.file;
        const rtf::Document document = rtf::read(rtf);
        ASSERT_FALSE(document.paragraphs.empty()) << source.file;
        EXPECT_EQ(document.paragraphs[0].outline_level, 0) << source.file;
        EXPECT_EQ(document.paragraphs[0].text(), source.heading) << source.file;
        const std::string text = document.text();
        EXPECT_GT(text.size(), 1500u) << source.file;
        EXPECT_EQ(text.find_first_of("\\{}"), std::string::npos) << source.file;
        int headings = 0;
        for (const auto &paragraph : document.paragraphs) headings += paragraph.outline_level == 1;
        EXPECT_GE(headings, 3) << source.file << ": sections";
    }
}

TEST(HelpDocument, MissingTopicFileWarnsAndGivesNoDocument) {
    ScratchFolder install;
    meterdesk::HelpStreamReader reader;
    FakeUi ui;
    const meterdesk::HelpView view = meterdesk::show_help_topic(reader, ui, install.path(), 10);
    EXPECT_FALSE(view.loaded);
    EXPECT_EQ(view.title, "Help for Trace");
    EXPECT_TRUE(rtf::read(view.rtf).paragraphs.empty());
    const auto messages = ui.of_kind(meterdesk_test::UiCall::Kind::message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Trace");
    EXPECT_EQ(messages[0].text, "Cant find help file");
}

} // namespace
