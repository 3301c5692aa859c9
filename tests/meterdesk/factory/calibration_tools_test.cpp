// The calibration support dialogs against the simulated sensor: date stamps, diode data,
// temperature compensation, linearity correction, and the filter and averaging settings.
#include "meterdesk/factory/averaging_lengths.h"
#include "meterdesk/factory/calibration_dates.h"
#include "meterdesk/factory/date_stamps_box.h"
#include "meterdesk/factory/diode_serial_box.h"
#include "meterdesk/factory/filo_size_box.h"
#include "meterdesk/factory/filter_settings_box.h"
#include "meterdesk/factory/lin_cor_box.h"
#include "meterdesk/factory/temp_comp_box.h"
#include "meterdesk/factory/whole_number.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include <fstream>

namespace {

using namespace meterdesk_test;
using meterdesk::DialogAction;
using Kind = UiCall::Kind;

constexpr meterdesk::TakeoverTiming kQuickTakeover{std::chrono::milliseconds(5),
                                                   std::chrono::milliseconds(3000)};

std::string sim_get(const char *key) {
    std::string value(1 << 16, '\0');
    const int length = rfsim_get(0, key, value.data(), static_cast<int>(value.size()));
    EXPECT_GE(length, 0) << rfsim_error();
    value.resize(static_cast<std::size_t>(std::max(length, 0)));
    return value;
}

std::tm year(int y) {
    std::tm date{};
    date.tm_year = y - 1900;
    date.tm_mon = 5;
    date.tm_mday = 1;
    return date;
}

TEST(CalibrationDates, RealCalendarDatesFrom2007ToThisYear) {
    struct Case {
        const char *code;
        const char *shown;
    } const cases[] = {
        {"310207", "< Not set yet >"},                                // 31 February
        {"150611", "15-06-2011"},                                     // after 2010, still a stamp
        {"290208", "29-02-2008"},                                     // leap year
        {"290209", "< Not set yet >"}, {"310406", "< Not set yet >"}, // before 2007 and 31 April
        {"010107", "01-01-2007"},      {"311226", "31-12-2026"},
        {"010127", "< Not set yet >"}, // after the current year
        {"001207", "< Not set yet >"}, // day 0
        {"011307", "< Not set yet >"}, // month 13
        {"000000", "< Not set yet >"}, // the sensor's unset stamp
        {"15061", "< Not set yet >"},  {"15o611", "< Not set yet >"},
        {"", "< Not set yet >"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(meterdesk::date_code_text(c.code, 2026), c.shown) << c.code;
}

TEST(CalibrationDates, TcdFileDate) {
    EXPECT_EQ(meterdesk::tcd_date_text(false, ""), "No TCD file");
    EXPECT_EQ(meterdesk::tcd_date_text(true, "12031"), "< Not set yet >");
    EXPECT_EQ(meterdesk::tcd_date_text(true, "12O312"), "< Not set yet >");
    EXPECT_EQ(meterdesk::tcd_date_text(true, "120312"), "12-03-2012");
}

TEST(WholeNumber, OnlyWholeDecimalNumbersWithinTheEdit) {
    using meterdesk::whole_number;
    EXPECT_EQ(whole_number(" 999 ", 10), 999);
    EXPECT_EQ(whole_number("+12", 10), 12);
    EXPECT_EQ(whole_number("-3", 10), -3);
    for (const char *bad :
         {"", "  ", "12.5", "1e3", "12abc", "0x10", "++1", "99999999999999999999"})
        EXPECT_FALSE(whole_number(bad, 24)) << bad;
    EXPECT_FALSE(whole_number("12345678901", 10)); // longer than the edit is read
}

class CalibrationToolsTest : public SettingsTest {
  protected:
    std::vector<UiCall> messages(std::size_t mark) { return ui.of_kind(Kind::message, mark); }

    // The library's nine filter settings.
    std::array<std::int32_t, 9> library_filters() {
        std::array<std::int32_t, 9> settings{};
        meterdesk::SensorLease lease(state);
        EXPECT_EQ(SensorFilterSettingsQuery(lease.get(), settings.data()), 1);
        return settings;
    }
};

TEST_F(CalibrationToolsTest, DateStampsFromTheSensorAndTheTcdFile) {
    connect(model_keys(3)); // RX4LO, firmware 4.7: the linearity stamp too
    set("stamp.eq", "150611");
    set("stamp.cf", "310207");
    set("stamp.lc", "290224");
    std::ofstream(home.path() / "tcd.dat") << "010312 rest of the tables";
    FakeControls controls({1711, 1712, 1713, 1714, 1715});
    meterdesk::DateStampsDialog dialog(state, kQuickTakeover, [] { return year(2026); });
    dialog.open(controls);
    EXPECT_EQ(controls.text(1711), "15-06-2011");
    EXPECT_EQ(controls.text(1712), "< Not set yet >");
    EXPECT_EQ(controls.text(1714), "29-02-2024");
    EXPECT_EQ(controls.text(1713), "01-03-2012");
    EXPECT_EQ(dialog.clicked(controls, 1715), DialogAction::kClose);
    EXPECT_TRUE(eventually([&] { return state.live_readout_enabled.load(); }));
}

TEST_F(CalibrationToolsTest, DateStampsOfOtherModelsAndOldFirmware) {
    connect(model_keys(1));
    set("stamp.lc", "010110");
    FakeControls controls({1711, 1712, 1713, 1714, 1715});
    meterdesk::DateStampsDialog dialog(state, kQuickTakeover, [] { return year(2026); });
    dialog.open(controls);
    EXPECT_EQ(controls.text(1714), "n/a");
    EXPECT_EQ(controls.text(1713), "No TCD file");

    connect(model_keys(3) + "identity = USB SENSOR V2.9\n");
    ASSERT_EQ(state.firmware_number, 29);
    dialog.open(controls);
    EXPECT_EQ(controls.text(1711), "Unknown");
    EXPECT_EQ(controls.text(1712), "Unknown");
    EXPECT_EQ(controls.text(1714), "n/a");
}

TEST_F(CalibrationToolsTest, DateStampsWithNoSensor) {
    FakeControls controls({1711, 1712, 1713, 1714, 1715});
    meterdesk::DateStampsDialog dialog(state, kQuickTakeover);
    dialog.open(controls);
    for (int id : {1711, 1712, 1714}) EXPECT_EQ(controls.text(id), "Unknown");
}

TEST_F(CalibrationToolsTest, DiodeDataGoesOutByteForByteAndReadsBack) {
    // In realistic timing the resumed reader sends "ADC?" at the filter's rate, so the sensor's
    // log of its last 256 commands still holds the diode bytes when the test reads it.
    connect("timing = realistic\n");
    FakeControls controls({1721, 1722, 1723, 1724});
    meterdesk::DiodeSerialDialog dialog(state, ui, kQuickTakeover);
    dialog.open(controls);
    EXPECT_EQ(controls.text(1721), "123456");
    EXPECT_EQ(controls.text(1722), "250");
    controls.set_text(1721, "654321");
    controls.set_text(1722, "999");
    const auto mark = ui.size();
    EXPECT_EQ(dialog.clicked(controls, 1723), DialogAction::kClose);
    const auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Diode Serial Number");
    EXPECT_EQ(shown[0].text, "CAUTION\n\nThis procedure will\nover-write the current\nserial "
                             "number and K-factor in EE.");
    EXPECT_EQ(sim_get("diode_serial"), "654321");
    EXPECT_EQ(sim_get("k_factor"), "999");
    // 654321 = 0x0009FBF1, 999 = 0x03E7, most significant byte first.
    const std::string commands = sim_get("commands");
    EXPECT_NE(commands.find("FX7\nDSN\\x00\\x09\\xFB\\xF1\nFX3\nK\\x03\\xE7\nDSN?\nK?"),
              std::string::npos)
        << commands;
    EXPECT_EQ(state.diode_serial, 654321);
    EXPECT_EQ(state.diode_k_factor, 999);
}

TEST_F(CalibrationToolsTest, DiodeDataRefusalsChangeNothing) {
    connect();
    FakeControls controls({1721, 1722, 1723, 1724});
    meterdesk::DiodeSerialDialog dialog(state, ui, kQuickTakeover);
    struct Case {
        const char *serial;
        const char *k;
        const char *caption;
        const char *text;
        int focus;
    } const cases[] = {
        {"99999", "1", "Diode Serial Number", "Valid serial numbers have 6 digits.", 1721},
        {"1000000", "1", "Diode Serial Number", "Valid serial numbers have 6 digits.", 1721},
        {"123456.7", "1", "Diode Serial Number", "Valid serial numbers have 6 digits.", 1721},
        {"123456", "1000", "Diode K-factor invlaid.", "Valid K-factor range 0 to 999.", 1722},
        {"123456", "-1", "Diode K-factor invlaid.", "Valid K-factor range 0 to 999.", 1722},
        {"123456", "12x", "Diode K-factor invlaid.", "Valid K-factor range 0 to 999.", 1722},
    };
    for (const auto &c : cases) {
        controls.set_text(1721, c.serial);
        controls.set_text(1722, c.k);
        const auto mark = ui.size();
        EXPECT_EQ(dialog.clicked(controls, 1723), DialogAction::kStay);
        const auto shown = messages(mark);
        ASSERT_EQ(shown.size(), 1u) << c.serial;
        EXPECT_EQ(shown[0].caption, c.caption);
        EXPECT_EQ(shown[0].text, c.text);
        EXPECT_EQ(controls.focus(), c.focus);
    }
    // Cancel in the caution box writes nothing.
    controls.set_text(1721, "111111");
    controls.set_text(1722, "1");
    ui.script_answer(MessageAnswer::kCancel);
    EXPECT_EQ(dialog.clicked(controls, 1723), DialogAction::kStay);
    EXPECT_EQ(sim_get("diode_serial"), "123456");
    EXPECT_EQ(sim_get("commands").find("DSN\\x"), std::string::npos);
}

TEST_F(CalibrationToolsTest, DiodeDataThatDoesNotReadBackIsReported) {
    connect("store_writes = ignored\n");
    FakeControls controls({1721, 1722, 1723, 1724});
    meterdesk::DiodeSerialDialog dialog(state, ui, kQuickTakeover);
    controls.set_text(1721, "222222");
    controls.set_text(1722, "7");
    const auto mark = ui.size();
    EXPECT_EQ(dialog.clicked(controls, 1723), DialogAction::kStay);
    const auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "The sensor did not store the diode data.\n\nWritten: serial number "
                             "222222, K-factor 7\nRead back: serial number 123456, K-factor 250");
    EXPECT_EQ(state.diode_serial, 123456);
}

TEST_F(CalibrationToolsTest, DiodeDataWithNoSensor) {
    FakeControls controls({1721, 1722, 1723, 1724});
    meterdesk::DiodeSerialDialog dialog(state, ui, kQuickTakeover);
    controls.set_text(1721, "222222");
    controls.set_text(1722, "7");
    EXPECT_EQ(dialog.clicked(controls, 1723), DialogAction::kStay);
    const auto shown = messages(0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "No sensor connected.");
    EXPECT_EQ(state.diode_serial, 0);
}

TEST_F(CalibrationToolsTest, TemperatureCompensationNeedsAZeroAndAPeriodInRange) {
    connect();
    FakeControls controls({1731, 1732, 1733, 1734, 1735, 1736, 1737});
    meterdesk::TempCompDialog dialog(state, ui);
    state.temp_comp_active = false;
    dialog.open(controls);
    EXPECT_FALSE(controls.checked(1731));
    EXPECT_FALSE(controls.enabled(1736));
    EXPECT_EQ(controls.text(1733), "5");

    controls.set_checked(1731, true);
    auto mark = ui.size();
    dialog.clicked(controls, 1731);
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].text, "Zero sensor first.");
    EXPECT_EQ(messages(mark)[0].caption, "Temperature Compensation");
    EXPECT_FALSE(controls.checked(1731));
    EXPECT_FALSE(state.temp_comp_active);

