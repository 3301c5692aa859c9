// Save Setup and Recall Setup against the simulated sensor: the dialogs, the question before
// replacing, failed saves that keep the old file, and a recall that checks the whole file
// first, restores every field, tells the library what the file says, keeps what the sensor
// refuses, and asks for the screen in order.
#include "meterdesk/settings/setup_commands.h"
#include "meterdesk/settings/setup_file.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/support/file_size_limit.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

namespace {

using namespace meterdesk_test;
using meterdesk::SetupValues;
using Kind = UiCall::Kind;
namespace fs = std::filesystem;

// A setup as the program would write it, away from the connect defaults.
SetupValues sample_setup() {
    SetupValues v;
    v.meas_mode = 1217;
    v.meas_frequency_hz = 2.4e9;
    v.freq_units_mhz = false;
    v.cal_factor = 0.95;
    v.cal_from_table = true;
    v.offset_db = 3.5;
    v.offset_enabled = true;
    v.duty_cycle_percent = 25.0;
    v.duty_cycle_enabled = true;
    v.resolution_places = 1;
    v.resolution_radio_id = 1285;
    v.relative_ref_db = -7.5;
    v.relative_auto_set = false;
    v.maxmin_record = true;
    v.relative_enabled = true;
    v.display_setup = 1;
    v.info_panel_shown = false;
    v.meter_auto = false;
    v.readout_top = 0;
    v.meter_max_db = 10.0;
    v.meter_min_db = -30.0;
    v.meter_max_mw = 10.0;
    v.meter_min_mw = 0.001;
    v.meter_unit_mw = 1.0;
    v.meter_unit_index = 1;
    v.limit_high_db = 5.0;
    v.limit_low_db = -20.0;
    v.limits_beep = true;
    v.limits_enabled = true;
    v.trace_samples = 300;
    v.trace_period_s = 2.5;
    v.trace_period_in_seconds = true;
    v.trace_units = 1120;
    v.trace_autoscale = false;
    v.plot_min = -40.0;
    v.plot_max = 15.0;
    v.trace_temperature = true;
    v.trace_temp_autoscale = false;
    v.temp_min = 10.0;
    v.temp_max = 60.0;
    v.temp_comp_active = true;
    return v;
}

class SetupCommandsTest : public SettingsTest {
  protected:
    fs::path setup_folder() {
        const fs::path folder = meterdesk::paths::setup_folder(state.app_dir.get());
        fs::create_directories(folder);
        return folder;
    }
    // Writes a setup file for `family` into the setup folder; returns its path.
    std::string write_setup(const std::string &name, const SetupValues &values,
                            const std::string &family = "RX4LOKAN") {
        const fs::path path = setup_folder() / name;
        std::tm date{};
        date.tm_mday = 1;
        date.tm_year = 120;
        std::ofstream(path, std::ios::binary) << meterdesk::setup_file_text(family, values, date);
        return path.string();
    }
    static std::string read(const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> messages(std::size_t mark) {
        std::vector<std::string> out;
        for (const UiCall &call : ui.of_kind(Kind::message, mark)) {
            EXPECT_EQ(call.icon, MessageIcon::kExclamation);
            out.push_back(call.caption + "|" + call.text);
        }
        return out;
    }
};

TEST_F(SetupCommandsTest, SaveWritesTheSetupInTheSetupFolder) {
    connect();
    const std::string path = (setup_folder() / "bench setup").string(); // no dot: still listed
    state.trace_period_s = 1.23;
    state.meas_frequency_hz = 123456789.0;
    ui.script_file(path);
    const auto mark = ui.size();
    EXPECT_TRUE(meterdesk::save_setup_command(state, ui));
    const auto dialogs = ui.of_kind(Kind::save_file_dialog, mark);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, setup_folder().string());
    EXPECT_EQ(dialogs[0].text, "All Files (*.*)");
    EXPECT_TRUE(messages(mark).empty());
    EXPECT_EQ(state.setup_save_path.get(), path);

