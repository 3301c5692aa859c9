// The numbers of the settings dialogs and setup files: reading by the atof rules, writing with
// printf's rounding, both untouched by the process locale.
#include "meterdesk/settings/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

namespace {

using meterdesk::printf_fixed;
using meterdesk::read_number;

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NumberText, ReadsTheLongestDecimalPrefix) {
    const struct {
        const char *text;
        double value;
    } cases[] = {
        {"50.5", 50.5},     {"  \t12", 12.0},  {"-3.25dB", -3.25}, {"+7", 7.0},
        {"1e3", 1000.0},    {"1E-3x", 0.001},  {"2e", 2.0},        {"2e+", 2.0},
        {".5", 0.5},        {"5.", 5.0},       {"12.5.3", 12.5},   {"0x1A", 0.0},
        {"abc", 0.0},       {"", 0.0},         {"-", 0.0},         {"--5", 0.0},
        {"- 5", 0.0},       {"+-5", 0.0},      {"1,5", 1.0},       {"  -0.009", -0.009},
        {"1e400", kInf},    {"-1e400", -kInf}, {"1e-400", 0.0},    {"inf", kInf},
        {"Infinity", kInf}, {"1 2", 1.0},
    };
    for (const auto &c : cases) EXPECT_EQ(read_number(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isnan(read_number("nan")));
    EXPECT_TRUE(std::isnan(read_number(" NaN%")));
}

TEST(NumberText, ReadsOnlyTheFirstCharactersOfAnEdit) {
    // 15 characters: the fourteenth is the last one a limit edit reads.
    EXPECT_EQ(read_number("100.00000000001", meterdesk::kScaleEditChars), 100.0);
    EXPECT_EQ(read_number("100.00000000001", meterdesk::kValueEditChars), 100.00000000001);
    EXPECT_EQ(read_number("123456789012345678901234567", meterdesk::kValueEditChars),
              123456789012345678901234.0);
    EXPECT_EQ(read_number("              12", meterdesk::kScaleEditChars), 0.0);
}

TEST(NumberText, WritesLikePrintf) {
    const struct {
        double value;
        int places;
        int width;
        const char *text;
    } cases[] = {
        {50.0, 1, 0, "50.0"},
        {0.009, 2, 0, "0.01"},
        {1.25, 1, 0, "1.2"},
        {1.35, 1, 0, "1.4"},
        {2.5, 0, 0, "2"},
        {3.5, 0, 0, "4"},
        {0.125, 2, 0, "0.12"},
        {99.95, 1, 5, "100.0"},
        {95.0, 1, 5, " 95.0"},
        {-0.0, 2, 0, "-0.00"},
        {1e10, 2, 0, "10000000000.00"},
        {1.23, 1, 0, "1.2"},
        {-50.005, 2, 0, "-50.01"},
        {316.2277660168379, 3, 0, "316.228"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(printf_fixed(c.value, c.places, c.width), c.text)
            << c.value << " with " << c.places << " places";
        char expected[64];
        std::snprintf(expected, sizeof expected, "%*.*f", c.width, c.places, c.value);
        EXPECT_EQ(printf_fixed(c.value, c.places, c.width), expected) << c.value;
    }
    EXPECT_EQ(meterdesk::printf_int(-25), "-25");
    EXPECT_EQ(meterdesk::printf_int(1287), "1287");
}

TEST(NumberText, RangeChecksRefuseNaN) {
    EXPECT_TRUE(meterdesk::in_range(50.0, 50.0, 150.0));
    EXPECT_TRUE(meterdesk::in_range(150.0, 50.0, 150.0));
    EXPECT_FALSE(meterdesk::in_range(150.1, 50.0, 150.0));
    EXPECT_FALSE(meterdesk::in_range(std::nan(""), 50.0, 150.0));
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(meterdesk::in_range(infinity, 0.0, 1e308));
}

// A C++ global locale with a decimal comma (the Qt application sets the user's locale), and the C
// locale of the same kind when the machine has one.
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(NumberText, ALocaleWithADecimalCommaChangesNothing) {
    const std::locale before =
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const char *c_locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (c_locale == nullptr) c_locale = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(read_number("50.5"), 50.5);
    EXPECT_EQ(read_number("50,5"), 50.0);
    EXPECT_EQ(printf_fixed(50.5, 1), "50.5");
    EXPECT_EQ(printf_fixed(1234.5678, 3, 10), "  1234.568");
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(before);
}

} // namespace
