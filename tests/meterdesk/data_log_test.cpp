// The meter's data log: every accepted reading while the live readout runs, its state after
// the title, replug, refusals and failures.
#include "meterdesk/support/meter_fixture.h"

#include "meterdesk/core/data_log_control.h"
#include "meterdesk/core/reading_log.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace meterdesk_test {
namespace {

std::vector<std::string> rows_of(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);) rows.push_back(line);
    return rows;
}

class DataLogTest : public MeterTest {
  protected:
    std::string last_status() const {
        const auto statuses = ui.of_kind(UiCall::Kind::log_status);
        return statuses.empty() ? std::string("(none)") : statuses.back().text;
    }

    meterdesk::ReadingLog log;
    meterdesk::DataLogControl control{state, ui, log};
};

TEST_F(DataLogTest, AcceptedReadingsAreLoggedAcrossAReplug) {
    configure("power_dbm = -7\n");
    thread = std::make_unique<meterdesk::MeasurementThread>(state, ui, kFastTiming);
    thread->set_reading_log(&log);
    state.app_dir = app.path().string();
    state.startup_phase = meterdesk::kStartupSplashDone;
    thread->start();
    ASSERT_TRUE(wait_measuring());

    const auto file = app.path() / "readings.csv";
    ui.script_file(file.string());
    control.start_command();
    const auto dialogs = ui.of_kind(UiCall::Kind::save_file_dialog);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text, "CSV Files (*.csv)");
    ASSERT_TRUE(log.running());
    EXPECT_EQ(ui.command_enabled(meterdesk::kCmdStartDataLog), false);
    EXPECT_EQ(ui.command_enabled(meterdesk::kCmdStopDataLog), true);
    ASSERT_TRUE(eventually([&] { return log.accepted() >= 20; }));
    control.refresh();
    EXPECT_TRUE(std::regex_match(last_status(), std::regex(R"( - Logging: \d+ readings)")))
        << last_status();

    // Live readout off: nothing is logged, and the title says so.
    state.live_readout_enabled = false;
    control.refresh();
    EXPECT_EQ(last_status(), " - Logging paused");
    state.live_readout_enabled = true;

    set("plugged", "0");
    ASSERT_TRUE(wait_no_sensor());
    control.refresh();
    EXPECT_EQ(last_status(), " - Logging: waiting for sensor");
    const auto before_replug = log.accepted();
    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());
    ASSERT_TRUE(eventually([&] { return log.accepted() >= before_replug + 20; }));

    control.stop_command();
    EXPECT_EQ(last_status(), "");
    EXPECT_EQ(ui.command_enabled(meterdesk::kCmdStartDataLog), true);
    const auto rows = rows_of(file);
    ASSERT_EQ(rows.size(), log.saved() + 1);
    EXPECT_EQ(rows[0], "timestamp,value,unit,over_range");
    EXPECT_EQ(std::count(rows.begin(), rows.end(), rows[0]), 1);
    EXPECT_TRUE(
        std::regex_match(rows.back(), std::regex(R"(.*,-7\.\d{3},dBm,0|.*,-6\.99\d,dBm,0)")))
        << rows.back();
}

TEST_F(DataLogTest, ARefusedFileIsToldAndLeftAsItWas) {
    const auto file = app.write("other.csv", "a,b\n");
    EXPECT_FALSE(control.start(file.string()));
    const auto messages = ui.of_kind(UiCall::Kind::message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Data Logging");
    EXPECT_EQ(messages[0].text.rfind("Can't write log file " + file.string() + "\n\n", 0), 0u)
        << messages[0].text;
    EXPECT_EQ(app.read("other.csv"), "a,b\n");
}

TEST(DataLogFailure, ALogThatStopsIsToldOnceWithTheReadingsSaved) {
    ScratchFolder folder;
    FakeUi ui;
    meterdesk::AppState state;
    meterdesk::ReadingLogOptions options;
    options.writer_pace = std::chrono::milliseconds(2000);
    meterdesk::ReadingLog log(options);
    meterdesk::DataLogControl control(state, ui, log);
    const auto file = folder.path() / "log.csv";
    ASSERT_TRUE(control.start(file.string()));
    while (log.log(1.0, meterdesk::LogUnit::kDbm, false)) {
    }
    log.stop(); // the writer finds the full queue
    control.refresh();
    control.refresh();
    const auto texts = ui.message_texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("Logging stopped.\n\nCan't write log file " + file.string(), 0), 0u);
    EXPECT_NE(texts[0].find("\n\n" + std::to_string(log.saved()) + " readings were saved."),
              std::string::npos)
        << texts[0];
}

} // namespace
} // namespace meterdesk_test