    const std::string text = read(path);
    const std::regex layout("RX4LOKAN SETUP FILE \\*\\*\\* DO NOT EDIT \\*\\*\\*\r\n"
                            "[0-9]{1,2}\\.[0-9]{1,2}\\.[0-9]{2} at [0-9]{1,2}:[0-9]{2}:[0-9]{2}\r\n"
                            "1218\r\n"
                            "123456789\\.000 1\r\n"
                            "[01]\\.[0-9]{3} 1\r\n"
                            "0\\.00 0\r\n"
                            "100\\.00 0\r\n"
                            "3 1287\r\n"
                            "0\\.000 1 0 0\r\n"
                            "0 1 1 20\r\n"
                            "20\\.00 -50\\.00 100\\.0000 0\\.0000 1\\.0000 1\r\n"
                            "20\\.00 -50\\.00 0 0\r\n"
                            "10 1\\.2 1 1122 1 0\\.00 0\\.00\r\n"
                            "0 1 0\\.0 0\\.0\r\n"
                            "0\r\n");
    EXPECT_TRUE(std::regex_match(text, layout)) << text;
}

TEST_F(SetupCommandsTest, ReplacingAFileAsksFirstAndCancelKeepsIt) {
    connect();
    const std::string path = (setup_folder() / "old.txt").string();
    std::ofstream(path) << "old bytes";
    ui.script_answer(MessageAnswer::kCancel);
    auto mark = ui.size();
    EXPECT_FALSE(meterdesk::save_setup(state, ui, path));
    const auto asked = ui.of_kind(Kind::message, mark);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "Save Setup To File");
    EXPECT_EQ(asked[0].text, "File " + path + " alreday exists.\nOK to replace?");
    EXPECT_EQ(asked[0].buttons, MessageButtons::kOkCancel);
    EXPECT_EQ(read(path), "old bytes");

    ui.script_answer(MessageAnswer::kOk);
    EXPECT_TRUE(meterdesk::save_setup(state, ui, path));
    EXPECT_TRUE(read(path).starts_with("RX4LOKAN SETUP FILE"));
}

TEST_F(SetupCommandsTest, AFailedSaveSaysSoAndKeepsTheOldFile) {
    connect();
    const std::string path = (setup_folder() / "kept.txt").string();
    std::ofstream(path) << "old bytes";
    const std::string failure =
        "Save Setup To File|File access failed.\n\nCheck a valid file name has been selected.";
    auto mark = ui.size();
    bool saved = true;
    {
        FileSizeLimit full_disk(64);
        saved = meterdesk::save_setup(state, ui, path); // OK to replace (the empty script)
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(messages(mark).back(), failure);
    EXPECT_EQ(read(path), "old bytes");
    EXPECT_EQ(std::distance(fs::directory_iterator(setup_folder()), {}), 1) << "no leftovers";

    const struct {
        std::string path;
    } failing[] = {
        {(setup_folder() / "no such folder" / "setup.txt").string()},
        {setup_folder().string()},                            // a folder
        {(setup_folder() / std::string(5000, 'x')).string()}, // longer than a path field
    };
    for (const auto &c : failing) {
        mark = ui.size();
        EXPECT_FALSE(meterdesk::save_setup(state, ui, c.path));
        EXPECT_EQ(messages(mark), std::vector<std::string>{failure});
    }
}

TEST_F(SetupCommandsTest, AnEmptyAnswerOfTheDialogIsCancel) {
    connect();
    const auto mark = ui.size();
    ui.script_file("");
    EXPECT_FALSE(meterdesk::save_setup_command(state, ui));
    ui.script_file("");
    EXPECT_FALSE(meterdesk::recall_setup_command(state, ui));
    EXPECT_TRUE(messages(mark).empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(setup_folder()), {}), 0);
}

