// SensorInit against the simulated sensor: device selection, result codes and their precedence,
// identification, cal-factor loading (stored and legacy), the data-folder files and start-up
// that ends when the sensor stops answering.
#include "rfsense/rfsense.h"
#include "rfsense/sim_session.h"
#include "rfsim/rfsim.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace rfsense_test;

std::array<double, 13> equation_of(SensorRecord *record) {
    std::array<double, 13> e{};
    EXPECT_EQ(SensorEquationPrams(record, e.data()), 1);
    return e;
}

std::array<double, 46 * 7> temp_comp_table_of(SensorRecord *record) {
    std::array<double, 46 * 7> t{};
    EXPECT_EQ(SensorTempCompGetTable(record, t.data()), 1);
    return t;
}

bool all_zero(const std::array<double, 46 * 7> &t) {
    for (double v : t)
        if (v != 0.0) return false;
    return true;
}

struct CfTable {
    int32_t count = 0;
    std::array<double, 46> frequencies{};
    std::array<double, 46> factors{};
};

CfTable cf_table_of(SensorRecord *record) {
    CfTable t;
    EXPECT_EQ(SensorFreqCfTableQuery(record, &t.count, t.frequencies.data(), t.factors.data()), 1);
    return t;
}

// The simulated sensor's own equation: the library's defaults with E0 raised by 0.1.
std::array<double, 13> simulated_equation() {
    auto e = default_equation;
    e[0] += 0.1;
    return e;
}

struct ResultCase {
    const char *name;
    const char *config; // keys of the one [device]
    bool tcd_file;      // a good "tcd.dat" in the data folder
    int32_t result;
};

void PrintTo(const ResultCase &c, std::ostream *os) {
    *os << c.name;
}

class InitResult : public ::testing::TestWithParam<ResultCase> {};

TEST_P(InitResult, ReportsTheLastFailingLoad) {
    const ResultCase &c = GetParam();
    DataFolder data;
    if (c.tcd_file) data.write("tcd.dat", tcd_file());
    configure_bus(std::string("[device]\n") + c.config);
    Session session;
    EXPECT_EQ(session.init(), c.result);
    const bool open = c.result != 0 && c.result != SENSOR_NOT_RESPONDING;
    ASSERT_EQ(session.connected(), open);
    if (!open) return;

    // Every failed load leaves its default in use.
    const std::string config = c.config;
    const CfTable cf = cf_table_of(session.get());
    if (config.find("cft = bad_checksum") != std::string::npos)
        for (int i = 0; i < cf.count; ++i) EXPECT_EQ(cf.factors[i], 1.0) << i;
    else
        EXPECT_NE(cf.factors[0], 1.0);
    const bool bad_equation = config.find("equation_checksum = bad") != std::string::npos;
    EXPECT_EQ(equation_of(session.get()), bad_equation ? default_equation : simulated_equation());
    const bool no_tcd = config.find("tcd = bad_checksum") != std::string::npos ||
                        (config.find("tcd = absent") != std::string::npos && !c.tcd_file);
    EXPECT_EQ(all_zero(temp_comp_table_of(session.get())), no_tcd);
    std::array<double, 160> lin{};
    const bool no_lin = config.find("lin = bad_checksum") != std::string::npos ||
                        config.find("lin = absent") != std::string::npos;
    EXPECT_EQ(SensorLinCorGetTable(session.get(), lin.data()),
              no_lin ? SENSOR_NO_LINEARITY_TABLE : 1);
}

const ResultCase result_cases[] = {
    {"healthy", "", false, 1},
    {"ready_after_reset", "ready = after_reset\n", false, 1},
    {"never_ready", "ready = never\n", false, SENSOR_NOT_RESPONDING},
    {"cal_factor_checksum", "cft = bad_checksum\n", false, SENSOR_CAL_FACTOR_TABLE_ERROR},
    {"equation_checksum", "equation_checksum = bad\n", false, SENSOR_EQUATION_DEFAULTS},
    {"tcd_checksum", "tcd = bad_checksum\n", false, SENSOR_TCD_CHECKSUM},
    {"seven_column_tcd", "tcd = 7\n", false, 1},
    {"no_tcd_no_file", "tcd = absent\n", false, SENSOR_TCD_FILE_MISSING},
    {"no_tcd_with_file", "tcd = absent\n", true, 1},
    {"linearity_checksum", "lin = bad_checksum\n", false, SENSOR_LINEARITY_CHECKSUM},
    {"no_linearity_table", "lin = absent\n", false, 1},
    // Several failures: the one checked last wins (order 6, 5, 23/18/19, 24).
    {"cft_then_equation", "cft = bad_checksum\nequation_checksum = bad\n", false, 5},
    {"equation_then_tcd", "equation_checksum = bad\ntcd = bad_checksum\n", false, 23},
    {"cft_then_tcd_file", "cft = bad_checksum\ntcd = absent\n", false, 18},
    {"equation_then_linearity", "equation_checksum = bad\nlin = bad_checksum\n", false, 24},
    {"tcd_then_linearity", "tcd = bad_checksum\nlin = bad_checksum\n", false, 24},
    {"all_but_linearity", "cft = bad_checksum\nequation_checksum = bad\ntcd = bad_checksum\n",
     false, 23},
};

