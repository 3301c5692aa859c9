// Text forms of readings.
#include "power_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace text = rfsense::text;

namespace {

std::string log_text(double dbm, int resolution, bool relative) {
    char out[text::power_text_size];
    text::format_log(out, dbm, resolution, relative);
    return out;
}

std::string lin_text(double mw, int resolution, bool relative = false) {
    char out[text::power_text_size];
    text::format_lin(out, mw, resolution, relative);
    return out;
}

TEST(PowerText, LogarithmicForms) {
    EXPECT_EQ(log_text(0.0, 3, true), "0.000dB");
    EXPECT_EQ(log_text(-12.3456, 3, false), "-12.346dBm");
    EXPECT_EQ(log_text(-12.3456, 0, false), "-12dBm");
    EXPECT_EQ(log_text(-12.3456, 1, false), "-12.3dBm");
    EXPECT_EQ(log_text(-12.3456, 2, true), "-12.35dB");
    EXPECT_EQ(log_text(-12.3456, 7, false), "-12.346dBm"); // other resolutions print 3 decimals
}

TEST(PowerText, ValuesThatRoundToZeroCarryNoSign) {
    EXPECT_EQ(log_text(-1e-12, 3, true), "0.000dB");
    EXPECT_EQ(log_text(-0.0004, 3, true), "0.000dB");
    EXPECT_EQ(log_text(-0.4, 0, true), "0dB");
    EXPECT_EQ(log_text(-0.0006, 3, true), "-0.001dB");
    EXPECT_EQ(log_text(-0.04, 1, false), "0.0dBm");
    EXPECT_EQ(log_text(-0.06, 1, false), "-0.1dBm");
    EXPECT_EQ(log_text(-10.0, 0, false), "-10dBm");
    EXPECT_EQ(lin_text(-1e-13, 3), "0.000nW");
}

TEST(PowerText, LinearUnitsAndThresholds) {
    const struct {
        double mw;
        int resolution;
        const char *text;
    } cases[] = {
        {5.0, 2, "5.00mW"},       {0.5, 2, "500.00uW"},           {2000.0, 2, "2.00W"},
        {0.0009, 3, "900.000nW"}, // below 0.00095 mW: nW
        {0.00095, 3, "0.950uW"},  {0.949, 1, "949.0uW"},          {0.95, 3, "0.950mW"},
        {994.9, 1, "994.9mW"},    {995.0, 3, "0.995W"},           {999994.0, 0, "1000W"},
        {999995.0, 3, "1.000KW"}, {999999994.0, 3, "1000.000KW"}, {999999995.0, 3, "1.000MW"},
        {-0.5, 1, "-500000.0nW"}, // negative values fall in the nW case
    };
    for (const auto &c : cases) EXPECT_EQ(lin_text(c.mw, c.resolution), c.text) << c.mw;
}

TEST(PowerText, RelativeLinearIsAPercentage) {
    EXPECT_EQ(lin_text(100.0, 3, true), "100.000%");
    EXPECT_EQ(lin_text(12.5, 1, true), "12.5%");
}

TEST(PowerText, HugeValuesStayInsideTheBuffer) {
    char out[text::power_text_size + 8];
    std::memset(out, 'x', sizeof out);
    text::format_log(out, 1e300, 3, false);
    EXPECT_EQ(std::strlen(out), text::power_text_size - 1);
    EXPECT_EQ(out[text::power_text_size], 'x');
}

} // namespace