    state.zero_done = true;
    controls.set_checked(1731, true);
    dialog.clicked(controls, 1731);
    EXPECT_TRUE(state.temp_comp_active);
    EXPECT_TRUE(controls.enabled(1736));
    dialog.clicked(controls, 1736);
    const auto lines = controls.items(1737);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_TRUE(lines[0].starts_with("Power = ")) << lines[0];
    EXPECT_TRUE(lines[2].starts_with("Z1 = ")) << lines[2];
    EXPECT_TRUE(lines[6].starts_with("Correction = ")) << lines[6];

    for (const char *bad : {"0", "61", "5.5", ""}) {
        controls.set_text(1733, bad);
        mark = ui.size();
        EXPECT_EQ(dialog.clicked(controls, 1734), DialogAction::kStay) << bad;
        ASSERT_EQ(messages(mark).size(), 1u);
        EXPECT_EQ(messages(mark)[0].caption, "Temperature Period");
        EXPECT_EQ(messages(mark)[0].text, "Valid period range: 1 seconds to 60 seconds");
    }
    EXPECT_EQ(state.temp_comp_period_s, 5);
    controls.set_text(1733, "60");
    controls.set_checked(1732, true);
    dialog.clicked(controls, 1732);
    EXPECT_EQ(dialog.clicked(controls, 1734), DialogAction::kClose);
    EXPECT_EQ(state.temp_comp_period_s, 60);
    EXPECT_TRUE(state.temp_comp_beep);
}