INSTANTIATE_TEST_SUITE_P(Codes, InitResult, ::testing::ValuesIn(result_cases),
                         [](const auto &test) { return std::string(test.param.name); });

// The stored table's rows skip the 25 'C column; both forms must land on the same temperatures.
TEST(SensorInit, StoredTempCompFormsPlaceEachTemperatureInItsColumn) {
    std::array<std::array<double, 46 * 7>, 2> tables{};
    const char *forms[] = {"7", "10"};
    for (size_t f = 0; f < 2; ++f) {
        SCOPED_TRACE(forms[f]);
        configure_bus(std::string("[device]\ntcd = ") + forms[f] + "\n");
        Session session;
        ASSERT_EQ(session.init(), 1);
        tables[f] = temp_comp_table_of(session.get());
    }
    // Columns: 7-column form 0, 10, 20, 25, 30, 40, 50 'C; the first seven of the 10-column form
    // -15, -10, -5, 0, 10, 20, 25 'C.
    for (size_t row = 0; row < 46; ++row) {
        SCOPED_TRACE(row);
        const double *seven = &tables[0][row * 7];
        const double *ten = &tables[1][row * 7];
        EXPECT_EQ(seven[3], 0.0);
        EXPECT_EQ(ten[6], 0.0);
        for (size_t c = 0; c < 3; ++c) EXPECT_EQ(seven[c], ten[c + 3]); // 0, 10, 20 'C
        for (size_t c = 0; c < 6; ++c) EXPECT_LT(ten[c], 0.0);   // the simulated sensor reads
        for (size_t c = 4; c < 7; ++c) EXPECT_GT(seven[c], 0.0); // low below 25 'C, high above
    }
}

TEST(SensorInit, WrongTcdSectionGivesNineteen) {
    DataFolder data;
    data.write("tcd.dat", tcd_file({124, 185, 999, 400, 7510})); // model 3's mark is wrong
    configure_bus("[device]\ntcd = absent\n");
    Session session;
    EXPECT_EQ(session.init(), SENSOR_TCD_FILE_NO_SECTION);
    EXPECT_TRUE(session.connected());
    EXPECT_TRUE(all_zero(temp_comp_table_of(session.get())));
}

TEST(SensorInit, TcdFileFillsTheModelsSection) {
    DataFolder data;
    data.write("tcd.dat", tcd_file());
    // Firmware below 4.0 reads the file even though the sensor holds a table.
    configure_bus("[device]\nidentity = USB SENSOR V3.9\n");
    Session session;
    ASSERT_EQ(session.init(), 1);
    const auto table = temp_comp_table_of(session.get());
    EXPECT_DOUBLE_EQ(table[0], tcd_value(2, 0, 0)); // RX4LO is model 3: the third section
    EXPECT_DOUBLE_EQ(table[45 * 7 + 6], tcd_value(2, 45, 6));
}

TEST(SensorInit, NoDeviceGivesZeroAndALaterCallFindsTheSensor) {
    // An attached bridge of another kind is closed and skipped; an unplugged sensor is absent.
    configure_bus("[device]\nkind = other\n[device]\nplugged = 0\n");
    Session session;
    EXPECT_EQ(session.init(), 0);
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(session.init(), 0);

    set_key(1, "plugged", "1");
    EXPECT_EQ(session.init(), 1);
    EXPECT_TRUE(session.connected());
}

