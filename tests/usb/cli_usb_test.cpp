// The command-line meter on the real-hardware link, as on a machine with sensors attached: the
// emulated USB bus is preloaded into the program, which finds the simulated devices through
// libftdi1. Listing, identity, readings, the refusals in the README's words, and the trace.
#include "cli/support/cli_runner.h"

#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace {

using cli_test::run_cli;
using cli_test::RunResult;
using cli_test::SimConfig;

bool contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

// Runs the meter on the real-hardware link with the emulated bus holding `config`'s devices.
RunResult run_on_usb(const std::string &config, const std::vector<std::string> &arguments,
                     const std::vector<std::string> &environment = {}) {
    const SimConfig devices(config);
    cli_test::RunOptions options;
    options.environment = {"LD_PRELOAD=" RFSIM_USB_LIBRARY, "RFSENSE_LINK=ftdi",
                           "RFSIM_USB=" + devices.path()};
    options.environment.insert(options.environment.end(), environment.begin(), environment.end());
    return run_cli(arguments, options);
}

class CliOverUsb : public testing::Test {
  protected:
    void SetUp() override {
#ifdef RFSENSE_SANITIZED_BUILD
        GTEST_SKIP() << "the emulated USB bus cannot be preloaded into the programs of a "
                        "sanitizer build (its runtime must come first); run the usb label in a "
                        "plain build";
#endif
    }
};

TEST_F(CliOverUsb, ListShowsEachBridgeWithSerialAndDescription) {
    const auto result = run_on_usb("[device]\nserial = RX100001\n"
                                   "[device]\nkind = other\nserial = FT77\n"
                                   "[device]\ndescription = USB Power Sensor RX1\nserial = XR42\n",
                                   {"list"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const auto lines = result.out_lines();
    ASSERT_EQ(lines.size(), 4u) << result.out;
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex(R"(0 +RX100001 +yes +USB Power Sensor RX4LO)")))
        << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(1 +FT77 +no +USB Serial Converter)")))
        << lines[2];
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(2 +XR42 +yes +USB Power Sensor RX1)")))
        << lines[3];
}

TEST_F(CliOverUsb, InfoAndReadingsComeThroughTheBridge) {
    const std::string config = "[device]\nserial = RX424242\npower_dbm = -12.5\n";
    const auto info = run_on_usb(config, {"info"});
    ASSERT_EQ(info.exit_code, 0) << info.err;
    EXPECT_TRUE(contains(info.out, "RX4LO (10MHz to 26.5GHz)")) << info.out;
    EXPECT_TRUE(contains(info.out, "RX424242")) << info.out;
    EXPECT_TRUE(contains(info.out, "USB SENSOR V4.7")) << info.out;

    const auto read = run_on_usb(config, {"read", "-n", "3"});
    ASSERT_EQ(read.exit_code, 0) << read.err;
    const auto lines = read.out_lines();
    ASSERT_EQ(lines.size(), 3u) << read.out;
    for (const auto &line : lines) {
        ASSERT_TRUE(std::regex_match(line, std::regex(R"(-?\d+\.\d{3} dBm)"))) << line;
        EXPECT_NEAR(std::stod(line), -12.5, 0.05) << line;
    }
}

struct RefusalCase {
    const char *name;
    const char *environment;
    const char *sentence; // as the README quotes it
};

void PrintTo(const RefusalCase &c, std::ostream *out) {
    *out << c.name;
}

class CliRefusal : public testing::TestWithParam<RefusalCase> {
  protected:
    void SetUp() override {
#ifdef RFSENSE_SANITIZED_BUILD
        GTEST_SKIP() << "the emulated USB bus cannot be preloaded into a sanitizer build";
#endif
    }
};

TEST_P(CliRefusal, ListAndReadNameTheCause) {
    const RefusalCase &c = GetParam();
    const std::string config = "[device]\n";
    const auto list = run_on_usb(config, {"list"}, {c.environment});
    EXPECT_EQ(list.exit_code, 2);
    EXPECT_TRUE(contains(list.out, std::string("(cannot open: ") + c.sentence)) << list.out;

    const auto read = run_on_usb(config, {"read", "-n", "1"}, {c.environment});
    EXPECT_EQ(read.exit_code, 2);
    EXPECT_EQ(read.out, "");
    EXPECT_TRUE(contains(read.err, "rfsense: no sensor connected\n")) << read.err;
    EXPECT_TRUE(contains(read.err, std::string("rfsense: USB bridge 0: ") + c.sentence))
        << read.err;
}

INSTANTIATE_TEST_SUITE_P(
    Causes, CliRefusal,
    testing::Values(RefusalCase{"permission", "RFSIM_USB_DENIED=0",
                                "Permission denied opening the USB bridge"},
                    RefusalCase{"busy", "RFSIM_USB_BUSY=0",
                                "The USB bridge is held by another program or by the ftdi_sio "
                                "serial driver"}),
    [](const testing::TestParamInfo<RefusalCase> &param_info) {
        return std::string(param_info.param.name);
    });

TEST_F(CliOverUsb, TraceShowsTheTrafficOnlyWhenAskedFor) {
    const std::string config = "[device]\nserial = RX424242\n";
    const auto traced = run_on_usb(config, {"info"}, {"RFSENSE_TRACE=1"});
    ASSERT_EQ(traced.exit_code, 0) << traced.err;
    EXPECT_TRUE(contains(traced.err, "open 0: serial RX424242, \"USB Power Sensor RX4LO\"\n"))
        << traced.err;
    EXPECT_TRUE(contains(traced.err, "purge\n")) << traced.err;
    EXPECT_TRUE(contains(traced.err, "> ID?\\n\n")) << traced.err;
    EXPECT_TRUE(contains(traced.err, "< USB SENSOR V4.7\\n\n")) << traced.err;
    EXPECT_TRUE(
        std::regex_search(traced.err, std::regex(R"(rfsense trace +\d+\.\d{3} ms  > INIT\?\\n)")))
        << traced.err;
    EXPECT_EQ(traced.out, run_on_usb(config, {"info"}).out) << "the trace goes to stderr only";

    const auto quiet = run_on_usb(config, {"info"}, {"RFSENSE_TRACE=0"});
    ASSERT_EQ(quiet.exit_code, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
}

} // namespace
