// Writing a cal-factor table into the simulated sensor: the stored "CFT>" area byte for byte,
// the legacy FRCF fields, the date stamp and its retry, the reports of a write that never
// took or left a damaged table, the firmware guard, and the reader resumed on every path.
#include "meterdesk/factory/cf_table_programming.h"
#include "meterdesk/factory/date_stamp.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/sensor_takeover.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using namespace meterdesk_test;
using meterdesk::CfProgramOutcome;
using meterdesk::CfTableSource;
using Kind = UiCall::Kind;

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

std::string hex(const std::string &bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char h[4];
        std::snprintf(h, sizeof h, "%02X", c);
        out += h;
    }
    return out;
}

std::string le32(std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

std::string single(double factor) {
    const float f = static_cast<float>(factor);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    return le32(bits);
}

// The "CFT>" area as the sensor must hold it: header, singles, checksum from 283.
std::string stored_area(const std::vector<double> &factors, int points) {
    std::string data;
    for (int i = 0; i < points; ++i) data += single(factors[static_cast<std::size_t>(i)]);
    std::uint32_t sum = 283;
    for (unsigned char c : data) sum += c;
    return "CFT>" + data + le32(sum);
}

std::vector<double> sample_factors() {
    std::vector<double> factors(46);
    for (std::size_t i = 0; i < factors.size(); ++i)
        factors[i] = 0.9 + 0.0037 * static_cast<double>(i);
    factors[20] = 0.99851;
    factors[21] = 1.001;
    return factors;
}

class CfTableProgrammingTest : public SettingsTest {
  protected:
    CfProgramOutcome program(const std::vector<double> &factors,
                             CfTableSource source = CfTableSource::kEdited) {
        meterdesk::SensorTakeover takeover(state, {5ms, 3000ms});
        EXPECT_TRUE(takeover);
        return meterdesk::write_cf_table(state, ui, takeover.sensor(), factors, source,
                                         march_5_2006());
    }

    // A query of the application's own, with the reader parked.
    std::string query(const std::string &command) {
        meterdesk::SensorLease lease(state);
        char reply[128] = {};
        SensorComms(lease.get(), 0);
        SensorMessage(lease.get(), command.data(), static_cast<int32_t>(command.size()));
        SensorMessageQuery(lease.get(), reply);
        SensorComms(lease.get(), 1);
        return reply;
    }

    // The library's reader and the measurement loop run again: a new reading is drawn.
    bool readings_resume() {
        const auto mark = ui.size();
        return ui.wait_for(Kind::repaint, 2, static_cast<int>(RepaintRequest::kLiveReadout), mark);
    }

    std::vector<UiCall> messages(std::size_t mark) { return ui.of_kind(Kind::message, mark); }

    // The write with the reader parked first, so that a fault set here counts the write's
    // own commands: 1 is the first command the write sends.
    CfProgramOutcome program_with_fault(const std::vector<double> &factors, const char *fault) {
        meterdesk::SensorTakeover takeover(state, {5ms, 3000ms});
        EXPECT_TRUE(takeover);
        SensorComms(takeover.sensor(), 0);
        set("fault", fault);
        const auto outcome = meterdesk::write_cf_table(state, ui, takeover.sensor(), factors,
                                                       CfTableSource::kEdited, march_5_2006());
        set("fault", "none");
        SensorComms(takeover.sensor(), 1);
        return outcome;
    }

    CfProgramOutcome program_measured(const std::vector<meterdesk::MeasuredCfRow> &rows) {
        meterdesk::SensorTakeover takeover(state, {5ms, 3000ms});
        EXPECT_TRUE(takeover);
        return meterdesk::write_measured_cf_table(state, ui, takeover.sensor(), rows,
                                                  march_5_2006());
    }
};

std::vector<meterdesk::MeasuredCfRow> measured_rows(int count) {
    std::vector<meterdesk::MeasuredCfRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({std::to_string(i + 1) + "GHz", 0.95 + 0.001 * i});
    return rows;
}

std::string read_text(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(CfTableProgrammingTest, StoredTableReadsBackByteForByteAndIsStamped) {
    connect(model_keys(3)); // RX4LO, firmware 4.7: 30 points in the stored table
    ASSERT_EQ(state.firmware_number, 47);
    const auto factors = sample_factors();
    const auto mark = ui.size();
    EXPECT_EQ(program(factors), CfProgramOutcome::kWritten);
    EXPECT_TRUE(messages(mark).empty());
    EXPECT_EQ(sim_get("area.cft"), hex(stored_area(factors, 30)));
    EXPECT_EQ(sim_get("stamp.cf"), "050306");
    EXPECT_TRUE(readings_resume());
}

TEST_F(CfTableProgrammingTest, AWriteThatNeverTookIsReportedAndNotStamped) {
    connect(model_keys(1) + "store_writes = ignored\n");
    const std::string before = sim_get("area.cft");
    const auto mark = ui.size();
    EXPECT_EQ(program(sample_factors()), CfProgramOutcome::kFailed);
    const auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Cal Factor Table");
    EXPECT_EQ(shown[0].text, "FLASH write failed.\n\nNothing was written to the sensor.");
    EXPECT_EQ(shown[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(sim_get("area.cft"), before);
    EXPECT_EQ(sim_get("stamp.cf"), "");
    EXPECT_TRUE(readings_resume());
}

TEST_F(CfTableProgrammingTest, ADamagedTableIsReportedAsSuch) {
    connect(model_keys(2));
    set("fault", "corrupt@1"); // the first store write: the header
    const auto mark = ui.size();
    EXPECT_EQ(program(sample_factors()), CfProgramOutcome::kFailed);
    const auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "FLASH write failed.\n\nThe sensor's stored table is incomplete: until it is "
              "written again it uses 100 % at every frequency.");
    EXPECT_FALSE(state.programming_done);
    EXPECT_TRUE(readings_resume());
}

TEST_F(CfTableProgrammingTest, LegacyFieldsOnOlderFirmwareAreReadBack) {
    connect(model_keys(0) + "identity = USB SENSOR V4.4\n"); // RX1: 22 points, 5 commands
    ASSERT_EQ(state.firmware_number, 44);
    const auto factors = sample_factors();
    EXPECT_EQ(program(factors), CfProgramOutcome::kWritten);
    for (int k = 1; k <= 5; ++k) {
        std::string fields;
        for (int j = 0; j < 5; ++j) {
            const int point = 5 * (k - 1) + j;
            fields += point < 22
                          ? meterdesk::legacy_cf_field(factors[static_cast<std::size_t>(point)],
                                                       CfTableSource::kEdited)
                          : std::string("1000");
        }
        EXPECT_EQ(query("FRCF" + std::to_string(k) + "?\n"), fields + "\n") << k;
    }
    // The fifth command: points 20 and 21, then three fields "1000".
    EXPECT_EQ(query("FRCF5?\n"), "09981001100010001000\n");
    EXPECT_EQ(sim_get("stamp.cf"), "050306");

    // A legacy write that never took does not pass either.
    set("store_writes", "ignored");
    auto changed = factors;
    changed[0] = 1.2;
    const auto mark = ui.size();
    EXPECT_EQ(program(changed), CfProgramOutcome::kFailed);
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].text, "FLASH write failed.\n\nNothing was written to the sensor.");
}

TEST_F(CfTableProgrammingTest, FirmwareBeforeThreeKeepsNoStamp) {
    connect(model_keys(0) + "identity = USB SENSOR V2.9\n");
    EXPECT_EQ(program(sample_factors()), CfProgramOutcome::kWritten);
    EXPECT_EQ(sim_get("stamp.cf"), "");
}

TEST_F(CfTableProgrammingTest, AStampThatDoesNotReadBackAsksUntilTheUserGivesUp) {
    connect(model_keys(3) + "store_writes = stamps_ignored\n");
    int asked = 0;
    ui.on_message([&](const UiCall &) -> std::optional<MessageAnswer> {
        return ++asked < 2 ? MessageAnswer::kOk : MessageAnswer::kCancel;
    });
    const auto factors = sample_factors();
    const auto mark = ui.size();
    EXPECT_EQ(program(factors), CfProgramOutcome::kWrittenUnstamped);
    const auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 2u);
    for (const UiCall &call : shown) {
        EXPECT_EQ(call.caption, "Writing EE Date Stamp Failed");
        EXPECT_EQ(call.text, "Wrote 050306\n Received 000000\n\nClick OK to retry.");
        EXPECT_EQ(call.buttons, MessageButtons::kOkCancel);
    }
    EXPECT_EQ(sim_get("area.cft"), hex(stored_area(factors, 30))) << "the table is in";
    EXPECT_TRUE(readings_resume());
}

