// Reading SCPI program messages: headers in short and long form, chains with ";" and their
// relative paths, parameters, and the lines that are refused.
#include "scpi/scpi_syntax.h"
#include "scpi/scpi_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using rfsense::scpi::parse_line;
using rfsense::scpi::pattern_matches;

std::string joined(const std::vector<std::string> &nodes) {
    std::string text;
    for (const auto &node : nodes) text += (text.empty() ? "" : ":") + node;
    return text;
}

TEST(ScpiSyntax, ChainsResolveRelativeHeadersAgainstThePreviousNode) {
    const auto parsed = parse_line("SENS:FREQ 2.4 GHz;AVER:COUN 4,2 ; *OPC?;:UNIT:POW W;POW?");
    ASSERT_FALSE(parsed.error);
    ASSERT_EQ(parsed.messages.size(), 5u);
    EXPECT_EQ(joined(parsed.messages[0].nodes), "SENS:FREQ");
    EXPECT_EQ(parsed.messages[0].parameters, (std::vector<std::string>{"2.4 GHz"}));
    EXPECT_EQ(joined(parsed.messages[1].nodes), "SENS:AVER:COUN");
    EXPECT_EQ(parsed.messages[1].parameters, (std::vector<std::string>{"4", "2"}));
    EXPECT_TRUE(parsed.messages[2].common);
    EXPECT_TRUE(parsed.messages[2].query);
    EXPECT_EQ(joined(parsed.messages[3].nodes), "UNIT:POW");
    EXPECT_EQ(joined(parsed.messages[4].nodes), "UNIT:POW"); // the common command kept the path
    EXPECT_TRUE(parsed.messages[4].query);
}

TEST(ScpiSyntax, QuotedParametersKeepTheirSeparators) {
    const auto parsed = parse_line("SYST:TEXT \"a;b,c\",'d'");
    ASSERT_FALSE(parsed.error);
    ASSERT_EQ(parsed.messages.size(), 1u);
    EXPECT_EQ(parsed.messages[0].parameters, (std::vector<std::string>{"\"a;b,c\"", "'d'"}));
}

TEST(ScpiSyntax, ABadMessageEndsTheLineAfterTheGoodOnesBeforeIt) {
    const struct {
        const char *line;
        std::size_t good;
        int code;
    } cases[] = {
        {"*IDN?;MEAS::POW?;*RST", 1, -102},
        {"FREQ 1;FR$Q?", 1, -102},
        {"?", 0, -102},
        {"*I2N?", 0, -102},
        {"FREQ 1,,2", 0, -102},
        {"SYST:TEXT \"open", 0, -150},
        {"ABCDEFGHIJKLMN?", 0, -112},
    };
    for (const auto &c : cases) {
        const auto parsed = parse_line(c.line);
        ASSERT_TRUE(parsed.error) << c.line;
        EXPECT_EQ(parsed.error->code, c.code) << c.line;
        EXPECT_EQ(parsed.messages.size(), c.good) << c.line;
    }
    EXPECT_TRUE(parse_line("  ;; ").messages.empty());
    EXPECT_FALSE(parse_line("  ;; ").error);
}

TEST(ScpiSyntax, PatternsMatchShortAndLongFormsAnyCaseWithOptionalNodes) {
    const struct {
        const char *line;
        const char *pattern;
        bool match;
    } cases[] = {
        {"MEAS:POW?", "MEASure[:SCALar][:POWer][:AC]?", true},
        {"measure:scalar:power:ac?", "MEASure[:SCALar][:POWer][:AC]?", true},
        {"Meas?", "MEASure[:SCALar][:POWer][:AC]?", true},
        {"MEAS:POW", "MEASure[:SCALar][:POWer][:AC]?", false},   // not a query
        {"MEASU:POW?", "MEASure[:SCALar][:POWer][:AC]?", false}, // neither form
        {"SENS1:FREQ 1", "[SENSe]:FREQuency[:CW]", true},        // channel 1
        {"SENS2:FREQ 1", "[SENSe]:FREQuency[:CW]", false},
        {"FREQ:CW 1", "[SENSe]:FREQuency[:CW]", true},
        {"*idn?", "*IDN?", true},
        {"*IDN", "*IDN?", false},
        {"SYST:ERR?", "SYSTem:ERRor[:NEXT]?", true},
        {"SYST:ERR:NEXT?", "SYSTem:ERRor[:NEXT]?", true},
        {"SYST:ERR:COUN?", "SYSTem:ERRor[:NEXT]?", false},
    };
    for (const auto &c : cases) {
        const auto parsed = parse_line(c.line);
        ASSERT_EQ(parsed.messages.size(), 1u) << c.line;
        EXPECT_EQ(pattern_matches(c.pattern, parsed.messages[0]), c.match)
            << c.line << " against " << c.pattern;
    }
}

TEST(ScpiValues, NumbersWithSuffixesAndSpecialValues) {
    using rfsense::scpi::NumericKind;
    using rfsense::scpi::parse_numeric;
    using rfsense::scpi::Quantity;
    const struct {
        const char *text;
        Quantity quantity;
        double value;
        bool watts;
    } accepted[] = {
        {"2.4GHZ", Quantity::kFrequency, 2.4e9, false},
        {"100 khz", Quantity::kFrequency, 1e5, false},
        {"+5e7", Quantity::kFrequency, 5e7, false},
        {"50MHz", Quantity::kFrequency, 50e6, false},
        {"-3.5 DB", Quantity::kDecibel, -3.5, false},
        {"98.5PCT", Quantity::kPercent, 98.5, false},
        {"-20DBM", Quantity::kPower, -20.0, false},
        {"10 uW", Quantity::kPower, 1e-5, true},
        {".5", Quantity::kPlain, 0.5, false},
    };
    for (const auto &c : accepted) {
        const auto value = parse_numeric(c.text, c.quantity);
        ASSERT_TRUE(value) << c.text;
        EXPECT_EQ(value->kind, NumericKind::kNumber) << c.text;
        EXPECT_NEAR(value->value, c.value, std::abs(c.value) * 1e-12) << c.text;
        EXPECT_EQ(value->in_watts, c.watts) << c.text;
    }
    EXPECT_EQ(parse_numeric("max", Quantity::kFrequency)->kind, NumericKind::kMaximum);
    EXPECT_EQ(parse_numeric("MINimum", Quantity::kPercent)->kind, NumericKind::kMinimum);
    EXPECT_EQ(parse_numeric("DEF", Quantity::kDecibel)->kind, NumericKind::kDefault);
    for (const char *text :
         {"nan", "inf", "-inf", "1e999", "", "GHZ", "1 2", "5XHZ", "+-1", "1DBM", "0x10", "MAXI"})
        EXPECT_FALSE(parse_numeric(text, Quantity::kFrequency)) << text;
}

TEST(ScpiValues, RepliesAndBooleans) {
    using rfsense::scpi::nr3;
    EXPECT_EQ(nr3(-10.0), "-1.000000E+01");
    EXPECT_EQ(nr3(1.23456789e-4), "1.234568E-04");
    EXPECT_EQ(nr3(9.91e37), "9.910000E+37");
    using rfsense::scpi::parse_boolean;
    EXPECT_EQ(parse_boolean("ON"), true);
    EXPECT_EQ(parse_boolean("off"), false);
    EXPECT_EQ(parse_boolean("1"), true);
    EXPECT_EQ(parse_boolean("0"), false);
    EXPECT_FALSE(parse_boolean("ONCE"));
    EXPECT_FALSE(parse_boolean("yes"));
}

} // namespace