TEST(SensorInit, TakesTheLowestNumberedSensor) {
    configure_bus("[device]\nkind = other\n"
                  "[device]\nserial = RX111111\n"
                  "[device]\nserial = RX222222\n");
    Session session;
    ASSERT_EQ(session.init(), 1);
    char serial[20] = {};
    char model[28] = {};
    ASSERT_EQ(SensorDetails(session.get(), serial, model), 1);
    EXPECT_STREQ(serial, "RX111111");
    EXPECT_STREQ(model, "RX4LO (10MHz to 26.5GHz)");
}

TEST(SensorInit, NamesTheModelInTheBrandOfTheSerial) {
    struct Case {
        const char *description;
        const char *serial;
        const char *model_text;
    };
    const Case cases[] = {
        {"USB Power Sensor RX1", "RX100001", "RX1 (9KHz to 8GHz)"},
        {"USB Power Sensor 71340", "M4000001", "71340 (10MHz to 40GHz)"},
        {"USB Power Sensor RX2LOKAN", "X0000001", "RX2LOKAN (10MHz to 12.4GHz)"},
        {"USB Power Sensor 71318", "Q0000001", "71318 (10MHz to 18.5GHz)"},
        {"USB Power Sensor RQ9", "Q0000001", "UNKNOWN SENSOR"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        DataFolder data;
        data.write("tcd.dat", tcd_file());
        configure_bus(std::string("[device]\ndescription = ") + c.description +
                      "\nserial = " + c.serial + "\n");
        Session session;
        EXPECT_GE(session.init(), 1);
        char serial[20] = {};
        char model[28] = {};
        ASSERT_EQ(SensorDetails(session.get(), serial, model), 1);
        EXPECT_STREQ(model, c.model_text);
        EXPECT_STREQ(serial, std::string(c.model_text) == "UNKNOWN SENSOR" ? "RXZ0000" : c.serial);
    }
}

TEST(SensorInit, GenericBridgeOpensAsModelSixWithDefaults) {
    configure_bus("[device]\ndescription = USB <-> Serial\nserial = FT123456\n");
    Session session;
    EXPECT_GE(session.init(), 1);
    ASSERT_TRUE(session.connected());
    char serial[20] = {};
    char model[28] = {};
    ASSERT_EQ(SensorDetails(session.get(), serial, model), 1);
    EXPECT_STREQ(serial, "RXZ0000");
    EXPECT_STREQ(model, "UNKNOWN SENSOR");
    double cf = 0;
    ASSERT_EQ(SensorCfQuery(session.get(), &cf), 1);
    EXPECT_EQ(cf, 1.0);
    EXPECT_EQ(equation_of(session.get()), default_equation);
    int32_t diode = -1;
    int32_t k = -1;
    ASSERT_EQ(SensorDiodeSN_K(session.get(), &diode, &k), 1);
    EXPECT_EQ(diode, 0); // the simulated bridge would answer 123456 and 250
    EXPECT_EQ(k, 0);
}

TEST(SensorInit, ReadsIdentityFirmwareAndDiodeData) {
    struct Case {
        const char *identity;
        int32_t k; // firmware below 2.0 has no K factor
    };
    for (const Case c : {Case{"USB SENSOR V4.7", 321}, Case{"USB SENSOR V1.9", 0}}) {
        SCOPED_TRACE(c.identity);
        DataFolder data;
        data.write("tcd.dat", tcd_file());
        configure_bus(std::string("[device]\nidentity = ") + c.identity +
                      "\ndiode_serial = 4242\nk_factor = 321\n");
        Session session;
        ASSERT_EQ(session.init(), 1);
        char text[20] = {};
        ASSERT_EQ(SensorFW_Revision(session.get(), text), 1);
        EXPECT_STREQ(text, c.identity);
        int32_t diode = 0;
        int32_t k = -1;
        ASSERT_EQ(SensorDiodeSN_K(session.get(), &diode, &k), 1);
        EXPECT_EQ(diode, 4242);
        EXPECT_EQ(k, c.k);
    }
}

TEST(SensorInit, IdentityIsBoundedToItsField) {
    // Longer than the field, and longer than the reply buffer as well.
    for (size_t length : {40u, 150u}) {
        SCOPED_TRACE(length);
        const std::string identity = "USB SENSOR V4.7 " + std::string(length - 16, 'Z');
        configure_bus("[device]\nidentity = " + identity + "\n");
        Session session;
        EXPECT_EQ(session.init(), 1); // the rest of start-up is not thrown off
        char text[64];
        std::memset(text, '#', sizeof text);
        ASSERT_EQ(SensorFW_Revision(session.get(), text), 1);
        EXPECT_EQ(std::string(text), identity.substr(0, 19));
    }
}

// Stored table from firmware 4.5 on; firmware 4.4 uses the legacy queries even with a table.
TEST(SensorInit, CalFactorsStoredOrLegacyByFirmware) {
    struct Case {
        const char *identity;
        double first;
    };
    const Case cases[] = {
        {"USB SENSOR V4.5", static_cast<double>(1.0123f)},
        {"USB SENSOR V4.4", 1012 * 0.001},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.identity);
        configure_bus(std::string("[device]\nidentity = ") + c.identity +
                      "\ncal_factors = 1.0123 0.95\n");
        Session session;
        ASSERT_EQ(session.init(), 1);
        const CfTable cf = cf_table_of(session.get());
        EXPECT_DOUBLE_EQ(cf.factors[0], c.first);
        EXPECT_NEAR(cf.factors[1], 0.95, 1e-6);
        double now = 0;
        ASSERT_EQ(SensorCfQuery(session.get(), &now), 1);
        EXPECT_NEAR(now, cf.factors[1], 1e-9); // 50 MHz is point 1 of RX4LO
    }
}