TEST_F(CfTableProgrammingTest, TheQuestionAndTheFirmwareGuardComeBeforeTheSensor) {
    connect(model_keys(4) + "identity = USB SENSOR V4.4\n");
    auto mark = ui.size();
    ui.script_answer(MessageAnswer::kCancel);
    EXPECT_EQ(meterdesk::confirm_cf_table_programming(state, ui), CfProgramOutcome::kCancelled);
    auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Frequency/Cal Factor Table");
    EXPECT_EQ(shown[0].text,
              "This action will permanently\nover-write existing table\nin sensor EE.");
    EXPECT_EQ(shown[0].buttons, MessageButtons::kOkCancel);

    mark = ui.size();
    EXPECT_EQ(meterdesk::confirm_cf_table_programming(state, ui), CfProgramOutcome::kRefused);
    shown = messages(mark);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, "Frequency/Cal Factor Table");
    EXPECT_EQ(shown[1].text, "RX5L requires FW Rev 4.5 min.");

    mark = ui.size();
    EXPECT_EQ(meterdesk::confirm_cf_table_programming(state, ui, false),
              CfProgramOutcome::kRefused);
    EXPECT_EQ(messages(mark).size(), 1u) << "no question, the guard's message only";

    connect(model_keys(5));
    mark = ui.size();
    EXPECT_EQ(meterdesk::confirm_cf_table_programming(state, ui, false),
              CfProgramOutcome::kRefused);
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].text,
              "This sensor has no cal factor table.\nNothing was written to the sensor.");
}