TEST_F(CalibrationToolsTest, LinearityCorrectionOnTheBandModel) {
    connect(model_keys(3) + "frequency_hz = 15e9\n");
    FakeControls controls({1741, 1742, 1743, 1744});
    meterdesk::LinCorDialog dialog(state, ui);
    dialog.open(controls);
    EXPECT_TRUE(controls.checked(1741));
    dialog.clicked(controls, 1742);
    EXPECT_EQ(controls.items(1744),
              (std::vector<std::string>{"No correction being applied.", "Frequency < 12GHz."}));
    {
        meterdesk::SensorLease lease(state);
        SensorFrequency(lease.get(), 15e9);
    }
    ASSERT_TRUE(eventually([&] {
        dialog.clicked(controls, 1742);
        return controls.items(1744).size() == 7;
    }));
    const auto lines = controls.items(1744);
    EXPECT_TRUE(lines[1].starts_with("Frequency between ")) << lines[1];
    EXPECT_TRUE(lines[6].ends_with("dBm")) << lines[6];

    controls.set_checked(1741, false);
    dialog.clicked(controls, 1741);
    EXPECT_FALSE(state.lin_cor_active);
    EXPECT_FALSE(controls.enabled(1742));
}

TEST_F(CalibrationToolsTest, LinearityCorrectionWithoutATable) {
    connect(model_keys(3) + "lin = absent\n");
    FakeControls controls({1741, 1742, 1743, 1744});
    meterdesk::LinCorDialog dialog(state, ui);
    dialog.open(controls);
    EXPECT_FALSE(controls.checked(1741));
    controls.set_checked(1741, true);
    const auto mark = ui.size();
    dialog.clicked(controls, 1741);
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].caption, "Sensor Linearity Correction");
    EXPECT_EQ(messages(mark)[0].text, "No linearity correction data loaded.");
    EXPECT_FALSE(controls.checked(1741));
    EXPECT_FALSE(state.lin_cor_active);
}