TEST(SensorInit, LegacyFactorsOutsideHalfToOneAndAHalfBecomeOne) {
    configure_bus("[device]\nidentity = USB SENSOR V4.4\n"
                  "cal_factors = 0.45 1.6 1.0 0.5 1.5 0.999\n");
    Session session;
    ASSERT_EQ(session.init(), 1);
    const CfTable cf = cf_table_of(session.get());
    const double expected[] = {1.0, 1.0, 1.0, 500 * 0.001, 1500 * 0.001, 999 * 0.001};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(cf.factors[i], expected[i]) << i;
}

// The legacy queries fill as many points as each model has; model 4 gets 1.0 from point 29.
TEST(SensorInit, LegacyFactorsFillEachModelsPoints) {
    struct Case {
        const char *description;
        int count;  // points reported by the table query
        int filled; // points the legacy queries give
    };
    const Case cases[] = {
        {"USB Power Sensor RX1", 22, 22},      {"USB Power Sensor RX2LOKAN", 16, 16},
        {"USB Power Sensor RX3LOKAN", 22, 22}, {"USB Power Sensor RX4LO", 30, 30},
        {"USB Power Sensor RX5L", 44, 29},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        std::string factors;
        for (int i = 0; i < 44; ++i) factors += std::to_string(0.9 + 0.001 * i) + " ";
        configure_bus(std::string("[device]\ndescription = ") + c.description +
                      "\nidentity = USB SENSOR V4.4\ncal_factors = " + factors + "\n");
        Session session;
        ASSERT_EQ(session.init(), 1);
        const CfTable cf = cf_table_of(session.get());
        ASSERT_EQ(cf.count, c.count);
        for (int i = 0; i < c.count; ++i) {
            if (i < c.filled)
                EXPECT_DOUBLE_EQ(cf.factors[i], (900 + i) * 0.001) << i;
            else
                EXPECT_EQ(cf.factors[i], 1.0) << i;
        }
    }
}

TEST(SensorInit, ModelFiveTakesItsBandFile) {
    configure_bus("[device]\ndescription = USB Power Sensor RX6\n");
    {
        DataFolder data;
        data.write("tessaline prams.txt", band_file());
        Session session;
        ASSERT_EQ(session.init(), 1);
        const auto e = equation_of(session.get());
        for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(e[i], band_value(0, i)) << i; // 75 GHz
        EXPECT_EQ(e[10], 0.0);
        EXPECT_EQ(e[11], 1.0);
        EXPECT_EQ(e[12], 1.0);
        EXPECT_TRUE(all_zero(temp_comp_table_of(session.get())));
        ASSERT_EQ(SensorFrequency(session.get(), 108e9), 1);
        EXPECT_DOUBLE_EQ(equation_of(session.get())[0], band_value(7, 0));
    }
    {
        // Without the file: result 5 and the default equation, also after a frequency change.
        DataFolder data;
        Session session;
        ASSERT_EQ(session.init(), SENSOR_EQUATION_DEFAULTS);
        EXPECT_EQ(equation_of(session.get()), default_equation);
        ASSERT_EQ(SensorFrequency(session.get(), 90e9), 1);
        EXPECT_EQ(equation_of(session.get()), default_equation);
    }
}