// The pre-read of RX3LOKAN's area is "MI3", "MR4" header, 22 points and the checksum (25
// commands); the write then sends "MI3" (26), "FX6" (27), "MWCFT>" (28), "FX6" (29), point 1 (30).
TEST_F(CfTableProgrammingTest, ASensorLostDuringTheWriteIsReportedAsUnchecked) {
    connect(model_keys(2));
    for (const char *fault : {"unplug@30", "silent@30"}) {
        SCOPED_TRACE(fault);
        const auto mark = ui.size();
        EXPECT_EQ(program_with_fault(sample_factors(), fault), CfProgramOutcome::kFailed);
        const auto shown = messages(mark);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "FLASH write failed.\n\nThe sensor stopped answering: what it "
                                 "now holds could not be checked.");
        EXPECT_EQ(sim_get("stamp.cf"), "");
        set("plugged", "1");
        ASSERT_TRUE(wait_measuring());
    }
}

TEST_F(CfTableProgrammingTest, ALegacyWriteCutShortSaysWhichPointsHoldTheNewFactors) {
    connect(model_keys(0) + "identity = USB SENSOR V4.4\n"); // RX1: 22 points, 5 commands
    // The pre-read is "FRCF1?" .. "FRCF5?" (1-5); "FRCF1" + fields is 6, "FRCF3" + fields 8.
    std::vector<double> factors(46, 0.97);
    auto mark = ui.size();
    EXPECT_EQ(program_with_fault(factors, "unplug@8"), CfProgramOutcome::kFailed);
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].text, "FLASH write failed.\n\nThe sensor stopped answering: "
                                      "what it now holds could not be checked.");
    set("plugged", "1");
    ASSERT_TRUE(wait_measuring());
    EXPECT_EQ(query("FRCF2?\n"), "09700970097009700970\n");
    EXPECT_NE(query("FRCF3?\n"), "09700970097009700970\n");

    // The third command stored with one digit changed: its first point, point 11.
    factors.assign(46, 0.96);
    mark = ui.size();
    {
        meterdesk::SensorTakeover takeover(state, {5ms, 3000ms});
        SensorComms(takeover.sensor(), 0);
        set("fault", "corrupt@8");
        EXPECT_EQ(meterdesk::write_cf_table(state, ui, takeover.sensor(), factors,
                                            CfTableSource::kEdited, march_5_2006()),
                  CfProgramOutcome::kFailed);
        SensorComms(takeover.sensor(), 1);
    }
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].text,
              "FLASH write failed.\n\nPoints 1 to 10, 12 to 22 hold the new factors; the "
              "others keep their previous ones.\nPoint 11 holds neither the new nor the previous "
              "factor.");
}

TEST_F(CfTableProgrammingTest, FactorsTheSensorCannotHoldAreRefusedBeforeAnythingIsSent) {
    connect(model_keys(1)); // RX2LOKAN: 16 points
    struct Case {
        std::vector<double> factors;
        const char *text;
    };
    std::vector<double> high(46, 1.0), nan(46, 1.0);
    high[3] = 1.505;
    nan[0] = std::nan("");
    const Case cases[] = {
        {high, "The cal factor of point 4 is outside 50 to 150 %.\nNothing was written to the "
               "sensor."},
        {nan, "The cal factor of point 1 is outside 50 to 150 %.\nNothing was written to the "
              "sensor."},
        {std::vector<double>(15, 1.0),
         "The table holds 15 points; this sensor needs 16.\nNothing was written to the sensor."},
    };
    const std::string area = sim_get("area.cft");
    for (const Case &c : cases) {
        const auto mark = ui.size();
        EXPECT_EQ(program(c.factors), CfProgramOutcome::kRefused);
        ASSERT_EQ(messages(mark).size(), 1u);
        EXPECT_EQ(messages(mark)[0].text, c.text);
        EXPECT_EQ(messages(mark)[0].caption, "Frequency/Cal Factor Table");
    }
    EXPECT_EQ(sim_get("area.cft"), area);
}