TEST_F(SetupCommandsTest, RecallRestoresEveryFieldAndTellsTheLibrary) {
    connect();
    state.limit_low_mw = 0.5;
    state.limit_high_mw = 2000.0;
    state.limits_unit_index = 2;
    state.limits_unit_mw = 1000.0;
    const SetupValues v = sample_setup();
    const std::string path = write_setup("sample.txt", v);

    state.live_readout_enabled = false; // only the recall's repaints, in order
    std::this_thread::sleep_for(30ms);
    const auto mark = ui.size();
    ui.script_file(path);
    EXPECT_TRUE(meterdesk::recall_setup_command(state, ui));
    EXPECT_EQ(messages(mark),
              std::vector<std::string>{
                  "Recall Setup From File|New settings loaded.\nSensor zero recommended"});
    std::vector<int> repaints;
    for (const UiCall &call : ui.of_kind(Kind::repaint, mark)) repaints.push_back(call.number);
    EXPECT_EQ(repaints, (std::vector<int>{1, 3, 5, 4}));
    EXPECT_TRUE(state.status_repaint_request);
    EXPECT_EQ(state.setup_recall_path.get(), path);

    EXPECT_EQ(state.meas_mode, 1217);
    EXPECT_EQ(state.meas_frequency_hz, 2.4e9);
    EXPECT_FALSE(state.freq_units_mhz);
    EXPECT_TRUE(state.cal_from_table);
    const SensorSettingsRecord lib = library();
    EXPECT_EQ(lib.frequency, 2.4e9);
    EXPECT_NEAR(state.cal_factor * 100.0, lib.cal_factor, 1e-9) << "the table's factor in force";
    EXPECT_EQ(state.offset_db, 3.5);
    EXPECT_NEAR(state.offset_multiplier, std::pow(10.0, 0.35), 1e-12);
    EXPECT_TRUE(lib.offset_on);
    EXPECT_EQ(lib.offset, 3.5);
    EXPECT_EQ(state.duty_cycle_percent, 25.0);
    EXPECT_TRUE(lib.duty_on);
    EXPECT_EQ(lib.duty_cycle, 25.0);
    EXPECT_EQ(state.resolution_places, 1);
    EXPECT_EQ(state.resolution_radio_id, 1285);
    EXPECT_EQ(state.relative_ref_db, -7.5);
    EXPECT_NEAR(state.relative_ref_mw, std::pow(10.0, -0.75), 1e-12);
    EXPECT_TRUE(lib.relative_on);
    EXPECT_EQ(lib.relative_dbm, -7.5);
    EXPECT_NEAR(lib.relative_mw, std::pow(10.0, -0.75), 1e-12);
    EXPECT_FALSE(state.relative_auto_set);
    EXPECT_TRUE(state.maxmin_record);
    EXPECT_EQ(state.display_setup, 1);
    EXPECT_FALSE(state.info_panel_shown);
    EXPECT_FALSE(state.meter_auto);
    EXPECT_EQ(state.readout_top, 0);
    EXPECT_EQ(state.meter_max_db, 10.0);
    EXPECT_EQ(state.meter_min_db, -30.0);
    EXPECT_EQ(state.meter_max_mw, 10.0);
    EXPECT_EQ(state.meter_min_mw, 0.001);
    EXPECT_EQ(state.limit_high_db, 5.0);
    EXPECT_EQ(state.limit_low_db, -20.0);
    EXPECT_TRUE(state.limits_beep);
    EXPECT_TRUE(state.limits_enabled);
    // The file has no linear limits: they stay as they were.
    EXPECT_EQ(state.limit_low_mw, 0.5);
    EXPECT_EQ(state.limit_high_mw, 2000.0);
    EXPECT_EQ(state.limits_unit_index, 2);
    EXPECT_EQ(state.limits_unit_mw, 1000.0);
    EXPECT_EQ(state.trace_samples, 300);
    EXPECT_EQ(state.trace_period_s, 2.5);
    EXPECT_EQ(state.trace_units, 1120);
    EXPECT_FALSE(state.trace_autoscale);
    EXPECT_EQ(state.plot_min, -40.0);
    EXPECT_EQ(state.plot_max, 15.0);
    EXPECT_TRUE(state.trace_temperature);
    EXPECT_FALSE(state.trace_temp_autoscale);
    EXPECT_EQ(state.temp_min, 10.0);
    EXPECT_EQ(state.temp_max, 60.0);
    EXPECT_TRUE(state.temp_comp_active);
    {
        // The resolution reached the library's readout texts.
        meterdesk::SensorLease lease(state);
        char text[32] = {};
        ASSERT_NE(SensorPowerLinStr(lease.get(), text), 0);
        const std::string shown(text);
        const auto point = shown.find('.');
        ASSERT_NE(point, std::string::npos) << shown;
        EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(shown[point + 2]))) << shown;
    }
}

