// Firmware Download against the simulated sensor: the copy "temp.hex" and what the sensor
// received, the refusals that send nothing, a sensor that refuses, goes quiet or is pulled out
// at line N ("acknowledged N-1 of n", no hang), the reconnect afterwards, and the cancels.
#include "meterdesk/factory/firmware_download.h"
#include "meterdesk/factory/firmware_hex.h"
#include "meterdesk/support/meter_fixture.h"

#include "meterdesk/core/sensor_takeover.h"

#include <rfsense/rfsense.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using namespace meterdesk_test;
using meterdesk::FirmwareDownload;
using Kind = UiCall::Kind;

std::string sim_get(const char *key) {
    std::string value(1 << 20, '\0');
    const int length = rfsim_get(0, key, value.data(), static_cast<int>(value.size()));
    EXPECT_GE(length, 0) << rfsim_error();
    value.resize(static_cast<std::size_t>(std::max(length, 0)));
    return value;
}

std::string read_file(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::filesystem::path &path, const std::string &text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Data records from 0x0000 up, 16 bytes each, and the end record; CR LF line ends.
std::string hex_source(int data_records) {
    std::string text = ":020000040000FA\r\n";
    for (int i = 0; i < data_records; ++i) {
        const unsigned address = static_cast<unsigned>(16 * i);
        unsigned sum = 0x10 + (address >> 8) + (address & 0xFF);
        char line[64];
        std::snprintf(line, sizeof line, ":10%04X00", address);
        std::string record = line;
        for (int b = 0; b < 16; ++b) {
            record += "A5";
            sum += 0xA5;
        }
        std::snprintf(line, sizeof line, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += record + line;
    }
    return text + ":00000001FF\r\n";
}

// Calls a hook at each progress step: the download is then under way and the library's reader
// parked, so a fault set there counts the download's lines alone.
class SteppingUi : public FakeUi {
  public:
    std::function<void(int)> on_step;
    void progress_step(std::string_view resource_name) override {
        FakeUi::progress_step(resource_name);
        if (on_step) on_step(++steps_);
    }

  private:
    int steps_ = 0;
};

class FirmwareDownloadTest : public MeterTest {
  protected:
    void SetUp() override {
        configure("");
        start();
        ASSERT_TRUE(wait_measuring());
        source = app.path() / "Firmware" / "fw.hex";
    }

    // Runs the command with the file chosen and OK to the caution box; waits for the job.
    bool run(const std::filesystem::path &file) {
        ui.script_file(file.string());
        const bool started = download.download_command();
        EXPECT_TRUE(download.wait_finished(10000ms));
        return started;
    }

    // The measurement thread has connected afresh since `mark` and measures again.
    bool reconnected(std::size_t mark) {
        return ui.wait_for(Kind::repaint, 1, static_cast<int>(RepaintRequest::kFrame), mark,
                           10000ms) &&
               wait_measuring();
    }

    std::vector<std::string> firmware_messages(std::size_t since = 0) {
        std::vector<std::string> texts;
        for (const UiCall &c : ui.of_kind(Kind::message, since))
            if (c.caption == meterdesk::kFirmwareCaption && c.text != meterdesk::kFirmwareCaution)
                texts.push_back(c.text);
        return texts;
    }

    FakeSound sound;
    meterdesk::FirmwareTiming timing{{5ms, 3000ms}, {std::chrono::milliseconds(300)}};
    FirmwareDownload download{state, ui, sound, timing};
    std::filesystem::path source;
};

TEST_F(FirmwareDownloadTest, GoodDownloadSendsTheCopyAndReconnects) {
    write_file(source, hex_source(4));
    const auto plug_before = sim_get("plug_id");
    const auto mark = ui.size();
    ASSERT_TRUE(run(source));
    EXPECT_EQ(download.download_result(), meterdesk::kDownloadDone);
    EXPECT_TRUE(firmware_messages(mark).empty());

    const std::string copy = read_file(meterdesk::firmware_copy_path());
    EXPECT_EQ(copy,
              meterdesk::firmware_copy_text(meterdesk::normalise_firmware(hex_source(4)).lines));
    EXPECT_EQ(sim_get("firmware_lines"), copy);
    const auto opens = ui.of_kind(Kind::progress_open, mark);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].caption, meterdesk::kFirmwareProgressBox);
    EXPECT_EQ(opens[0].text, meterdesk::kFirmwareProgressText);
    EXPECT_EQ(opens[0].number, 6); // the copy's lines
    EXPECT_EQ(ui.count(Kind::progress_step, mark), 6);
    EXPECT_EQ(ui.count(Kind::progress_close, mark), 1);
    EXPECT_EQ(sound.beeps().size(), 1u);
    // The session was ended and the sensor is found again with its new firmware.
    EXPECT_TRUE(reconnected(mark));
    EXPECT_TRUE(state.live_readout_enabled);
    EXPECT_EQ(sim_get("plug_id"), plug_before); // reconnected, not replugged
}

TEST_F(FirmwareDownloadTest, ChoosingTheCopyItselfAsSourceWorks) {
    write_file(meterdesk::firmware_copy_path(), hex_source(2));
    ASSERT_TRUE(run(meterdesk::firmware_copy_path()));
    EXPECT_EQ(download.download_result(), meterdesk::kDownloadDone);
    EXPECT_EQ(sim_get("firmware_lines"), read_file(meterdesk::firmware_copy_path()));
}