TEST_F(CalibrationToolsTest, FiloLengthsAreCheckedBeforeAnyIsSent) {
    connect();
    const auto before = library_filters();
    state.zero_done = true;
    FakeControls controls({1751, 1752, 1753, 1754, 1755});
    meterdesk::FiloSizeDialog dialog(state, ui);
    dialog.open(controls);
    EXPECT_EQ(controls.text(1751), std::to_string(before[6]));
    for (const char *third : {"1001", "0", "12.5", "many"}) {
        controls.set_text(1751, "1000");
        controls.set_text(1752, "1");
        controls.set_text(1753, third);
        const auto mark = ui.size();
        EXPECT_EQ(dialog.clicked(controls, 1754), DialogAction::kStay);
        ASSERT_EQ(messages(mark).size(), 1u);
        EXPECT_EQ(messages(mark)[0].caption, "Filter Settings (FILO)");
        EXPECT_EQ(messages(mark)[0].text, "Valid FILO range = 1 to 1000");
        EXPECT_EQ(controls.focus(), 1753);
        EXPECT_EQ(library_filters(), before);
        EXPECT_TRUE(state.zero_done);
    }
    controls.set_text(1753, "77");
    EXPECT_EQ(dialog.clicked(controls, 1754), DialogAction::kClose);
    const auto after = library_filters();
    EXPECT_EQ(after[6], 1000);
    EXPECT_EQ(after[7], 1);
    EXPECT_EQ(after[8], 77);
    EXPECT_EQ(state.filter_settings[8], 77);
    EXPECT_FALSE(state.zero_done);
}

