#include "meterdesk/base/help_file.h"
#include "meterdesk/core/help_viewer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace meterdesk {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class MessageRecordingUi : public Ui {
  public:
    struct Message {
        std::string caption, text;
        MessageIcon icon;
    };
    std::vector<Message> messages;

    MessageAnswer message(std::string_view caption, std::string_view text, MessageButtons,
                          MessageIcon icon) override {
        messages.push_back({std::string(caption), std::string(text), icon});
        return MessageAnswer::kOk;
    }
    void repaint(RepaintRequest) override {}
    void install_menu(std::string_view) override {}
    void show_toolbar(int, bool) override {}
    void enable_command(int, bool) override {}
    void start_timer(int, int) override {}
    void stop_timer(int) override {}
    void close_panel(std::string_view) override {}
    void progress_open(std::string_view, std::string_view, int, std::function<void()>) override {}
    void progress_step(std::string_view) override {}
    void progress_close(std::string_view) override {}
    void show_trace_boxes(bool) override {}
    void set_trace_box_text(std::string_view, std::string_view) override {}
    std::string open_file_dialog(std::string_view, std::string_view) override { return {}; }
    std::string save_file_dialog(std::string_view, std::string_view) override { return {}; }
};

class HelpFileTest : public ::testing::Test {
  protected:
    fs::path dir;
    std::string document; // every byte value, then some rich text