TEST_F(FirmwareDownloadTest, RefusedFileNamesItsLineKeepsTheCopyAndSendsNothing) {
    write_file(meterdesk::firmware_copy_path(), "previous copy\n");
    std::string bad = hex_source(3);
    bad.replace(bad.find(":10002000"), 9, ":10002100"); // checksum no longer fits
    write_file(source, bad);
    const auto commands = sim_get("commands");
    EXPECT_FALSE(run(source));
    EXPECT_EQ(download.download_result(), meterdesk::kDownloadBadData);
    EXPECT_EQ(
        firmware_messages(),
        std::vector<std::string>{"Syntax error/bad data\n\n" + source.string() +
                                 ", line 4: checksum error.\nNothing was sent to the sensor."});
    EXPECT_EQ(read_file(meterdesk::firmware_copy_path()), "previous copy\n");
    EXPECT_EQ(sim_get("commands").find("DLOAD"), std::string::npos);
    EXPECT_EQ(ui.count(Kind::progress_open), 0);
    (void)commands;
}

TEST_F(FirmwareDownloadTest, MissingSourceGivesFileNotFound) {
    EXPECT_FALSE(run(app.path() / "Firmware" / "none.hex"));
    EXPECT_EQ(download.download_result(), meterdesk::kDownloadSourceMissing);
    EXPECT_EQ(firmware_messages(),
              std::vector<std::string>{"File not found: " +
                                       (app.path() / "Firmware" / "none.hex").string()});
}

// A fault set once line 1 is out counts lines 2, 3, ... as commands 1, 2, ...
TEST_F(FirmwareDownloadTest, SensorFailingAtLineNReportsWhatItAcknowledged) {
    write_file(source, hex_source(6)); // 8 lines
    const int n = 8;
    const int failing_line = 5;
    const char *faults[] = {"corrupt", "silent", "unplug"};
    for (const char *fault : faults) {
        SCOPED_TRACE(fault);
        const auto mark = ui.size();
        SteppingUi stepping;
        FirmwareDownload job{state, stepping, sound, timing};
        stepping.on_step = [&](int step) {
            if (step == 1)
                set("fault", std::string(fault) + "@" + std::to_string(failing_line - 1));
        };
        stepping.script_file(source.string());
        ASSERT_TRUE(job.download_command());
        ASSERT_TRUE(job.wait_finished(10000ms)); // a silent sensor costs one bounded wait
        EXPECT_EQ(job.download_result(), meterdesk::kDownloadBadData);
        const auto messages = stepping.message_texts();
        ASSERT_EQ(messages.size(), 2u); // the caution, then the failure
        EXPECT_EQ(messages[1],
                  "Syntax error/bad data\n\nThe sensor acknowledged " +
                      std::to_string(failing_line - 1) + " of " + std::to_string(n) +
                      " lines; its firmware may be incomplete. Run Firmware Download again; if "
                      "the sensor no longer connects, reprogram it with the FLASH programmer.");
        EXPECT_EQ(stepping.count(Kind::progress_close), 1);
        set("fault", "none");
        set("plugged", "1");
        ASSERT_TRUE(reconnected(mark));
        EXPECT_TRUE(state.live_readout_enabled);
    }
}

TEST_F(FirmwareDownloadTest, CancellingTheDialogOrTheCautionLeavesTheSensorAlone) {
    write_file(source, hex_source(2));
    std::string commands;
    {
        // The measurement loop and the library's reader parked: nothing else talks to the sensor.
        meterdesk::SensorTakeover takeover(state, {5ms, 3000ms});
        ASSERT_TRUE(takeover);
        ASSERT_EQ(SensorComms(takeover.sensor(), 0), 1);
        commands = sim_get("commands");
        EXPECT_FALSE(download.download_command()); // no file chosen
        ui.script_file(source.string());
        ui.script_answer(MessageAnswer::kCancel);
        EXPECT_FALSE(download.download_command());
        EXPECT_EQ(sim_get("commands"), commands);
        SensorComms(takeover.sensor(), 1);
    }
    EXPECT_EQ(ui.count(Kind::progress_open), 0);
    EXPECT_EQ(download.download_result(), -1);
}

} // namespace

namespace {

// In realistic timing, warm and with noise: the acknowledgements come one latency apart.
class FirmwareDownloadSlow : public FirmwareDownloadTest {
  protected:
    void SetUp() override {
        configure("timing = realistic\nlatency_ms = 1\ntemperature_c = 40\nnoise_uv = 5\n");
        start();
        ASSERT_TRUE(wait_measuring(20000ms));
        source = app.path() / "Firmware" / "fw.hex";
    }
};

TEST_F(FirmwareDownloadSlow, GoodDownloadInRealisticTiming) {
    write_file(source, hex_source(40));
    const auto mark = ui.size();
    ASSERT_TRUE(run(source));
    EXPECT_EQ(download.download_result(), meterdesk::kDownloadDone);
    EXPECT_TRUE(firmware_messages(mark).empty());
    EXPECT_EQ(sim_get("firmware_lines"), read_file(meterdesk::firmware_copy_path()));
    EXPECT_TRUE(
        ui.wait_for(Kind::repaint, 1, static_cast<int>(RepaintRequest::kFrame), mark, 20000ms));
    EXPECT_TRUE(wait_measuring(20000ms));
}

} // namespace
