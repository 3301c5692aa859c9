// The equation tools: the parameter listing, the Levmar files and the expanded fit check, the
// test exec settings file, and the save into the simulated sensor with its byte-for-byte
// read-back, the equation stamp and the state after a failed write.
#include "meterdesk/factory/equation_fit.h"
#include "meterdesk/factory/equation_save.h"
#include "meterdesk/factory/fit_archive.h"
#include "meterdesk/factory/test_exec_settings.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "meterdesk/core/sensor_takeover.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace meterdesk_test;
using meterdesk::EquationPrams;
using Kind = UiCall::Kind;

const EquationPrams kDefault = {
    0.351422075,   46.998511431, -0.16739752, 38.918840708, 0.658688612,  -0.145810701, 1.992628645,
    -49.534820177, 0.975122284,  0.890270701, -0.147695445, -4.224442247, 0.505367444};

std::tm march_5_2006() {
    std::tm date{};
    date.tm_mday = 5;
    date.tm_mon = 2;
    date.tm_year = 106;
    return date;
}

std::string sim_get(const char *key) {
    std::string value(1 << 16, '\0');
    const int length = rfsim_get(0, key, value.data(), static_cast<int>(value.size()));
    EXPECT_GE(length, 0) << rfsim_error();
    value.resize(static_cast<std::size_t>(std::max(length, 0)));
    return value;
}

void write_file(const std::filesystem::path &file, const std::string &text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string read_file(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Levels from -25 dBm up in 1 dB steps, with the voltages the equation gives for them (found
// by bisection), so that a fit with the same parameters passes.
std::string levels_text(int count, const EquationPrams &e) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const double dbm = -25.0 + i;
        double lo = -6.0, hi = 1.0;
        for (int k = 0; k < 200; ++k) {
            const double mid = (lo + hi) / 2;
            (meterdesk::equation_power(e, std::pow(10.0, mid)) < dbm ? lo : hi) = mid;
        }
        char line[64];
        std::snprintf(line, sizeof line, "%.3f   %.9g\n", dbm, std::pow(10.0, lo));
        text += line;
    }
    return text;
}

std::string fit_output(const EquationPrams &e, bool four_part) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "fit\n\n  %.12g %.12g %.12g\n\n %.12g %.12g %.12g %.12g\n\n%.12g %.12g %.12g\n",
                  e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8], e[9]);
    std::string out = text;
    if (four_part) {
        std::snprintf(text, sizeof text, "\n%.12g %.12g %.12g\n", e[10], e[11], e[12]);
        out += text;
    }
    return out;
}

TEST(EquationListing, GroupsAndNumberForms) {
    EquationPrams e = kDefault;
    e[0] = 2.5e6;
    const auto lines = meterdesk::equation_pram_lines(e);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0], "Polynomial");
    EXPECT_EQ(lines[1], "Pram  1 = 2.500000e+06");
    EXPECT_EQ(lines[2], "Pram  2 = 46.9985114310   ");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Hyperbola");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], "Gauss (1)");
    EXPECT_EQ(lines[16], "Gauss (2)");
    EXPECT_EQ(lines[19], "Pram 13 = 0.5053674440    ");
}

class EquationFiles : public ::testing::Test {
  protected:
    ScratchFolder home;
    ScopedEnv quorix_home{"QUORIX_HOME", home.path().string()};
    std::filesystem::path levmar() { return meterdesk::levmar_folder(); }
};

TEST_F(EquationFiles, LevelsExpandToFourNMinusThreePointsUpTo46) {
    write_file(levmar() / "data_to_fit.dat", levels_text(46, kDefault));
    auto read = meterdesk::read_levels(levmar() / "data_to_fit.dat");
    ASSERT_TRUE(read.value) << read.error;
    EXPECT_EQ(meterdesk::expand_levels(*read.value).size(), 181u);

    write_file(levmar() / "data_to_fit.dat", levels_text(10, kDefault));
    read = meterdesk::read_levels(levmar() / "data_to_fit.dat");
    ASSERT_TRUE(read.value);
    const auto expanded = meterdesk::expand_levels(*read.value);
    ASSERT_EQ(expanded.size(), 37u);
    EXPECT_DOUBLE_EQ(expanded[2].dbm, -24.5);
    EXPECT_NEAR(expanded[2].volts, std::sqrt(expanded[0].volts * expanded[4].volts), 1e-15);

    write_file(levmar() / "data_to_fit.dat", levels_text(47, kDefault));
    read = meterdesk::read_levels(levmar() / "data_to_fit.dat");
    EXPECT_EQ(read.error, "More than 46 levels in " + (levmar() / "data_to_fit.dat").string());
}

