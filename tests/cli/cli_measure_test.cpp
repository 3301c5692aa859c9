// The meter against the simulated sensor: readings in every unit and format, refused values,
// missing and unresponsive sensors, zeroing, listing and identity, and stopping on a signal.
#include "cli/support/cli_runner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <regex>
#include <sstream>

namespace {

using cli_test::run_cli;
using cli_test::RunResult;
using cli_test::SimConfig;

bool contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

std::vector<std::string> split_csv(const std::string &line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    return fields;
}

cli_test::RunOptions signal_after(int signal_number, std::chrono::milliseconds delay) {
    cli_test::RunOptions options;
    options.signal = signal_number;
    options.signal_after = delay;
    return options;
}

// Runs `read` on a simulated sensor that receives `dbm`, with the given extra arguments.
RunResult read_at(const std::string &dbm, std::vector<std::string> arguments) {
    const SimConfig config("power_dbm = " + dbm + "\n");
    arguments.insert(arguments.begin(), {config.simulate_option(), "read"});
    return run_cli(arguments);
}

TEST(Read, TextReadingsOnePerLineWithTheResolutionAsked) {
    const auto result = run_cli({"--simulate", "read", "-n", "5"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto lines = result.out_lines();
    ASSERT_EQ(lines.size(), 5u) << result.out;
    for (const auto &line : lines)
        EXPECT_TRUE(std::regex_match(line, std::regex(R"(-?\d+\.\d{3} dBm)"))) << line;

    const auto coarse = run_cli({"read", "--resolution=1", "--simulate"});
    ASSERT_EQ(coarse.exit_code, 0) << coarse.err;
    EXPECT_TRUE(std::regex_match(coarse.out, std::regex(R"(-?\d+\.\d dBm\n)"))) << coarse.out;
}

TEST(Read, CsvHasHeaderLocalTimestampsAndOneRowPerReading) {
    const auto result = read_at("-20", {"-n", "4", "--format", "csv"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const auto lines = result.out_lines();
    ASSERT_EQ(lines.size(), 5u) << result.out;
    EXPECT_EQ(lines[0], "timestamp,value,unit,over_range");
    std::string previous;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto fields = split_csv(lines[i]);
        ASSERT_EQ(fields.size(), 4u) << lines[i];
        EXPECT_TRUE(std::regex_match(
            fields[0], std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)")))
            << fields[0];
        EXPECT_GE(fields[0], previous); // same day and offset: text order is time order
        previous = fields[0];
        EXPECT_EQ(fields[2], "dBm");
        EXPECT_EQ(fields[3], "0");
    }
}

struct UnitCase {
    const char *name;
    std::vector<std::string> arguments;
    const char *unit;
    double expected;
    double tolerance;
};

class ReadUnits : public testing::TestWithParam<UnitCase> {};

// A -20 dBm signal at 50 MHz, read through each unit and correction.
TEST_P(ReadUnits, GiveTheAppliedPowerWithCorrections) {
    const UnitCase &c = GetParam();
    std::vector<std::string> arguments{"-n", "3", "--format", "csv"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const auto result = read_at("-20", arguments);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const auto lines = result.out_lines();
    ASSERT_EQ(lines.size(), 4u) << result.out;
    const auto fields = split_csv(lines.back());
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[2], c.unit);
    EXPECT_NEAR(std::stod(fields[1]), c.expected, c.tolerance) << lines.back();
}

INSTANTIATE_TEST_SUITE_P(
    Read, ReadUnits,
    testing::Values(UnitCase{"dbm", {}, "dBm", -20.0, 0.3},
                    UnitCase{"watts", {"--unit", "w"}, "W", 1e-5, 0.07e-5},
                    UnitCase{"offset", {"--offset", "20"}, "dBm", 0.0, 0.3},
                    UnitCase{"cal_factor", {"--cal-factor", "50"}, "dBm", -17.0, 0.3},
                    UnitCase{"duty", {"--duty", "50"}, "dBm", -17.0, 0.3},
                    UnitCase{"frequency", {"--frequency", "2.4G"}, "dBm", -20.0, 0.3},
                    UnitCase{"relative_db", {"--relative"}, "dB", 0.0, 0.3},
                    UnitCase{"relative_percent", {"--relative", "-u", "w"}, "%", 100.0, 7.0}),
    [](const auto &test_info) { return std::string(test_info.param.name); });

TEST(Read, VoltsArePositiveDetectorVoltage) {
    const auto result = read_at("-20", {"--unit", "v", "--format", "csv"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const auto fields = split_csv(result.out_lines().at(1));
    EXPECT_EQ(fields.at(2), "V");
    EXPECT_GT(std::stod(fields.at(1)), 0.0);
    EXPECT_LT(std::stod(fields.at(1)), 0.01);
}

TEST(Read, OverRangeReadingsAreFlagged) {
    const auto text = read_at("30", {"-n", "2"});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_TRUE(contains(text.out_lines().back(), "OVER RANGE")) << text.out;

    const auto csv = read_at("30", {"-n", "2", "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << csv.err;
    EXPECT_EQ(split_csv(csv.out_lines().back()).at(3), "1") << csv.out;
}

struct RefusalCase {
    std::vector<std::string> arguments;
    const char *limit; // the accepted range the message must name
};

class ReadRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(ReadRefusals, ExitWithStatusThreeNamingTheLimit) {
    const RefusalCase &c = GetParam();
    std::vector<std::string> arguments{"--simulate", "read"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const auto result = run_cli(arguments);
    EXPECT_EQ(result.exit_code, 3) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(contains(result.err, "refused")) << result.err;
    EXPECT_TRUE(contains(result.err, c.limit)) << result.err;
}

// The default simulated sensor is an RX4LO (10 MHz to 26.5 GHz).
INSTANTIATE_TEST_SUITE_P(Read, ReadRefusals,
                         testing::Values(RefusalCase{{"--offset", "100.5"}, "-50 to 100 dB"},
                                         RefusalCase{{"--offset", "-51"}, "-50 to 100 dB"},
                                         RefusalCase{{"--duty", "0"}, "above 0 and at most 100 %"},
                                         RefusalCase{{"--duty", "101"},
                                                     "above 0 and at most 100 %"},
                                         RefusalCase{{"--cal-factor", "49.9"}, "50 to 150 %"},
                                         RefusalCase{{"--cal-factor", "151"}, "50 to 150 %"},
                                         RefusalCase{{"--frequency", "27G"}, "10MHz to 26.5GHz"},
                                         RefusalCase{{"--frequency", "5MHz"}, "10MHz to 26.5GHz"},
                                         RefusalCase{{"--resolution", "4"}, "0 to 3"}));

TEST(Sensor, NoneAttachedExitsTwoWithAMessage) {
    const SimConfig config("[device]\nkind = other\n");
    const auto result = run_cli({config.simulate_option(), "read"});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("rfsense: no sensor connected\n", 0), 0u) << result.err;
    // On the simulator the way on is a sensor in its configuration, not USB permissions.
    EXPECT_TRUE(contains(result.err, "'rfsense list'")) << result.err;
    EXPECT_TRUE(contains(result.err, "kind = sensor")) << result.err;
    EXPECT_FALSE(contains(result.err, "udev")) << result.err;
}

// The real USB bus, which holds no sensor on a test machine: a new user learns how to look for
// the sensor, how to get permission to open it, and how to go on without one.
TEST(Sensor, NoneOnTheUsbBusNamesListUdevRuleAndSimulator) {
    const auto result = run_cli({"info"}, {.environment = {"RFSENSE_LINK=ftdi"}});
    if (result.exit_code != 2) GTEST_SKIP() << "a sensor is attached here: " << result.out;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("rfsense: no sensor connected\n", 0), 0u) << result.err;
    for (const char *part :
         {"'rfsense list'", "udev rule 60-rfsense.rules", "README", "'rfsense --simulate read'"})
        EXPECT_TRUE(contains(result.err, part)) << part << "\n" << result.err;
    EXPECT_FALSE(contains(result.err, "simulator:")) << result.err;
}

struct BadConfigCase {
    const char *name;
    const char *text;         // nullptr: the file does not exist
    bool through_environment; // RFSENSE_SIM instead of --simulate=FILE
    const char *message;
};

void PrintTo(const BadConfigCase &c, std::ostream *out) {
    *out << c.name;
}

class UnusableSimulatorConfiguration : public testing::TestWithParam<BadConfigCase> {};

TEST_P(UnusableSimulatorConfiguration, ExitsOneWithTheSimulatorsMessageFirst) {
    const BadConfigCase &c = GetParam();
    const SimConfig config(c.text != nullptr ? c.text : "");
    const std::string path =
        c.text != nullptr ? config.path() : config.path() + "-missing/rfsense-sim.conf";
    const auto result = c.through_environment
                            ? run_cli({"read"}, {.environment = {"RFSENSE_SIM=" + path}})
                            : run_cli({"--simulate=" + path, "read"});
    EXPECT_EQ(result.exit_code, 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("rfsense: ", 0), 0u) << result.err;
    const auto first_line = result.err.substr(0, result.err.find('\n'));
    EXPECT_TRUE(contains(first_line, c.message)) << result.err;
    EXPECT_TRUE(contains(first_line, path)) << result.err;
    EXPECT_FALSE(contains(result.err, "no sensor connected")) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Sensor, UnusableSimulatorConfiguration,
    testing::Values(BadConfigCase{"missing_file", nullptr, false, "cannot read"},
                    BadConfigCase{"unknown_key", "powr_dbm = -10\n", false,
                                  "line 1: unknown key 'powr_dbm'"},
                    BadConfigCase{"bad_value_through_environment", "\nready = maybe\n", true,
                                  "line 2: bad value 'maybe' for key 'ready'"}),
    [](const auto &test_info) { return std::string(test_info.param.name); });

TEST(Sensor, UnknownLinkIsAWarningAboutTheLinkNotTheSimulator) {
    const auto result = run_cli({"list"}, {.environment = {"RFSENSE_LINK=bogus"}});
    EXPECT_EQ(result.err.rfind("rfsense: warning: RFSENSE_LINK=\"bogus\" is not a known link", 0),
              0u)
        << result.err;
    EXPECT_FALSE(contains(result.err, "simulator")) << result.err;
}

TEST(Sensor, NotRespondingExitsFive) {
    const SimConfig config("ready = never\n");
    const auto result = run_cli({config.simulate_option(), "read"});
    EXPECT_EQ(result.exit_code, 5);
    EXPECT_TRUE(contains(result.err, "sensor not responding: disconnect and reconnect"))
        << result.err;
}

TEST(Sensor, CalibrationDataProblemIsOnlyAWarning) {
    const SimConfig config("cft = bad_checksum\n");
    const auto result = run_cli({config.simulate_option(), "read"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_TRUE(contains(result.err, "warning: cal factor table")) << result.err;
    EXPECT_EQ(result.out_lines().size(), 1u) << result.out;
}

TEST(Zero, AcceptedWithoutPowerAndShowsProgress) {
    const SimConfig config("power_dbm = off\n");
    const auto result = run_cli({config.simulate_option(), "zero"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out_lines().at(0), "zero accepted");
    EXPECT_EQ(result.out_lines().size(), 4u) << result.out;
    // Not a terminal: progress as percent lines.
    EXPECT_TRUE(contains(result.err, "zeroing: 0%\n")) << result.err;
    EXPECT_TRUE(contains(result.err, "zeroing: 100%\n")) << result.err;
}

TEST(Zero, RejectedWhilePowerIsApplied) {
    const SimConfig config("power_dbm = -10\n");
    const auto zero = run_cli({config.simulate_option(), "zero"});
    EXPECT_EQ(zero.exit_code, 6);
    EXPECT_EQ(zero.out, "");
    EXPECT_TRUE(contains(zero.err, "zero too large: check no power is applied")) << zero.err;
    // On the simulator it also says how to take the RF away.
    EXPECT_TRUE(contains(zero.err, "'power_dbm = off'")) << zero.err;
    EXPECT_TRUE(contains(zero.err, "--simulate=FILE")) << zero.err;

    const auto read = run_cli({config.simulate_option(), "read", "--zero"});
    EXPECT_EQ(read.exit_code, 6);
    EXPECT_EQ(read.out, "");
}

TEST(Zero, ReadAfterZeroMeasures) {
    const SimConfig config("power_dbm = off\n");
    const auto result = run_cli({config.simulate_option(), "read", "--zero", "-n", "2"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out_lines().size(), 2u) << result.out;
}

TEST(List, ShowsEachDeviceAndWhetherItIsASensor) {
    const SimConfig config("[device]\nkind = other\n[device]\n");
    const auto result = run_cli({config.simulate_option(), "list"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const auto lines = result.out_lines();
    ASSERT_EQ(lines.size(), 3u) << result.out;
    EXPECT_TRUE(std::regex_search(lines[1], std::regex(R"(^0 +\S+ +no +\S)"))) << lines[1];
    EXPECT_TRUE(std::regex_search(lines[2], std::regex(R"(^1 +\S+ +yes +USB Power Sensor)")))
        << lines[2];

    const SimConfig no_sensor("[device]\nkind = other\n");
    EXPECT_EQ(run_cli({no_sensor.simulate_option(), "list"}).exit_code, 2);
}

TEST(Info, IdentityAndCalFactorTable) {
    const auto result = run_cli({"--simulate", "info", "--table"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    for (const char *part :
         {"model:", "RX4LO (10MHz to 26.5GHz)", "serial:", "firmware:", "diode serial:",
          "diode K factor:", "library:", "3.1", "cal factor table (30 points)"})
        EXPECT_TRUE(contains(result.out, part)) << part << "\n" << result.out;
    std::size_t rows = 0;
    for (const auto &line : result.out_lines())
        rows += std::regex_match(line, std::regex(R"( *[0-9.]+ [kMG]?Hz +[0-9.]+ %)")) ? 1 : 0;
    EXPECT_EQ(rows, 30u) << result.out;
}

TEST(Info, ModelWithoutCalFactorTableSaysSo) {
    const SimConfig config("description = USB Power Sensor RX6\n");
    const auto result = run_cli({config.simulate_option(), "info", "--table"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "RX6 (75GHz to 110GHz)")) << result.out;
    EXPECT_TRUE(contains(result.out, "cal factor table:  none")) << result.out;
    EXPECT_FALSE(contains(result.out, "points")) << result.out;
    for (const auto &line : result.out_lines())
        EXPECT_FALSE(std::regex_match(line, std::regex(R"( *[0-9.]+ [kMG]?Hz +[0-9.]+ %)")))
            << line;
}

TEST(Continuous, StopsCleanlyOnSigint) {
    const auto result = run_cli({"--simulate", "read", "--continuous", "--format", "csv"},
                                signal_after(SIGINT, std::chrono::milliseconds(800)));
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    const auto lines = result.out_lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(split_csv(lines.back()).size(), 4u) << lines.back(); // no torn last line
    EXPECT_EQ(result.out.back(), '\n');
}

TEST(Continuous, CountedReadCutShortBySigtermSaysSo) {
    const SimConfig config("timing = realistic\n");
    const auto result = run_cli({config.simulate_option(), "read", "-n", "100000"},
                                signal_after(SIGTERM, std::chrono::milliseconds(800)));
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 128 + SIGTERM) << result.err;
}

} // namespace