    void SetUp() override {
        dir = fs::path(::testing::TempDir()) /
              ("help_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "Help");
        for (int i = 0; i < 256; ++i) document.push_back(static_cast<char>(i));
        std::mt19937 random(1234);
        for (int i = 0; i < 10'000; ++i) document.push_back(static_cast<char>(random() & 0xff));
        document += "{\\rtf1\\ansi Help text\\par}";
    }
    void TearDown() override { fs::remove_all(dir); }

    // Reads the whole armed document through a small buffer, as the pane streams it.
    static std::string stream(HelpStreamReader &reader, std::size_t buffer_size = 7) {
        std::string out;
        std::vector<char> buffer(buffer_size);
        for (;;) {
            const auto chunk = reader.read(buffer);
            EXPECT_FALSE(chunk.abort);
            if (chunk.abort || chunk.count == 0) return out;
            out.append(buffer.data(), chunk.count);
        }
    }
};

TEST_F(HelpFileTest, ScrambleXorsEveryByteWithTheKeyAndIsItsOwnInverse) {
    std::string bytes = document;
    scramble_help_bytes(bytes);
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(static_cast<unsigned char>(bytes[i]), i ^ kHelpFileKey) << i;
    scramble_help_bytes(bytes);
    EXPECT_EQ(bytes, document);
}

TEST_F(HelpFileTest, FileRoundTripAndStreamingGiveTheDocumentBackByteExact) {
    write_file(dir / "plain.rtf", document);
    std::string error;
    ASSERT_TRUE(scramble_help_file(dir / "plain.rtf", dir / "Help" / "hs2.dat", error)) << error;
    const std::string scrambled = read_file(dir / "Help" / "hs2.dat");
    ASSERT_EQ(scrambled.size(), document.size());
    EXPECT_NE(scrambled, document);

    ASSERT_TRUE(scramble_help_file(dir / "Help" / "hs2.dat", dir / "back.rtf", error));
    EXPECT_EQ(read_file(dir / "back.rtf"), document);

    HelpStreamReader reader;
    reader.arm(dir / "Help" / "hs2.dat", 1);
    EXPECT_EQ(stream(reader), document);
    EXPECT_EQ(reader.cookie(), 1);
}

TEST_F(HelpFileTest, ScrambleFileRefusesMissingInputAndInPlaceUse) {
    std::string error;
    EXPECT_FALSE(scramble_help_file(dir / "absent.rtf", dir / "out.dat", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(dir / "out.dat"));
    write_file(dir / "doc.rtf", document);
    EXPECT_FALSE(scramble_help_file(dir / "doc.rtf", dir / "doc.rtf", error));
    EXPECT_EQ(read_file(dir / "doc.rtf"), document);
}

TEST_F(HelpFileTest, MissingFileWarnsWithTheTopicCaptionAndLeavesThePaneEmpty) {
    HelpStreamReader reader;
    MessageRecordingUi ui;
    const HelpView view = show_help_topic(reader, ui, dir, 1);
    EXPECT_FALSE(view.loaded);
    EXPECT_TRUE(view.rtf.empty());
    EXPECT_EQ(view.title, "Help for Measurement Control Panel");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Measurement Control Panel");
    EXPECT_EQ(ui.messages[0].text, "Cant find help file");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::kExclamation);
    EXPECT_TRUE(reader.open_on_next_read()); // the next attempt opens again

    // Once the file is there, the same topic loads.
    std::string scrambled = document;
    scramble_help_bytes(scrambled);
    write_file(dir / "Help" / "hs2.dat", scrambled);
    const HelpView again = show_help_topic(reader, ui, dir, 1);
    EXPECT_TRUE(again.loaded);
    EXPECT_EQ(again.rtf, document);
    EXPECT_EQ(again.background, (Rgb{190, 210, 250}));
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(HelpFileTest, EmptyFileShowsAnEmptyPaneWithoutWarning) {
    write_file(dir / "Help" / "hts1.dat", "");
    HelpStreamReader reader;
    MessageRecordingUi ui;
    const HelpView view = show_help_topic(reader, ui, dir, 0);
    EXPECT_TRUE(view.loaded);
    EXPECT_TRUE(view.rtf.empty());
    EXPECT_EQ(view.title, "Help for Zyn Quorix USB Power Sensor");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HelpFileTest, EveryNewDocumentStartsAtItsFirstByte) {
    std::string first = "first document";
    std::string second = "second";
    scramble_help_bytes(first);
    scramble_help_bytes(second);
    write_file(dir / "a.dat", first);
    write_file(dir / "b.dat", second);

    HelpStreamReader reader;
    std::vector<char> buffer(5);
    reader.arm(dir / "a.dat");
    ASSERT_EQ(reader.read(buffer).count, 5u); // part of the first document only
    reader.arm(dir / "b.dat");                // another topic while the first is open
    EXPECT_EQ(stream(reader), "second");

    reader.close();
    reader.arm(dir / "a.dat");
    EXPECT_EQ(stream(reader, 64), "first document");
    reader.close(); // Close re-arms: the same file streams again from its start
    EXPECT_EQ(stream(reader, 3), "first document");
}

TEST(HelpTopics, TableTitlesAndWarnings) {
    EXPECT_FALSE(help_topic(kNoHelpTopic));
    for (int unused = 4; unused <= 7; ++unused) EXPECT_FALSE(help_topic(unused));
    const std::pair<int, const char *> files[] = {{0, "hts1.dat"}, {1, "hs2.dat"},
                                                  {2, "hs4.dat"},  {3, "hs3.dat"},
                                                  {9, "hs20.dat"}, {10, "hs5.dat"}};
    for (const auto &[index, file] : files) {
        ASSERT_TRUE(help_topic(index)) << index;
        EXPECT_EQ(help_topic(index)->file_name, file);
    }
    EXPECT_EQ(help_window_title(*help_topic(10)), "Help for Trace");
    EXPECT_EQ(help_window_title(*help_topic(3)), "Help for VSWR Mismatch Calculator");
    const HelpMissingWarning installer = installer_help_missing();
    EXPECT_EQ(installer.text, "Can't find help file");
    EXPECT_EQ(installer.caption, "Zyn Quorix Sensor Installation");
}

TEST_F(HelpFileTest, HelpFolderIsFoundInEitherCase) {
    EXPECT_EQ(help_topic_path(dir, *help_topic(2)), dir / "Help" / "hs4.dat");
    fs::rename(dir / "Help", dir / "help");
    EXPECT_EQ(help_topic_path(dir, *help_topic(2)), dir / "help" / "hs4.dat");
}

TEST_F(HelpFileTest, CommandLineToolRoundTrip) {
    write_file(dir / "topic.rtf", document);
    const std::string tool = METERDESK_HELPFILE_PATH;
    const auto run = [&](const std::string &args) {
        return std::system(("\"" + tool + "\" " + args + " 2>/dev/null").c_str());
    };
    const std::string in = (dir / "topic.rtf").string(), out = (dir / "topic.dat").string(),
                      back = (dir / "back.rtf").string();
    EXPECT_EQ(run("scramble \"" + in + "\" \"" + out + "\""), 0);
    EXPECT_EQ(run("unscramble \"" + out + "\" \"" + back + "\""), 0);
    EXPECT_EQ(read_file(back), document);
    std::string expected = document;
    scramble_help_bytes(expected);
    EXPECT_EQ(read_file(out), expected);
    EXPECT_NE(run("scramble \"" + (dir / "absent").string() + "\" \"" + out + "\""), 0);
    EXPECT_NE(run("shuffle \"" + in + "\" \"" + out + "\""), 0);
}

} // namespace
} // namespace meterdesk
