// SetupFile as text: the fifteen lines byte for byte, the family of each model, reading back
// every field, the header rule, LF-only files, whole lines, and the values a file may not bring.
#include "meterdesk/settings/setup_file.h"

#include "meterdesk/core/app_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using meterdesk::read_setup_text;
using meterdesk::SetupReading;
using meterdesk::SetupValues;
using Outcome = SetupReading::Outcome;

std::tm march_5_2006() {
    std::tm t{};
    t.tm_mday = 5;
    t.tm_mon = 2;
    t.tm_year = 106;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    return t;
}

// Every field away from its default, with halves that printf rounds to even.
SetupValues sample_values() {
    SetupValues v;
    v.meas_mode = 1217;
    v.meas_frequency_hz = 2.4e9;
    v.freq_units_mhz = false;
    v.cal_factor = 0.987654;
    v.cal_from_table = true;
    v.offset_db = -3.456;
    v.offset_enabled = true;
    v.duty_cycle_percent = 50.125;
    v.duty_cycle_enabled = false;
    v.resolution_places = 2;
    v.resolution_radio_id = 1286;
    v.relative_ref_db = -12.3456;
    v.relative_auto_set = false;
    v.maxmin_record = true;
    v.relative_enabled = true;
    v.display_setup = 2;
    v.info_panel_shown = true;
    v.meter_auto = false;
    v.readout_top = -25;
    v.meter_max_db = 33.333;
    v.meter_min_db = -45.678;
    v.meter_max_mw = 2154.4347;
    v.meter_min_mw = 0.00002;
    v.meter_unit_mw = 1000.0;
    v.meter_unit_index = 2;
    v.limit_high_db = 12.5;
    v.limit_low_db = -40.25;
    v.limits_beep = true;
    v.limits_enabled = true;
    v.trace_samples = 250;
    v.trace_period_s = 1.23;
    v.trace_period_in_seconds = false;
    v.trace_units = 1121;
    v.trace_autoscale = false;
    v.plot_min = -60.5;
    v.plot_max = 10.125;
    v.trace_temperature = true;
    v.trace_temp_autoscale = false;
    v.temp_min = 20.25;
    v.temp_max = 45.75;
    v.temp_comp_active = true;
    return v;
}

const char *const kGolden = "RX4LOKAN SETUP FILE *** DO NOT EDIT ***\r\n"
                            "5.3.06 at 14:07:09\r\n"
                            "1217\r\n"
                            "2400000000.000 0\r\n"
                            "0.988 1\r\n"
                            "-3.46 1\r\n"
                            "50.12 0\r\n"
                            "2 1286\r\n"
                            "-12.346 0 1 1\r\n"
                            "2 1 0 -25\r\n"
                            "33.33 -45.68 2154.4347 0.0000 1000.0000 2\r\n"
                            "12.50 -40.25 1 1\r\n"
                            "250 1.2 0 1121 0 -60.50 10.12\r\n"
                            "1 0 20.2 45.8\r\n"
                            "1\r\n";

TEST(SetupFile, WritesTheFifteenLinesByteForByte) {
    EXPECT_EQ(meterdesk::setup_file_text("RX4LOKAN", sample_values(), march_5_2006()), kGolden);
}

TEST(SetupFile, FamilyOfEachModel) {
    const char *const families[] = {"RX4LOKAN", "RX2LOKAN", "RX3LOKAN", "RX4LOKAN",
                                    "RX4LOKAN", "RX4LOKAN", "RX4LOKAN"};
    for (int model = 0; model < 7; ++model)
        EXPECT_EQ(meterdesk::setup_family_name(model), families[model]) << model;
}