TEST_F(EquationFiles, UnusableLevelsNameTheirLine) {
    const auto file = levmar() / "data_to_fit.dat";
    struct Case {
        const char *text;
        const char *error;
    };
    const Case cases[] = {
        {"-25 0.001\n-24 x\n", ", line 2: not a number"},
        {"-25 0.001\n-24 0\n", ", line 2: the voltage is not above 0"},
        {"-25 0.001\n", ", line 1: fewer than 2 levels"},
        {"-25\n-24 0.002\n", ", line 1: a power and a voltage are needed"},
    };
    for (const Case &c : cases) {
        write_file(file, c.text);
        EXPECT_EQ(meterdesk::read_levels(file).error, file.string() + c.error) << c.text;
    }
    EXPECT_EQ(meterdesk::read_levels(levmar() / "none.dat").error,
              "Can't open " + (levmar() / "none.dat").string());
}

TEST_F(EquationFiles, FitOutputInBothForms) {
    write_file(levmar() / "fn_dn_ou.dat", fit_output(kDefault, true));
    auto read = meterdesk::read_fit_output(levmar() / "fn_dn_ou.dat", true);
    ASSERT_TRUE(read.value) << read.error;
    for (std::size_t i = 0; i < 13; ++i) EXPECT_NEAR((*read.value)[i], kDefault[i], 1e-11);

    write_file(levmar() / "fn_dn_ou.dat", fit_output(kDefault, false));
    read = meterdesk::read_fit_output(levmar() / "fn_dn_ou.dat", false);
    ASSERT_TRUE(read.value) << read.error;
    EXPECT_EQ((*read.value)[10], 0.0);
    EXPECT_EQ((*read.value)[11], 1.0);
    EXPECT_EQ((*read.value)[12], 1.0);
    EXPECT_EQ(meterdesk::read_fit_output(levmar() / "fn_dn_ou.dat", true).error,
              (levmar() / "fn_dn_ou.dat").string() + ", line 8: the file ends early");
}

TEST_F(EquationFiles, TestExecSettingsFileBytesAndDefaults) {
    const meterdesk::TestExecSettings s{false, 0.125, 0.75, true};
    const auto file = meterdesk::test_exec_settings_file();
    ASSERT_TRUE(meterdesk::save_test_exec_settings(file, s));
    const std::string bytes = read_file(file);
    ASSERT_EQ(bytes.size(), 18u);
    // 0.125 = 0x3FC0000000000000, 0.75 = 0x3FE8000000000000, little-endian.
    EXPECT_EQ(bytes, std::string("\x00"
                                 "\x00\x00\x00\x00\x00\x00\xC0\x3F"
                                 "\x00\x00\x00\x00\x00\x00\xE8\x3F"
                                 "\x01",
                                 18));
    EXPECT_EQ(meterdesk::load_test_exec_settings(file), s);
    write_file(file, "short");
    EXPECT_EQ(meterdesk::load_test_exec_settings(file), meterdesk::TestExecSettings{});
    EXPECT_EQ(meterdesk::load_test_exec_settings(home.path() / "none"),
              meterdesk::TestExecSettings{});
}

class EquationSaveTest : public SettingsTest {
  protected:
    bool save(const EquationPrams &prams, bool from_fitter) {
        meterdesk::SensorTakeover takeover(state, {5ms, 3000ms});
        EXPECT_TRUE(takeover);
        return meterdesk::save_equation(state, ui, takeover.sensor(), prams, from_fitter,
                                        march_5_2006());
    }
    std::vector<UiCall> messages(std::size_t mark) { return ui.of_kind(Kind::message, mark); }
};

TEST_F(EquationSaveTest, AThreePartFitIsStoredWithItsFixedTermsAndStamped) {
    connect();
    write_file(meterdesk::levmar_folder() / "fn_dn_ou.dat", fit_output(kDefault, false));
    const auto prams = meterdesk::fitter_equation(ui, false);
    ASSERT_TRUE(prams);
    const auto mark = ui.size();
    EXPECT_TRUE(save(*prams, true));
    EXPECT_TRUE(messages(mark).empty());
    const auto stored = meterdesk::stored_equation(*prams);
    std::string hex;
    for (unsigned char b : stored.bytes) {
        char h[4];
        std::snprintf(h, sizeof h, "%02X", b);
        hex += h;
    }
    EXPECT_EQ(sim_get("area.eq").substr(0, 208), hex);
    // E10 = 0, E11 = 1, E12 = 1 as little-endian doubles.
    EXPECT_EQ(sim_get("area.eq").substr(160, 48),
              "0000000000000000000000000000F03F000000000000F03F");
    EXPECT_EQ(sim_get("stamp.eq"), "050306");
    EXPECT_TRUE(state.programming_done);

    // The current set (not the fitter's) is saved without a stamp.
    set("store_writes", "stamps_ignored");
    EquationPrams other = *prams;
    other[0] += 0.01;
    const auto before = ui.size();
    EXPECT_TRUE(save(other, false));
    EXPECT_TRUE(messages(before).empty()); // no stamp asked for, so no retry box either
}

