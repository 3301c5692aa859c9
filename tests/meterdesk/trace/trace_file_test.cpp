// The trace file format and the listing, and the save / recall commands around them.
#include "meterdesk/support/fake_ui.h"
#include "meterdesk/support/scratch.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/trace/trace_file.h"
#include "meterdesk/trace/trace_file_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

namespace meterdesk_test {
namespace {

using meterdesk::TraceSnapshot;
using Bytes = std::vector<std::uint8_t>;

void put(Bytes &bytes, const void *data, std::size_t size) {
    const auto *p = static_cast<const std::uint8_t *>(data);
    bytes.insert(bytes.end(), p, p + size);
}
void put_double(Bytes &bytes, double v) {
    put(bytes, &v, 8);
}
void put_int(Bytes &bytes, std::int32_t v) {
    put(bytes, &v, 4);
}

// 3 points, manual level scale, automatic temperature scale, temperatures recorded.
TraceSnapshot three_point_trace() {
    TraceSnapshot t;
    t.samples = 10;
    t.period_s = 0.5;
    t.period_in_seconds = true;
    t.units = 1122;
    t.autoscale = false;
    t.plot_min = -20;
    t.plot_max = 0;
    t.plot_span = 20;
    t.plot_step = 2;
    t.temperature = true;
    t.temp_autoscale = true;
    t.values = {-12.345, -11.5, -10.25};
    t.temps = {23.4, 23.5, 23.6};
    t.data_units = 1;
    return t;
}

TEST(TraceFile, ThreePointExampleIs116BytesInTheTableLayout) {
    Bytes expected = {0xAD, 0xFA, 0x5C, 0x6D, 0x45, 0x4A, 0x93, 0x40}; // magic 1234.5678
    put_int(expected, 10);
    put_int(expected, 3);
    put_double(expected, 0.5);
    expected.push_back(1);
    put_int(expected, 1122);
    expected.push_back(0); // manual level scale: its four doubles follow
    for (double v : {-20.0, 0.0, 20.0, 2.0}) put_double(expected, v);
    expected.push_back(1); // temperature recorded
    expected.push_back(1); // automatic temperature scale: no block
    for (double v : {-12.345, -11.5, -10.25}) put_double(expected, v);
    for (double v : {23.4, 23.5, 23.6}) put_double(expected, v);
    put_int(expected, 1);

    const Bytes bytes = meterdesk::encode_trace_file(three_point_trace());
    EXPECT_EQ(bytes.size(), 116u);
    EXPECT_EQ(bytes, expected);
}

TEST(TraceFile, ReadsBackWhatItWrites) {
    TraceSnapshot t = three_point_trace();
    t.temp_autoscale = false;
    t.temp_min = 20;
    t.temp_max = 30;
    t.temp_span = 10;
    t.temp_step = 1;
    t.units = 1121;
    t.data_units = 2; // a milliwatt trace keeps its tag
    const auto back = meterdesk::decode_trace_file(meterdesk::encode_trace_file(t));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->values, t.values);
    EXPECT_EQ(back->temps, t.temps);
    EXPECT_EQ(back->data_units, 2);
    EXPECT_EQ(back->temp_max, 30);
    EXPECT_EQ(back->plot_step, 2);
}

TEST(TraceFile, UnitTagMissingOrOutOfRangeReadsAsDbm) {
    TraceSnapshot t = three_point_trace();
    t.data_units = 2;
    Bytes bytes = meterdesk::encode_trace_file(t);
    bytes.resize(bytes.size() - 4);
    auto back = meterdesk::decode_trace_file(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->data_units, 1);

    for (std::int32_t tag : {-1, 3, 1000}) {
        Bytes tagged = bytes;
        put_int(tagged, tag);
        back = meterdesk::decode_trace_file(tagged);
        ASSERT_TRUE(back) << tag;
        EXPECT_EQ(back->data_units, 1) << tag;
    }
}

TEST(TraceFile, DamagedFilesAreRefused) {
    const Bytes good = meterdesk::encode_trace_file(three_point_trace());
    auto with_int_at = [&](std::size_t offset, std::int32_t v) {
        Bytes b = good;
        std::memcpy(b.data() + offset, &v, 4);
        return b;
    };
    auto with_double_at = [&](std::size_t offset, double v) {
        Bytes b = good;
        std::memcpy(b.data() + offset, &v, 8);
        return b;
    };
    struct Case {
        const char *what;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"bad magic", with_double_at(0, 1234.5679)},
        {"samples 501", with_int_at(8, 501)},
        {"samples 1", with_int_at(8, 1)},
        {"count 501", with_int_at(12, 501)},
        {"count -1", with_int_at(12, -1)},
        {"count above samples", with_int_at(12, 11)},
        {"period nan", with_double_at(16, std::nan(""))},
        {"units 7", with_int_at(25, 7)},
        {"level min inf", with_double_at(30, std::numeric_limits<double>::infinity())},
        {"short before the points end", Bytes(good.begin(), good.end() - 12)},
        {"short inside the tag", Bytes(good.begin(), good.end() - 2)},
        {"empty", {}},
    };
    for (const auto &c : cases) EXPECT_FALSE(meterdesk::decode_trace_file(c.bytes)) << c.what;
}