TEST(SetupFile, ReadsBackEveryFieldAsWritten) {
    const SetupReading reading = read_setup_text(kGolden, "RX4LOKAN");
    ASSERT_EQ(reading.outcome, Outcome::kLoaded) << reading.problem;
    const SetupValues &v = reading.values;
    // The values as the formats keep them.
    EXPECT_EQ(v.meas_mode, 1217);
    EXPECT_EQ(v.meas_frequency_hz, 2.4e9);
    EXPECT_FALSE(v.freq_units_mhz);
    EXPECT_EQ(v.cal_factor, 0.988);
    EXPECT_TRUE(v.cal_from_table);
    EXPECT_EQ(v.offset_db, -3.46);
    EXPECT_TRUE(v.offset_enabled);
    EXPECT_EQ(v.duty_cycle_percent, 50.12);
    EXPECT_FALSE(v.duty_cycle_enabled);
    EXPECT_EQ(v.resolution_places, 2);
    EXPECT_EQ(v.resolution_radio_id, 1286);
    EXPECT_EQ(v.relative_ref_db, -12.346);
    EXPECT_FALSE(v.relative_auto_set);
    EXPECT_TRUE(v.maxmin_record);
    EXPECT_TRUE(v.relative_enabled);
    EXPECT_EQ(v.display_setup, 2);
    EXPECT_TRUE(v.info_panel_shown);
    EXPECT_FALSE(v.meter_auto);
    EXPECT_EQ(v.readout_top, -25);
    EXPECT_EQ(v.meter_max_db, 33.33);
    EXPECT_EQ(v.meter_min_db, -45.68);
    EXPECT_EQ(v.meter_max_mw, 2154.4347);
    EXPECT_EQ(v.meter_min_mw, 0.0);
    EXPECT_EQ(v.meter_unit_mw, 1000.0);
    EXPECT_EQ(v.meter_unit_index, 2);
    EXPECT_EQ(v.limit_high_db, 12.5);
    EXPECT_EQ(v.limit_low_db, -40.25);
    EXPECT_TRUE(v.limits_beep);
    EXPECT_TRUE(v.limits_enabled);
    EXPECT_EQ(v.trace_samples, 250);
    EXPECT_EQ(v.trace_period_s, 1.2) << "a period of 1.23 s is kept as 1.2";
    EXPECT_FALSE(v.trace_period_in_seconds);
    EXPECT_EQ(v.trace_units, 1121);
    EXPECT_FALSE(v.trace_autoscale);
    EXPECT_EQ(v.plot_min, -60.5);
    EXPECT_EQ(v.plot_max, 10.12);
    EXPECT_TRUE(v.trace_temperature);
    EXPECT_FALSE(v.trace_temp_autoscale);
    EXPECT_EQ(v.temp_min, 20.2);
    EXPECT_EQ(v.temp_max, 45.8);
    EXPECT_TRUE(v.temp_comp_active);

    // Written again, the same text.
    EXPECT_EQ(meterdesk::setup_file_text("RX4LOKAN", v, march_5_2006()), kGolden);
}

TEST(SetupFile, TheFirstLineMustNameTheFamilyAndSetupFile) {
    std::string text = kGolden;
    EXPECT_EQ(read_setup_text(text, "RX2LOKAN").outcome, Outcome::kWrongType);
    EXPECT_EQ(read_setup_text(text, "RX3LOKAN").outcome, Outcome::kWrongType);
    const struct {
        const char *first_line;
        Outcome outcome;
    } cases[] = {
        {"RX4LOKAN SETUP FILE", Outcome::kLoaded}, // the header alone
        {"RX4LOKAN SETUP FILE and more", Outcome::kLoaded},
        {"RX4LOKAN SETUP FIL", Outcome::kWrongType},
        {"RX4LOKAN  SETUP FILE", Outcome::kWrongType},
        {"rx4lokan SETUP FILE", Outcome::kWrongType},
        {"", Outcome::kWrongType},
    };
    for (const auto &c : cases) {
        text = std::string(c.first_line) +
               std::string(kGolden).substr(std::string(kGolden).find("\r\n"));
        EXPECT_EQ(read_setup_text(text, "RX4LOKAN").outcome, c.outcome) << c.first_line;
    }
    EXPECT_EQ(read_setup_text("", "RX4LOKAN").outcome, Outcome::kWrongType);
}

