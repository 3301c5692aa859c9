// Writing a cal-factor table into the simulated sensor: the stored "CFT>" area byte for byte,
// the legacy FRCF fields, the date stamp and its retry, the reports of a write that never
// took or left a damaged table, the firmware guard, and the reader resumed on every path.
#include "meterdesk/factory/cf_table_programming.h"
#include "meterdesk/factory/date_stamp.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/sensor_takeover.h"

#include <cstdio>
#include <cstring>
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
};

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
    EXPECT_EQ(shown[0].text, "FLASH write failed.\n\nThe sensor did not take the new table: it "
                             "still holds a complete table, but not the one written.");
    EXPECT_EQ(shown[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(sim_get("area.cft"), before);
    EXPECT_EQ(sim_get("stamp.cf"), "");
    EXPECT_TRUE(readings_resume());
}

TEST_F(CfTableProgrammingTest, ADamagedTableIsReportedAsSuch) {
    connect(model_keys(2) + "cft = bad_checksum\nstore_writes = ignored\n");
    const auto mark = ui.size();
    EXPECT_EQ(program(sample_factors()), CfProgramOutcome::kFailed);
    const auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "FLASH write failed.\n\nThe table in the sensor does not read back as written and "
              "is damaged: from the next connection every cal factor will be 100 %. Save the "
              "table again.");
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
    EXPECT_EQ(messages(mark)[0].text, "FLASH write failed.\n\nThe table in the sensor does not "
                                      "read back as written: it holds other factors than the "
                                      "ones sent.");
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
    EXPECT_TRUE(messages(mark).empty());
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
