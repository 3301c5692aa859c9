// The first reading and the relative reference come from a settled average: auto-ranging starts
// in range 2, so the first averages after start-up hold clipped or too few conversions until the
// range for the applied power is chosen and its average has filled. Checked at a temperature
// other than 25 'C with noise on, in every range, in fast and in realistic timing.
#include "cli/support/cli_runner.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using cli_test::run_cli;
using cli_test::SimConfig;

struct FirstReadingCase {
    const char *name;
    const char *applied_dbm;
    std::vector<std::string> arguments; // extra options of `read`
    double expected;                    // every reading, dBm or dB
};

void PrintTo(const FirstReadingCase &c, std::ostream *out) {
    *out << c.name;
}

void expect_settled_readings(const FirstReadingCase &c, const char *timing) {
    // An unzeroed sensor's offsets would shift the low-power readings, and no zero can be
    // taken with RF applied, so the simulated sensor here has no zero offsets.
    const SimConfig config(std::string("timing = ") + timing + "\npower_dbm = " + c.applied_dbm +
                           "\ntemperature_c = 45\nnoise_uv = 2\nzero_offset_uv = 0 0 0\n");
    std::vector<std::string> arguments{
        config.simulate_option(), "read", "-n", "3", "--format", "csv"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    cli_test::RunOptions options;
    options.time_limit = std::chrono::seconds(120); // range 2 fills in about 18 s
    const auto result = run_cli(arguments, options);
    ASSERT_FALSE(result.timed_out);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const auto lines = result.out_lines();
    ASSERT_EQ(lines.size(), 4u) << result.out;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto first_comma = lines[i].find(',');
        ASSERT_NE(first_comma, std::string::npos) << lines[i];
        EXPECT_NEAR(std::stod(lines[i].substr(first_comma + 1)), c.expected, 0.05)
            << "reading " << i << ": " << lines[i];
    }
}

// +10 dBm clips the ADC in range 2, where every session starts, and moves straight to range 0;
// -25 dBm settles in range 1 and -40 dBm stays in range 2.
const auto cases = testing::Values(FirstReadingCase{"range0_from_clipped_start", "10", {}, 10.0},
                                   FirstReadingCase{"range1", "-25", {}, -25.0},
                                   FirstReadingCase{"range2", "-40", {}, -40.0},
                                   FirstReadingCase{"relative", "10", {"--relative"}, 0.0});

std::string case_name(const testing::TestParamInfo<FirstReadingCase> &info) {
    return info.param.name;
}

class FirstReading : public testing::TestWithParam<FirstReadingCase> {};

TEST_P(FirstReading, IsTheSettledAverageOfTheAppliedPower) {
    expect_settled_readings(GetParam(), "fast");
}

INSTANTIATE_TEST_SUITE_P(Fast, FirstReading, cases, case_name);

// Conversions at the sensor's own rates: about 1 s to the first reading in range 0, 3 s in
// range 1, 18 s in range 2.
class FirstReadingSlow : public testing::TestWithParam<FirstReadingCase> {};

TEST_P(FirstReadingSlow, IsTheSettledAverageOfTheAppliedPower) {
    expect_settled_readings(GetParam(), "realistic");
}

INSTANTIATE_TEST_SUITE_P(Realistic, FirstReadingSlow, cases, case_name);

} // namespace