// Where the calibration files are looked for.
TEST(SensorInit, DataFolderFromPathOrEnvironment) {
    TempFolder root;
    const std::string chosen = (root.path() / "chosen").string();
    const std::string quorix = (root.path() / "quorix").string();
    const std::string marrick = (root.path() / "marrick").string();
    const std::string xdg = (root.path() / "xdg").string();
    const std::string home = (root.path() / "home").string();
    for (const std::string &folder : {chosen, quorix, marrick, xdg + "/Quorix", xdg + "/Marrick",
                                      home + "/.local/share/Quorix"})
        root.write(std::filesystem::relative(folder, root.path()).string() + "/tcd.dat",
                   tcd_file());

    struct Case {
        const char *name;
        const char *serial; // brand A: R or X first
        std::optional<std::string> path, quorix_home, marrick_home, xdg_home, home_folder;
    };
    const Case cases[] = {
        {"SensorPath", "RX100001", chosen, std::nullopt, std::nullopt, std::nullopt, "/nowhere"},
        {"QUORIX_HOME", "RX100001", std::nullopt, quorix, marrick, xdg, "/nowhere"},
        {"MARRICK_HOME", "M1000001", std::nullopt, quorix, marrick, xdg, "/nowhere"},
        {"XDG brand A", "XA00001", std::nullopt, std::nullopt, marrick, xdg, "/nowhere"},
        {"XDG brand B", "M1000001", std::nullopt, quorix, std::nullopt, xdg, "/nowhere"},
        {"HOME", "RX100001", std::nullopt, std::nullopt, std::nullopt, std::nullopt, home},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv q("QUORIX_HOME", c.quorix_home), m("MARRICK_HOME", c.marrick_home),
            x("XDG_DATA_HOME", c.xdg_home), h("HOME", c.home_folder);
        configure_bus(std::string("[device]\ntcd = absent\nserial = ") + c.serial + "\n");
        Session session;
        if (c.path) {
            ASSERT_EQ(SensorPath(session.get(), c.path->c_str()),
                      static_cast<int32_t>(c.path->size() + 1));
        }
        EXPECT_EQ(session.init(), 1); // found "tcd.dat"
    }
}

TEST(SensorInit, TooLongPathIsRefusedAndTheOldOneKept) {
    TempFolder folder;
    folder.write("tcd.dat", tcd_file());
    ScopedEnv q("QUORIX_HOME", std::string("/nowhere"));
    configure_bus("[device]\ntcd = absent\n");
    Session session;
    const std::string path = folder.path().string();
    ASSERT_EQ(SensorPath(session.get(), path.c_str()), static_cast<int32_t>(path.size() + 1));
    const std::string too_long = "/" + std::string(99, 'x');
    EXPECT_EQ(SensorPath(session.get(), too_long.c_str()), 0);
    const std::string fits = "/" + std::string(98, 'x');
    EXPECT_EQ(SensorPath(session.get(), nullptr), 0);
    EXPECT_EQ(session.init(), 1); // still the first folder
    EXPECT_EQ(SensorPath(session.get(), fits.c_str()), 100);
}

// A sensor that stops answering in the middle of start-up: SensorInit ends, the record is not
// connected, and a later call starts afresh.
TEST(SensorInit, SensorFallingSilentDuringStartUpEndsIt) {
    DataFolder data;
    configure_bus("[device]\ntiming = realistic\nlatency_ms = 20\n");
    std::atomic<bool> done{false};
    std::thread silencer([&] {
        // Once the cal-factor area is being read, the sensor stops answering.
        eventually([&] { return done || get_key(0, "commands").find("MI3") != std::string::npos; },
                   std::chrono::milliseconds(20000));
        set_key(0, "silent", "1");
    });
    Session session;
    const int32_t result = session.init();
    done = true;
    silencer.join();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(session.connected());
    char serial[20] = "unchanged";
    EXPECT_EQ(SensorDetails(session.get(), serial, nullptr), 0);

    set_key(0, "silent", "0");
    set_key(0, "timing", "fast");
    EXPECT_EQ(session.init(), 1);
    EXPECT_TRUE(session.connected());
}

TEST(SensorInit, AgainOnAnOpenSessionStartsItAfresh) {
    configure_bus("[device]\n");
    Session session;
    ASSERT_EQ(session.init(), 1);
    SensorForceDisconnect(session.get());
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(session.init(), 1);
    EXPECT_TRUE(session.connected());
    double volts = 0;
    EXPECT_EQ(SensorVolts(session.get(), &volts), 1);
}

} // namespace
