// The data log: header and append rules, rows, and how it stops on a failure.
#include "meterdesk/support/scratch.h"

#include "meterdesk/core/reading_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

namespace meterdesk_test {
namespace {

using meterdesk::LogUnit;
using meterdesk::ReadingLog;
using namespace std::chrono_literals;

TEST(ReadingLog, NewFileGetsTheHeaderAndAppendKeepsOne) {
    ScratchFolder folder;
    const std::string file = (folder.path() / "log.csv").string();
    {
        ReadingLog log;
        ASSERT_FALSE(log.start(file));
        EXPECT_TRUE(log.log(-12.3456, LogUnit::kDbm, false));
        EXPECT_TRUE(log.log(0.00125, LogUnit::kWatts, true));
        log.stop();
        EXPECT_EQ(log.saved(), 2u);
    }
    {
        ReadingLog log;
        ASSERT_FALSE(log.start(file));
        EXPECT_TRUE(log.log(31.25, LogUnit::kFahrenheit, false));
    } // the destructor writes and closes
    const std::string text = folder.read("log.csv");
    const std::regex expected("timestamp,value,unit,over_range\n"
                              R"(\S+,-12\.346,dBm,0\n\S+,1\.250000e-03,W,1\n\S+,31\.250,'F,0\n)");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(ReadingLog, RowHasLocalIsoTimeWithMilliseconds) {
    const auto when = std::chrono::system_clock::time_point(1'700'000'000'123ms);
    const std::string row = ReadingLog::row(when, 45.6, LogUnit::kPercent, false);
    EXPECT_TRUE(std::regex_match(
        row, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.123[+-]\d\d:\d\d,45\.600,%,0)")))
        << row;
}

TEST(ReadingLog, OtherFilesAreRefusedUntouched) {
    ScratchFolder folder;
    const auto file = folder.write("notes.csv", "time,value\n1,2\n").string();
    ReadingLog log;
    const auto refused = log.start(file);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("not a data log"), std::string::npos);
    EXPECT_FALSE(log.running());
    EXPECT_FALSE(log.log(1, LogUnit::kDbm, false));
    EXPECT_EQ(folder.read("notes.csv"), "time,value\n1,2\n");
}

TEST(ReadingLog, FullDiskStopsTheLogWithTheReason) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP();
    ReadingLog log;
    const auto refused = log.start("/dev/full");
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, "No space left on device");
}

TEST(ReadingLog, AFullQueueStopsTheLogAndKeepsWholeLines) {
    ScratchFolder folder;
    const std::string file = (folder.path() / "log.csv").string();
    meterdesk::ReadingLogOptions options;
    options.writer_pace = 2000ms; // the writer does not drain in time
    ReadingLog log(options);
    std::optional<meterdesk::LogFailure> reported;
    log.set_on_failure([&](const meterdesk::LogFailure &f) { reported = f; });
    ASSERT_FALSE(log.start(file));
    std::uint64_t accepted = 0;
    while (log.log(-1, LogUnit::kDbm, false)) ++accepted;
    EXPECT_GE(accepted, 30000u); // at least 60 s at 500 readings/s
    log.stop();
    ASSERT_TRUE(log.failure());
    EXPECT_NE(log.failure()->reason.find("queue"), std::string::npos);
    ASSERT_TRUE(reported);
    EXPECT_EQ(reported->saved, accepted);
    const std::string text = folder.read("log.csv");
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')), accepted + 1);
}

} // namespace
} // namespace meterdesk_test