TEST_F(CfTableProgrammingTest, MeasuredTablesLeaveRecordFilesAndVaultCopies) {
    connect(model_keys(1) + "serial = RX100001\n");
    const auto rows = measured_rows(16);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(program_measured(rows), CfProgramOutcome::kWritten);
    const auto folder = home.path() / "Zyn Quorix Test" / "Cal Factors";
    const std::string record = read_text(folder / "RX100001.txt");
    const std::string head = "Zyn Quorix Model RX2LOKAN\nSerial Number RX100001\n"
                             "Calibrated 5 March 06\n\nFrequency   Cal Factor\n";
    EXPECT_EQ(record.substr(0, head.size()), head);
    EXPECT_NE(record.find("----------------------\n1GHz        95.0%\n2GHz        95.1%\n"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder / "Vault" / "RX100001 5 March 06.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder / "Vault" / "RX100001 5 March 06 (2).txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Vault" / "RX100001 5 March 06 (3).txt"));
    EXPECT_EQ(read_text(folder / "Vault" / "RX100001 5 March 06.txt"), record);
    EXPECT_EQ(sim_get("stamp.cf"), "050306");
    EXPECT_TRUE(state.programming_done);
}

TEST_F(CfTableProgrammingTest, RecordBrandFollowsTheSerialsFirstLetter) {
    const std::vector<meterdesk::MeasuredCfRow> rows = {{"50MHz", 0.998}};
    EXPECT_EQ(meterdesk::cf_record_text("XR0042", 3, rows, march_5_2006()).substr(0, 23),
              "Zyn Quorix Model RX4LO\n");
    EXPECT_EQ(meterdesk::cf_record_text("20612345", 3, rows, march_5_2006()).substr(0, 20),
              "Marrick Model 71326\n");
}

TEST_F(CfTableProgrammingTest, ARecordFileThatCannotBeWrittenIsReportedAndNotStamped) {
    connect(model_keys(1) + "serial = RX100001\n");
    const auto folder = home.path() / "Zyn Quorix Test" / "Cal Factors";
    std::filesystem::create_directories(folder / "RX100001.txt"); // a folder in the way
    const auto mark = ui.size();
    EXPECT_EQ(program_measured(measured_rows(16)), CfProgramOutcome::kWrittenUnstamped);
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_NE(messages(mark)[0].text.find("table was programmed, not stamped"), std::string::npos);
    EXPECT_NE(messages(mark)[0].text.find("RX100001"), std::string::npos);
    EXPECT_EQ(sim_get("stamp.cf"), "");
}

// In realistic timing the sensor's command log keeps the whole write: the commands in order.
class CfTableProgrammingSlow : public CfTableProgrammingTest {};

// The log's form of a command: printable ASCII as is, other bytes and the backslash as \xHH.
std::string logged(const std::string &bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char h[8];
            std::snprintf(h, sizeof h, "\\x%02X", c);
            out += h;
        }
    }
    return out;
}

TEST_F(CfTableProgrammingSlow, TheStoredTableCommandsInOrder) {
    connect(model_keys(1) + "timing = realistic\nlatency_ms = 1\n"); // RX2LOKAN: 16 points
    const auto factors = sample_factors();
    ASSERT_EQ(program(factors), CfProgramOutcome::kWritten);
    std::vector<std::string> lines;
    std::istringstream log(sim_get("commands"));
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    // The write starts with "MI3" and "FX6" (the table read at the connect has "MI3", "MR4").
    auto first = lines.begin();
    while (first != lines.end() &&
           !(*first == "MI3" && first + 1 != lines.end() && first[1] == "FX6"))
        ++first;
    ASSERT_NE(first, lines.end());

    std::vector<std::string> expected = {"MI3", "FX6", "MWCFT>"};
    std::uint32_t sum = 283;
    for (int i = 0; i < 16; ++i) {
        const std::string bytes = single(factors[static_cast<std::size_t>(i)]);
        for (unsigned char c : bytes) sum += c;
        expected.push_back("FX6");
        expected.push_back(logged("MW" + bytes));
    }
    expected.push_back("FX6");
    expected.push_back(logged("MW" + le32(sum)));
    expected.push_back("MI3");
    for (int i = 0; i < 18; ++i) expected.push_back("MR4");
    expected.insert(expected.end(), {"DACF050306", "DACF050306", "DACF?"});
    const std::vector<std::string> written(
        first, first + std::min<std::ptrdiff_t>(lines.end() - first,
                                                static_cast<std::ptrdiff_t>(expected.size())));
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(readings_resume());
}

} // namespace