TEST_F(SetupCommandsTest, AManualCalFactorIsSentInPercentAndTemperatureRepaintsItsScreen) {
    connect();
    SetupValues v = sample_setup();
    v.cal_from_table = false;
    v.cal_factor = 0.95;
    v.meas_mode = 1219;
    v.meas_frequency_hz = 3e9;
    const std::string path = write_setup("manual.txt", v);
    state.live_readout_enabled = false;
    std::this_thread::sleep_for(30ms);
    const auto mark = ui.size();
    ASSERT_TRUE(meterdesk::recall_setup(state, ui, path).loaded);
    EXPECT_DOUBLE_EQ(library().cal_factor, 95.0);
    EXPECT_EQ(state.cal_factor, 0.95);
    EXPECT_FALSE(state.cal_from_table);
    EXPECT_EQ(library().frequency, 50e6) << "no frequency is sent with a manual cal factor";
    EXPECT_EQ(state.meas_frequency_hz, 3e9);
    std::vector<int> repaints;
    for (const UiCall &call : ui.of_kind(Kind::repaint, mark)) repaints.push_back(call.number);
    EXPECT_EQ(repaints, (std::vector<int>{1, 8}));
}

TEST_F(SetupCommandsTest, ARefusedFileChangesNothing) {
    connect();
    SetupValues v = sample_setup();
    v.trace_samples = 501;
    const std::string bad = write_setup("bad.txt", v);
    const std::string other_family = write_setup("rx2.txt", sample_setup(), "RX2LOKAN");
    const std::string missing = (setup_folder() / "missing.txt").string();
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {bad, "Bad value in setup file: " + bad + "\n\nLine 13: trace samples must be 10 to 500"},
        {other_family, "Wrong file type for recall: " + other_family},
        {missing, "Can't find file: " + missing},
        {setup_folder().string(), "Can't find file: " + setup_folder().string()},
    };
    for (const auto &c : cases) {
        const SensorSettingsRecord before = library();
        const auto mark = ui.size();
        ui.script_file(c.path);
        EXPECT_FALSE(meterdesk::recall_setup_command(state, ui));
        EXPECT_EQ(messages(mark), std::vector<std::string>{"Recall Setup From File|" + c.message});
        EXPECT_EQ(ui.count(Kind::repaint, mark) - ui.repaints(RepaintRequest::kLiveReadout, mark),
                  0);
        EXPECT_EQ(state.meas_mode, 1218);
        EXPECT_EQ(state.meas_frequency_hz, 50e6);
        EXPECT_EQ(state.trace_samples, 10);
        EXPECT_FALSE(state.offset_enabled);
        const SensorSettingsRecord after = library();
        EXPECT_EQ(after.frequency, before.frequency);
        EXPECT_EQ(after.offset_on, before.offset_on);
        EXPECT_EQ(after.relative_on, before.relative_on);
    }
}

TEST_F(SetupCommandsTest, TheFamilyDecidesWhichSensorsTakeAFile) {
    const struct {
        int model;
        bool taken;
    } cases[] = {{0, true}, {1, false}, {2, false}, {3, true}, {4, true}, {5, true}, {6, true}};
    for (const auto &c : cases) {
        connect(model_keys(c.model));
        SetupValues v = sample_setup();
        v.cal_from_table = false; // a manual factor: no frequency for the model to refuse
        v.meas_frequency_hz = 80e9;
        const std::string path = write_setup("rx4.txt", v);
        const auto mark = ui.size();
        EXPECT_EQ(meterdesk::recall_setup(state, ui, path).loaded, c.taken) << c.model;
        if (!c.taken) {
            EXPECT_EQ(messages(mark),
                      std::vector<std::string>{
                          "Recall Setup From File|Wrong file type for recall: " + path});
        }
    }
}

