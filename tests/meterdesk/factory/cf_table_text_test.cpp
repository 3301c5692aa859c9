// How a frequency/cal-factor table is listed and labelled, the points of each model, the
// legacy fields of both sources and the date code.
#include "meterdesk/factory/cf_table_programming.h"
#include "meterdesk/factory/cf_table_text.h"
#include "meterdesk/factory/date_stamp.h"

#include <gtest/gtest.h>

namespace {

using meterdesk::CfTableSource;

TEST(CfTableText, LinesAndLabelsByFrequencyAndModel) {
    const struct {
        double hz;
        int model;
        const char *line;
        const char *label;
    } cases[] = {
        {9e3, 0, "9KHz\t99.5%", "9KHz"},          {500e3, 0, "500KHz\t99.5%", "500KHz"},
        {999.9e3, 0, "999KHz\t99.5%", "999KHz"}, // cut, not rounded
        {2.5e6, 0, "2.5MHz\t99.5%", "2.5MHz"},    {5e6, 0, "5.0MHz\t99.5%", "5.0MHz"},
        {10e6, 0, "10MHz\t99.5%", "10.0MHz"},     {50e6, 0, "50MHz\t99.5%", "50.0MHz"},
        {50e6, 3, "50MHz\t99.5%", "50MHz"},       {5e6, 3, "5MHz\t99.5%", "5MHz"},
        {999.99e6, 2, "999MHz\t99.5%", "999MHz"}, {1e9, 3, "1.0GHz\t99.5%", "1.0GHz"},
        {26.5e9, 3, "26.5GHz\t99.5%", "26.5GHz"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(meterdesk::cf_table_line(c.hz, 0.995, c.model), c.line) << c.hz;
        EXPECT_EQ(meterdesk::cf_table_frequency_label(c.hz, c.model), c.label) << c.hz;
    }
    EXPECT_EQ(meterdesk::cf_table_line(1e9, 1.2345, 1), "1.0GHz\t123.4%");
}

TEST(CfTableText, PointsAndLegacyCommandsOfEachModel) {
    const int points[] = {22, 16, 22, 30, 44, 0, 0};
    const int commands[] = {5, 4, 5, 6, 0, 0, 0};
    for (int model = 0; model < 7; ++model) {
        EXPECT_EQ(meterdesk::cf_table_points(model), points[model]) << model;
        EXPECT_EQ(meterdesk::legacy_cf_commands(model), commands[model]) << model;
    }
    const std::vector<double> frequencies = {1e9, 2e9, 3e9};
    const std::vector<double> factors = {1.0, 0.99, 0.98};
    EXPECT_EQ(meterdesk::cf_table_lines(frequencies, factors, 2, 3),
              (std::vector<std::string>{"1.0GHz\t100.0%", "2.0GHz\t99.0%"}));
}

TEST(CfTableText, LegacyFieldsOfEditedAndMeasuredTables) {
    const struct {
        double factor;
        CfTableSource source;
        const char *field;
    } cases[] = {
        {0.99851, CfTableSource::kMeasured, "0999"}, // rounded half up
        {0.99849, CfTableSource::kMeasured, "0998"},
        {0.9985, CfTableSource::kMeasured, "0999"},
        {0.99851, CfTableSource::kEdited, "0998"}, // cut after adding 0.0001
        {1.001, CfTableSource::kEdited, "1001"},   // 1000.9999...: the 0.0001 keeps it whole
        {0.95, CfTableSource::kEdited, "0950"},
        {54.8 * 0.01, CfTableSource::kEdited, "0548"}, // as the editor's "Enter" stores 54.8 %
        {1.2, CfTableSource::kEdited, "1200"},
        {0.5, CfTableSource::kEdited, "0500"},
        {12.0, CfTableSource::kEdited, "9999"}, // never more than four digits
        {-1.0, CfTableSource::kEdited, "0000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(meterdesk::legacy_cf_field(c.factor, c.source), c.field) << c.factor;
}

TEST(CfTableText, DateCodeIsDayMonthYear) {
    std::tm date{};
    date.tm_mday = 5;
    date.tm_mon = 2;
    date.tm_year = 106;
    EXPECT_EQ(meterdesk::date_code(date), "050306");
    date.tm_mday = 31;
    date.tm_mon = 11;
    date.tm_year = 124;
    EXPECT_EQ(meterdesk::date_code(date), "311224");
}

} // namespace