TEST(TraceFile, ListingWritesCrLfAndTheStoredUnit) {
    std::tm when{};
    when.tm_mday = 7;
    when.tm_mon = 2;
    when.tm_year = 126;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 3;
    const std::string text = meterdesk::trace_listing_text(three_point_trace(), true, when);
    EXPECT_EQ(text.substr(0, text.find("-12")),
              "7.3.26 at 9:05:03\r\nSamples: 3\r\nTime base: 0.5 seconds\r\n"
              "Units = dBm, Temperature in 'C\r\n\r\n");
    EXPECT_NE(text.find("-12.345\t23.4\r\n"), std::string::npos);

    // Values redrawn into milliwatts are listed as such even with the units set to dBm.
    TraceSnapshot mw = three_point_trace();
    mw.data_units = 2;
    mw.temperature = false;
    mw.values = {0.5};
    EXPECT_NE(meterdesk::trace_listing_text(mw, false, when)
                  .find("Units = mW, Temperature in 'F"
                        "\r\n\r\n  0.500000\r\n"),
              std::string::npos);
}

class TraceFileCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        state.app_dir = folder.path().string();
        meterdesk::store_trace_snapshot(state, three_point_trace());
    }
    ScratchFolder folder;
    FakeUi ui;
    meterdesk::AppState state;
};

TEST_F(TraceFileCommands, CancelAtTheOverWriteQuestionKeepsTheFile) {
    const auto path = folder.write("old.trc", "previous contents").string();
    ui.script_file(path);
    ui.script_answer(MessageAnswer::kCancel);
    EXPECT_FALSE(meterdesk::save_trace_command(state, ui));
    EXPECT_EQ(folder.read("old.trc"), "previous contents");
    ASSERT_EQ(ui.message_texts().size(), 1u);
    EXPECT_EQ(ui.message_texts()[0], "OK To over-write file " + path + "?");
    EXPECT_EQ(ui.of_kind(UiCall::Kind::message)[0].caption, "Save Trace");
}

TEST_F(TraceFileCommands, CancelledDialogAndEmptyFileAskNothing) {
    EXPECT_FALSE(meterdesk::save_trace_command(state, ui)); // no scripted file: cancelled
    const auto empty = folder.write("empty.trc", "").string();
    ui.script_file(empty);
    EXPECT_TRUE(meterdesk::save_trace_data_command(state, ui));
    EXPECT_TRUE(ui.message_texts().empty());
    EXPECT_NE(folder.read("empty.trc").find("Samples: 3\r\n"), std::string::npos);
}

TEST_F(TraceFileCommands, FailedSaveKeepsTheOldFileAndSaysSo) {
    // A folder where the file should be: the rename over it fails.
    std::filesystem::create_directories(folder.path() / "taken" / "inner");
    const auto path = (folder.path() / "taken").string();
    EXPECT_FALSE(meterdesk::save_trace_file(state, ui, path));
    ASSERT_EQ(ui.message_texts().size(), 1u);
    EXPECT_EQ(ui.message_texts()[0], "Can't access file " + path);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "taken" / "inner"));
}

TEST_F(TraceFileCommands, SaveRecallSaveGivesTheSameBytes) {
    const auto first = (folder.path() / "a.trc").string();
    const auto second = (folder.path() / "b.trc").string();
    ASSERT_TRUE(meterdesk::save_trace_file(state, ui, first));
    state.trace_valid = false;
    ASSERT_TRUE(meterdesk::recall_trace_file(state, ui, first));
    ASSERT_TRUE(meterdesk::save_trace_file(state, ui, second));
    EXPECT_EQ(folder.read("a.trc"), folder.read("b.trc"));
    EXPECT_EQ(state.trace_count, 3);
    EXPECT_DOUBLE_EQ(state.seconds_per_pixel, 10 * 0.5 * 0.002);
}

TEST_F(TraceFileCommands, InvalidFileKeepsTheTraceInMemory) {
    const auto path = folder.write("bad.trc", std::string(116, '\x01')).string();
    EXPECT_FALSE(meterdesk::recall_trace_file(state, ui, path));
    EXPECT_EQ(ui.message_texts(), std::vector<std::string>{"Invalid TRACE file."});
    EXPECT_EQ(state.trace_count, 3);
    EXPECT_DOUBLE_EQ(state.trace_values[0], -12.345);
}

TEST_F(TraceFileCommands, RecallOverAValidTraceAsksFirst) {
    TraceSnapshot other = three_point_trace();
    other.values = {1, 2};
    other.temps = {20, 21};
    const Bytes bytes = meterdesk::encode_trace_file(other);
    const auto path = folder.write("other.trc", std::string(bytes.begin(), bytes.end())).string();
    ui.script_answer(MessageAnswer::kCancel);
    EXPECT_FALSE(meterdesk::recall_trace_file(state, ui, path));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"Recalling this TRACE will\nover-write the one currently\n"
                                       "loaded or being viewed."});
    EXPECT_EQ(state.trace_count, 3);
    EXPECT_TRUE(meterdesk::recall_trace_file(state, ui, path)); // OK this time
    EXPECT_EQ(state.trace_count, 2);
}

} // namespace
} // namespace meterdesk_test