TEST_F(SetupCommandsTest, ValuesTheSensorRefusesAreKeptAndNamed) {
    connect(model_keys(0)); // 9 kHz to 8 GHz
    SetupValues v = sample_setup();
    v.meas_frequency_hz = 26e9;
    v.offset_db = 150.0;
    v.duty_cycle_percent = 0.0;
    const std::string path = write_setup("from an RX4LO.txt", v);
    const double old_factor = state.cal_factor;
    ui.script_file(path);
    const auto mark = ui.size();
    EXPECT_TRUE(meterdesk::recall_setup_command(state, ui));
    EXPECT_EQ(messages(mark),
              std::vector<std::string>{
                  "Recall Setup From File|New settings loaded.\nSensor zero recommended\n\n"
                  "Not accepted by the connected sensor, the previous value kept:\n"
                  "line 4 (frequency)\nline 6 (offset)\nline 7 (duty cycle)"});
    EXPECT_EQ(state.meas_frequency_hz, 50e6);
    EXPECT_EQ(library().frequency, 50e6);
    EXPECT_EQ(state.cal_factor, old_factor);
    EXPECT_EQ(state.offset_db, 0.0);
    EXPECT_EQ(state.offset_multiplier, 1.0);
    EXPECT_EQ(library().offset, 0.0);
    EXPECT_TRUE(state.offset_enabled) << "the switch is taken";
    EXPECT_EQ(state.duty_cycle_percent, 100.0);
    EXPECT_EQ(library().duty_cycle, 100.0);
    EXPECT_EQ(state.trace_samples, 300) << "the rest is taken";
}

TEST_F(SetupCommandsTest, SaveThenRecallGivesBackTheSetup) {
    connect();
    state.meas_mode = 1217;
    state.offset_enabled = true;
    state.offset_db = -2.25;
    state.relative_ref_db = 3.125;
    state.trace_samples = 77;
    state.trace_period_s = 1.23;
    state.temp_max = 33.3;
    const std::string path = (setup_folder() / "round trip.txt").string();
    ASSERT_TRUE(meterdesk::save_setup(state, ui, path));

    state.meas_mode = 1218;
    state.offset_enabled = false;
    state.offset_db = 0.0;
    state.relative_ref_db = 0.0;
    state.trace_samples = 10;
    state.temp_max = 0.0;
    ASSERT_TRUE(meterdesk::recall_setup(state, ui, path).loaded);
    EXPECT_EQ(state.meas_mode, 1217);
    EXPECT_TRUE(state.offset_enabled);
    EXPECT_EQ(state.offset_db, -2.25);
    EXPECT_EQ(library().offset, -2.25);
    EXPECT_EQ(state.relative_ref_db, 3.125);
    EXPECT_EQ(state.trace_samples, 77);
    EXPECT_EQ(state.trace_period_s, 1.2);
    EXPECT_EQ(state.temp_max, 33.3);
    EXPECT_EQ(state.meas_frequency_hz, 50e6);
}

TEST_F(SetupCommandsTest, APathLongerThanItsFieldIsRefusedNotCut) {
    connect();
    const std::string path = (setup_folder() / std::string(5000, 'r')).string();
    const auto mark = ui.size();
    ui.script_file(path);
    EXPECT_FALSE(meterdesk::recall_setup_command(state, ui));
    EXPECT_EQ(messages(mark),
              std::vector<std::string>{"Recall Setup From File|Can't find file: " + path});
    EXPECT_NE(state.setup_recall_path.get(), path.substr(0, meterdesk::kPathCapacity));
}

} // namespace
