// The command line: usage errors are caught before any sensor is touched, and the help and
// version texts are there for people and packagers.
#include "cli/support/cli_runner.h"

#include <gtest/gtest.h>

namespace {

using cli_test::run_cli;

struct UsageCase {
    std::vector<std::string> arguments;
    const char *message; // part of the error line on stderr
};

class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitWithStatusOneAndSayWhy) {
    const UsageCase &c = GetParam();
    // The simulator is offered so that a missed usage error would show up as a reading.
    const auto result = run_cli(c.arguments, {.environment = {"RFSENSE_LINK=sim"}});
    EXPECT_EQ(result.exit_code, 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("rfsense: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("rfsense --help"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    testing::Values(UsageCase{{}, "no command given"},
                    UsageCase{{"measure"}, "unknown command 'measure'"},
                    UsageCase{{"read", "extra"}, "unexpected argument 'extra'"},
                    UsageCase{{"--bogus", "read"}, "unknown option '--bogus'"},
                    UsageCase{{"list", "--table"}, "unknown option '--table' for 'list'"},
                    UsageCase{{"read", "-n"}, "'-n' needs a value"},
                    UsageCase{{"read", "-n", "0"}, "invalid value '0' for -n"},
                    UsageCase{{"read", "--count=2x"}, "invalid value '2x' for --count"},
                    UsageCase{{"read", "--unit", "dbw"}, "expected dbm, w or v"},
                    UsageCase{{"read", "--format", "xml"}, "expected text or csv"},
                    UsageCase{{"read", "--frequency", "2.4X"}, "invalid value '2.4X'"},
                    UsageCase{{"read", "--frequency", "2.4m"}, "invalid value '2.4m'"},
                    UsageCase{{"read", "--offset", "nan"}, "invalid value 'nan'"},
                    UsageCase{{"read", "--relative=yes"}, "takes no value"},
                    UsageCase{{"read", "-n", "3", "--continuous"}, "exclude each other"},
                    UsageCase{{"read", "--relative", "--unit", "v"}, "not to volts"},
                    UsageCase{{"--simulate=", "read"}, "needs a configuration file"},
                    UsageCase{{"--simulate", "bus.conf", "read"}, "--simulate=FILE"}));

TEST(Help, DescribesCommandsEnvironmentAndExitStatus) {
    for (const char *option : {"--help", "-h"}) {
        const auto result = run_cli({option});
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(result.err, "");
        for (const char *part : {"Usage: rfsense", "list", "info", "read", "zero", "--simulate",
                                 "RFSENSE_LINK", "RFSENSE_SIM", "Exit status", "Examples"})
            EXPECT_NE(result.out.find(part), std::string::npos) << part;
    }
    // Asked after a command, it still helps instead of running the command.
    EXPECT_EQ(run_cli({"read", "--help"}).exit_code, 0);
}

TEST(Version, NamesProgramAndLibraryRevision) {
    const auto result = run_cli({"--version"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out.rfind("rfsense ", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("sensor library 3.1"), std::string::npos) << result.out;
}

} // namespace