TEST(SetupFile, LfOnlyLinesSpacesAndMissingFields) {
    std::string lf = kGolden;
    for (std::size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n"))
        lf.erase(at, 1);
    const SetupReading lf_reading = read_setup_text(lf, "RX4LOKAN");
    ASSERT_EQ(lf_reading.outcome, Outcome::kLoaded) << lf_reading.problem;
    EXPECT_EQ(lf_reading.values.temp_max, 45.8);

    // Fields after several spaces, missing fields as 0, any number but 0 as a set flag.
    std::string text = kGolden;
    text.replace(text.find("-12.346 0 1 1"), 13, "-12.346  2");
    text.replace(text.find("\r\n1\r\n"), 5, "\r\n0.5\r\n");
    const SetupReading reading = read_setup_text(text, "RX4LOKAN");
    ASSERT_EQ(reading.outcome, Outcome::kLoaded) << reading.problem;
    EXPECT_EQ(reading.values.relative_ref_db, -12.346);
    // Each field starts after the next space: after the first of the two spaces comes " 2",
    // after the second "2"; then there is no space left.
    EXPECT_TRUE(reading.values.relative_auto_set);
    EXPECT_TRUE(reading.values.maxmin_record);
    EXPECT_FALSE(reading.values.relative_enabled) << "missing: 0";
    EXPECT_TRUE(reading.values.temp_comp_active) << "0.5 is not 0";
}

TEST(SetupFile, LongLinesAreReadWhole) {
    SetupValues v = sample_values();
    v.meter_max_mw = 1e12; // 120 dBm: line 11 is longer than 49 characters
    v.meter_min_mw = 123456789.5;
    v.plot_min = -123456789012.25;
    v.plot_max = 987654321098.75;
    const std::string text = meterdesk::setup_file_text("RX4LOKAN", v, march_5_2006());
    const SetupReading reading = read_setup_text(text, "RX4LOKAN");
    ASSERT_EQ(reading.outcome, Outcome::kLoaded) << reading.problem;
    EXPECT_EQ(reading.values.meter_max_mw, 1e12);
    EXPECT_EQ(reading.values.meter_unit_mw, 1000.0);
    EXPECT_EQ(reading.values.meter_unit_index, 2);
    EXPECT_EQ(reading.values.plot_max, 987654321098.75);
    EXPECT_EQ(reading.values.limit_high_db, 12.5) << "the next line is not shifted";
}

TEST(SetupFile, ValuesTheProgramCannotShowAreRefusedWithTheirLine) {
    const struct {
        const char *line_start; // the start of the line in the golden file, replaced by...
        const char *replacement;
        const char *problem;
    } cases[] = {
        {"250 1.2", "501 1.2", "Line 13: trace samples must be 10 to 500"},
        {"250 1.2", "9 1.2", "Line 13: trace samples must be 10 to 500"},
        {"250 1.2", "250 0.1", "Line 13: the trace period must be 0.2 to 900 seconds"},
        {"250 1.2 0 1121", "250 1.2 0 1123", "Line 13: the trace units must be 1120 to 1122"},
        {"33.33 -45.68 2154.4347 0.0000 1000.0000 2", "33.33 -45.68 2154.4347 0.0000 1000.0000 5",
         "Line 11: the meter unit must be 0 to 4"},
        {"33.33 -45.68 2154.4347 0.0000 1000.0000 2", "33.33 -45.68 2154.4347 0.0000 0 2",
         "Line 11: the meter unit size must be 0.001 to 1000000000"},
        {"33.33 -45.68", "nan -45.68", "Line 11: the meter maximum (dBm) must be a finite number"},
        {"1217\r\n", "1220\r\n", "Line 3: the measurement mode must be 1216 to 1219"},
        {"2 1286", "4 1286", "Line 8: the resolution must be 0 to 3"},
        {"2 1286", "2", "Line 8: the resolution button must be 1284 to 1287"},
        {"2 1 0 -25", "3 1 0 -25", "Line 10: the display setup must be 0 to 2"},
        {"2 1 0 -25", "2 1 0 10", "Line 10: the readout position must be 20, 0 or -25"},
        {"-3.46 1", "inf 1", "Line 6: the offset must be a finite number"},
        {"2400000000.000 0", "-nan 0", "Line 4: the frequency must be a finite number"},
    };
    for (const auto &c : cases) {
        std::string text = kGolden;
        const auto at = text.find(c.line_start);
        ASSERT_NE(at, std::string::npos) << c.line_start;
        text.replace(at, std::string(c.line_start).size(), c.replacement);
        const SetupReading reading = read_setup_text(text, "RX4LOKAN");
        EXPECT_EQ(reading.outcome, Outcome::kBadValue) << c.replacement;
        EXPECT_EQ(reading.problem, c.problem) << c.replacement;
    }
}

TEST(SetupFile, EveryLineMustBeThere) {
    std::string text = kGolden;
    for (int missing = 15; missing >= 3; --missing) {
        text.erase(text.rfind("\r\n", text.size() - 3) + 2); // drop the last line
        const SetupReading reading = read_setup_text(text, "RX4LOKAN");
        EXPECT_EQ(reading.outcome, Outcome::kBadValue) << missing;
        EXPECT_EQ(reading.problem, "Line " + std::to_string(missing) + " is missing");
    }
}

} // namespace
