// `rfsense firmware`: the copy printed with --normalise-only, the refusals with their exit
// statuses (8 an unreadable file, 9 a refused line; nothing sent), and a download to the
// simulated sensor.
#include "cli/support/cli_runner.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using cli_test::run_cli;
using cli_test::SimConfig;

const std::string kSource = ":020000040000FA\r\n"
                            ":10100000A5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A590\r\n"
                            ":00000001FF\r\n";

class CliFirmware : public testing::Test {
  protected:
    std::string write(const std::string &name, const std::string &text) {
        const auto path = folder.path() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    test_support::ScratchFolder folder;
};

TEST_F(CliFirmware, NormaliseOnlyPrintsTheCopyAndTouchesNoSensor) {
    const auto result = run_cli({"firmware", "--normalise-only", write("fw.hex", kSource)},
                                {.environment = {"RFSENSE_LINK=none-such"}});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const auto lines = result.out_lines();
    ASSERT_EQ(lines.size(), 1u + 256u + 2u);
    EXPECT_EQ(lines[0], ":020000040000FA");
    EXPECT_EQ(lines[1], ":10000000" + std::string(32, 'F') + "00");
    EXPECT_EQ(lines[2], ":10001000" + std::string(32, 'F') + "F0");
    EXPECT_EQ(lines[257], ":10100000A5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A590");
    EXPECT_EQ(lines[258], ":00000001FF");
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
}

TEST_F(CliFirmware, RefusalsExitWithTheirStatusAndNameTheLine) {
    std::string bad = kSource;
    bad.replace(bad.find("90\r"), 2, "91");
    auto result = run_cli({"--simulate", "firmware", write("bad.hex", bad)});
    EXPECT_EQ(result.exit_code, 9) << result.err;
    EXPECT_NE(result.err.find("bad.hex, line 2: checksum error; nothing was sent"),
              std::string::npos)
        << result.err;

    result = run_cli({"--simulate", "firmware", (folder.path() / "none.hex").string()});
    EXPECT_EQ(result.exit_code, 8) << result.err;
    EXPECT_NE(result.err.find("cannot read the firmware file"), std::string::npos);

    result = run_cli({"firmware"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("'firmware' needs the HEX file"), std::string::npos);
}

TEST_F(CliFirmware, DownloadsToTheSimulatedSensor) {
    const auto result = run_cli({"--simulate", "firmware", write("fw.hex", kSource)});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_NE(result.err.find("259 lines sent and acknowledged"), std::string::npos) << result.err;
}

TEST_F(CliFirmware, ASensorThatRefusesALineExitsTen) {
    // The record check of the download mode refuses a line the meter's check passes only when
    // the sensor corrupts it: from the configuration on, every command counts.
    const SimConfig config("fault = corrupt@1\n");
    const auto result = run_cli({config.simulate_option(), "firmware", write("fw.hex", kSource)});
    EXPECT_EQ(result.exit_code, 10) << result.err;
    EXPECT_NE(result.err.find("The sensor acknowledged 0 of 259 lines"), std::string::npos)
        << result.err;
}

} // namespace
