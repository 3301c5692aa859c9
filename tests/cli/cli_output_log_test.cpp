// `read -o FILE`: the data log beside the readings: its rows, appending, refusals, write
// failures, and what a kill leaves on the disk.
#include "cli/support/cli_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

using cli_test::run_cli;
using cli_test::SimConfig;
using namespace std::chrono_literals;

const std::string kHeader = "timestamp,value,unit,over_range";

class OutputLog : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("rfsense-log-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        file = (folder / "log.csv").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    static std::string read(const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
    std::string file;
};

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(OutputLog, RowsMatchTheCsvOutputAndASecondRunAppends) {
    const auto first = run_cli({"--simulate", "read", "-n", "3", "--format", "csv", "-o", file});
    ASSERT_EQ(first.exit_code, 0) << first.err;
    const auto stdout_lines = first.out_lines();
    ASSERT_EQ(stdout_lines.size(), 4u);
    EXPECT_EQ(stdout_lines[0], kHeader); // stdout is unchanged

    auto rows = lines_of(read(file));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], kHeader);
    const std::regex row(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,-?\d+\.\d{3},dBm,0)");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_TRUE(std::regex_match(rows[i], row)) << rows[i];
        // The same value and columns as the standard output's row.
        EXPECT_EQ(rows[i].substr(rows[i].find(',')),
                  stdout_lines[i].substr(stdout_lines[i].find(',')));
    }

    const auto second = run_cli({"--simulate", "read", "-n", "2", "-u", "w", "-o", file});
    ASSERT_EQ(second.exit_code, 0) << second.err;
    rows = lines_of(read(file));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), kHeader), 1);
    EXPECT_TRUE(std::regex_match(rows[5], std::regex(R"(.*,\d\.\d{6}e[-+]\d\d,W,0)"))) << rows[5];
}

TEST_F(OutputLog, FailuresExitSevenWithTheReason) {
    struct Case {
        std::string path;
        const char *reason;
    };
    const std::vector<Case> cases = {
        {"/dev/full", "No space left on device"},
        {(folder / "missing" / "log.csv").string(), "No such file or directory"},
    };
    for (const auto &c : cases) {
        const auto result = run_cli({"--simulate", "read", "-n", "3", "-o", c.path});
        EXPECT_EQ(result.exit_code, 7) << c.path;
        EXPECT_NE(result.err.find("cannot write the log " + c.path + ": " + c.reason +
                                  "; 0 readings saved"),
                  std::string::npos)
            << result.err;
    }
}

TEST_F(OutputLog, AnotherFileIsRefusedUnchanged) {
    {
        std::ofstream out(file, std::ios::binary);
        out << "my notes\n1,2,3\n";
    }
    const auto result = run_cli({"--simulate", "read", "-n", "3", "-o", file});
    EXPECT_EQ(result.exit_code, 7);
    EXPECT_NE(result.err.find("cannot write the log " + file), std::string::npos) << result.err;
    EXPECT_EQ(read(file), "my notes\n1,2,3\n");
}

TEST_F(OutputLog, SigtermFlushesAndExitsZero) {
    cli_test::RunOptions options;
    options.signal = SIGTERM;
    options.signal_after = 1500ms;
    const auto result = run_cli({"--simulate", "read", "-c", "-o", file}, options);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    const std::string text = read(file);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    // Every row that stdout got is in the file.
    EXPECT_GE(lines_of(text).size(), result.out_lines().size());
}

// SIGKILL in realistic timing: the file ends with a whole line taken at most 1.5 s before.
class OutputLogSlow : public OutputLog {};

TEST_F(OutputLogSlow, KillLosesAtMostTheLastSecond) {
    const SimConfig config("timing = realistic\nlatency_ms = 1\npower_dbm = 0\n");
    cli_test::RunOptions options;
    options.signal = SIGKILL;
    options.signal_after = 4000ms;
    const auto killed_at = std::chrono::system_clock::now() + options.signal_after;
    const auto result = run_cli({config.simulate_option(), "read", "-c", "-o", file}, options);
    EXPECT_EQ(result.exit_code, 128 + SIGKILL);
    const std::string text = read(file);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const auto rows = lines_of(text);
    ASSERT_GE(rows.size(), 2u);
    // The last row's time of day against the kill's (same local day in a test run).
    const std::string &last = rows.back();
    const int h = std::stoi(last.substr(11, 2)), m = std::stoi(last.substr(14, 2));
    const double s = std::stod(last.substr(17, 6));
    const std::time_t kill_time = std::chrono::system_clock::to_time_t(killed_at);
    std::tm local{};
    localtime_r(&kill_time, &local);
    const auto kill_ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(killed_at.time_since_epoch())
            .count() %
        1000;
    const double kill_seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec +
                                static_cast<double>(kill_ms) / 1000.0;
    const double row_seconds = h * 3600 + m * 60 + s;
    EXPECT_LE(kill_seconds - row_seconds, 1.5) << last;
}

} // namespace