TEST_F(EquationSaveTest, AFailedWriteSaysWhatTheSensorHolds) {
    connect();
    struct Case {
        const char *fault;
        const char *sentence;
    };
    const Case cases[] = {
        {"corrupt@1", "The sensor's stored equation is incomplete: until it is written again it "
                      "uses the default equation."},
    };
    for (const Case &c : cases) {
        set("fault", c.fault);
        const auto mark = ui.size();
        EXPECT_FALSE(save(kDefault, true));
        const auto shown = messages(mark);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, "Equation Save");
        EXPECT_EQ(shown[0].text, std::string("Sensor EE/FLASH write failed.\nChecksum wrong on "
                                             "read verify.\n\n") +
                                     c.sentence);
        EXPECT_EQ(sim_get("stamp.eq"), "");
        EXPECT_FALSE(state.programming_done);
        set("fault", "none");
    }
    set("store_writes", "ignored");
    auto mark = ui.size();
    EXPECT_FALSE(save(kDefault, true));
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_NE(messages(mark)[0].text.find("Nothing was written to the sensor."), std::string::npos);
}

TEST_F(EquationSaveTest, TheFitCheckForASaveShowsABadFit) {
    state.tes_check_limit_db = 0.01;
    state.tes_four_part = true;
    write_file(meterdesk::levmar_folder() / "data_to_fit.dat", levels_text(46, kDefault));
    EquationPrams off = kDefault;
    off[0] += 0.5;
    write_file(meterdesk::levmar_folder() / "fn_dn_ou.dat", fit_output(off, true));
    auto check = meterdesk::fit_check_for_save(state, ui);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->fails, 181);
    ASSERT_EQ(ui.message_texts().size(), 1u);
    EXPECT_EQ(ui.message_texts()[0].substr(0, 22), "Bad fit.\n181 fails\nwor");

    write_file(meterdesk::levmar_folder() / "fn_dn_ou.dat", fit_output(kDefault, true));
    const auto list = meterdesk::fit_check_listing(state, ui);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 3u + 181u);
    EXPECT_EQ((*list)[1].substr(0, 27), "0 Bad fit(s) , worst fit = ");
    EXPECT_EQ((*list)[3].substr(0, 8), "-25.000\t");
    const std::string file = read_file(meterdesk::levmar_folder() / "expanded_fit.txt");
    EXPECT_EQ(file.substr(0, 9), "-25.000  ");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 181);
}

} // namespace

namespace {

// The save in realistic timing, warm and with noise; the reading afterwards uses the new
// equation once the sensor is connected again.
class EquationSaveSlow : public EquationSaveTest {};

TEST_F(EquationSaveSlow, SaveInRealisticTimingReadsBack) {
    connect("timing = realistic\nlatency_ms = 1\ntemperature_c = 40\nnoise_uv = 5\n");
    EquationPrams prams = kDefault;
    prams[0] += 0.2;
    const auto mark = ui.size();
    EXPECT_TRUE(save(prams, true));
    EXPECT_TRUE(messages(mark).empty());
    EXPECT_EQ(sim_get("stamp.eq"), "050306");
}

} // namespace

namespace {

TEST_F(EquationFiles, ArchivedFitsGoToTheTestRootUnderTheSerialNumber) {
    ScopedEnv test_root{"QUORIX_TEST_ROOT", home.path().string()};
    write_file(levmar() / "fn_dn_ou.dat", "l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7 not archived\n");
    write_file(levmar() / "fn_result.dat", "report\n");
    EXPECT_EQ(meterdesk::archive_fit(false, "RX100001", false), 2);
    const auto root = home.path() / "Zyn Quorix Test";
    EXPECT_EQ(read_file(root / "Equation Parameters" / "RX100001.txt"),
              "l0\nl1\nl2\nl3\nl4\nl5\nl6\n1           1           0\n"
              "0                     1                 1\n");
    EXPECT_EQ(read_file(root / "Equation Fit" / "RX100001.txt"), "report\n");

    EXPECT_EQ(meterdesk::archive_fit(true, "20600001", true), 2);
    EXPECT_EQ(read_file(home.path() / "Marrick Test" / "Equation Parameters" / "20600001.txt"),
              "l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7 not archived\n");

    std::filesystem::remove(levmar() / "fn_dn_ou.dat");
    EXPECT_EQ(meterdesk::archive_fit(false, "RX100002", true), 0);
    EXPECT_FALSE(std::filesystem::exists(root / "Equation Fit" / "RX100002.txt"));
}

} // namespace