TEST_F(CalibrationToolsTest, FilterAndGainGoOutWhenChosen) {
    connect();
    FakeControls controls({1761, 1762, 1763, 1764, 1765, 1766, 1767, 1768, 1769, 1773, 1774, 1775});
    meterdesk::FilterSettingsDialog dialog(state, ui);
    dialog.open(controls);
    EXPECT_EQ(controls.items(1764)[3], "62,5Hz");
    EXPECT_EQ(controls.items(1764).size(), 15u);
    EXPECT_EQ(controls.selection(1765), state.filter_settings[4]);
    EXPECT_TRUE(controls.checked(1773));
    controls.set_selection(1765, 3);
    dialog.chosen(controls, 1765);
    controls.set_selection(1763, 0);
    dialog.chosen(controls, 1763);
    const auto settings = library_filters();
    EXPECT_EQ(settings[4], 3);
    EXPECT_EQ(settings[2], 0);
    EXPECT_EQ(state.filter_settings[4], 3);
    controls.set_checked(1773, false);
    dialog.clicked(controls, 1773);
    EXPECT_FALSE(state.step_detect_on);
    controls.set_text(1767, "5");
    EXPECT_EQ(dialog.clicked(controls, 1774), DialogAction::kClose);
    EXPECT_EQ(library_filters()[6], 5);
}

TEST_F(CalibrationToolsTest, DiodeDataInRealisticTimingAtFortyDegrees) {
    connect("timing = realistic\nlatency_ms = 2\ntemperature_c = 40\nnoise_uv = 3\n");
    FakeControls controls({1721, 1722, 1723, 1724});
    meterdesk::DiodeSerialDialog dialog(state, ui, kQuickTakeover);
    controls.set_text(1721, "500001");
    controls.set_text(1722, "0");
    EXPECT_EQ(dialog.clicked(controls, 1723), DialogAction::kClose);
    EXPECT_EQ(sim_get("diode_serial"), "500001");
    EXPECT_EQ(state.diode_k_factor, 0);
    EXPECT_TRUE(eventually([&] { return state.live_readout_enabled.load(); }));
}

} // namespace
