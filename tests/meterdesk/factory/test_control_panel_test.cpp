// The calibration and test control panel: its opening, the serial-number file names, the type
// text of both brands, the selections, and the equation save with its caution box.
#include "meterdesk/factory/equation_dialogs.h"
#include "meterdesk/factory/equation_save.h"
#include "meterdesk/factory/test_control_panel.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include <filesystem>
#include <fstream>

namespace {

using namespace meterdesk_test;
namespace ids = meterdesk::test_panel;
using meterdesk::DialogAction;

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
    value.resize(static_cast<std::size_t>(std::max(length, 0)));
    return value;
}

void write_file(const std::filesystem::path &file, const std::string &text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

TEST(TestPanelType, BothBrandsFromIndexThreeOn) {
    EXPECT_EQ(meterdesk::test_panel_type("RX100001", 0), "RX1");
    EXPECT_EQ(meterdesk::test_panel_type("XR0042", 2), "RX3LOKAN");
    EXPECT_EQ(meterdesk::test_panel_type("RX100001", 4), "RX4LO");
    EXPECT_EQ(meterdesk::test_panel_type("20612345", 1), "71312");
    EXPECT_EQ(meterdesk::test_panel_type("20612345", 4), "71326");
}

class TestControlPanelTest : public SettingsTest {
  protected:
    meterdesk::TestControlPanel panel() {
        return meterdesk::TestControlPanel(
            state, ui,
            {[this] { ++checks_opened; }, [this] { ++disconnects; }, {5ms, 3000ms}, march_5_2006});
    }
    FakeControls controls{ids::kType,
                          ids::kSerial,
                          ids::kSerialFileNames,
                          ids::kSelectEquationData,
                          ids::kEquationDataEdit,
                          ids::kSelectResults,
                          ids::kResultsEdit,
                          ids::kSelectTestPlan,
                          ids::kTestPlanEdit,
                          ids::kSaveEquation,
                          ids::kSaveCalFactors,
                          ids::kView,
                          ids::kCheck,
                          ids::kCalBeforeTesting,
                          ids::kDaily50MHz,
                          ids::kDailyMultiFreq,
                          ids::kDaily1GHz,
                          ids::kDailyEquation,
                          ids::kDailyCf,
                          ids::kDaily50MHzFilter,
                          ids::kClose,
                          meterdesk::test_exec_box::kFourPart,
                          meterdesk::test_exec_box::kThreePart,
                          meterdesk::test_exec_box::kPlay,
                          meterdesk::test_exec_box::kSaveViewListing,
                          meterdesk::test_exec_box::kCheckLimit,
                          meterdesk::test_exec_box::kWarningLimit};
    int checks_opened = 0;
    int disconnects = 0;
};

TEST_F(TestControlPanelTest, SerialFileNamesFollowTheBrandFolder) {
    connect("serial = RXZ0042\n");
    state.serial_file_names = true;
    state.daily_cal_50mhz_filter = true;
    auto p = panel();
    p.open(controls);
    const auto root = home.path() / "Zyn Quorix Test";
    EXPECT_EQ(controls.text(ids::kResultsEdit), (root / "Test Results" / "RXZ0042.txt").string());
    EXPECT_EQ(controls.text(ids::kEquationDataEdit),
              (root / "Equation Data" / "RXZ0042.txt").string());
    EXPECT_EQ(controls.text(ids::kTestPlanEdit),
              (home.path() / "test" / "sensor test plan").string());
    EXPECT_FALSE(controls.enabled(ids::kSelectResults));
    EXPECT_FALSE(controls.enabled(ids::kResultsEdit));
    EXPECT_EQ(controls.text(ids::kType), "RX4LO");
    EXPECT_EQ(controls.text(ids::kSerial), "RXZ0042");
    EXPECT_FALSE(state.daily_cal_50mhz_filter);
    EXPECT_FALSE(controls.enabled(ids::kView));
    EXPECT_FALSE(controls.enabled(ids::kSaveCalFactors));

    controls.set_checked(ids::kSerialFileNames, false);
    p.clicked(controls, ids::kSerialFileNames);
    EXPECT_FALSE(state.serial_file_names);
    EXPECT_EQ(state.test_results_path.get(), (root / "Test Results" / "").string());
    EXPECT_TRUE(controls.enabled(ids::kSelectResults));

    // A cancelled selection leaves the folder as the path.
    p.clicked(controls, ids::kSelectTestPlan);
    EXPECT_EQ(state.test_plan_path.get(), (home.path() / "test" / "sensor test plan").string());
    ui.script_file("/plans/a.txt");
    p.clicked(controls, ids::kSelectTestPlan);
    EXPECT_EQ(controls.text(ids::kTestPlanEdit), "/plans/a.txt");

    p.clicked(controls, ids::kDaily1GHz);
    EXPECT_FALSE(state.daily_cal_at_50mhz);
    EXPECT_TRUE(controls.checked(ids::kDaily1GHz));
    EXPECT_FALSE(controls.checked(ids::kDaily50MHz));
    p.clicked(controls, ids::kCheck);
    EXPECT_EQ(checks_opened, 1);
}

TEST_F(TestControlPanelTest, CancellingTheEquationSaveWritesNothing) {
    connect();
    auto p = panel();
    p.open(controls);
    const std::string equation = sim_get("area.eq");
    ui.script_answer(MessageAnswer::kCancel);
    EXPECT_EQ(p.clicked(controls, ids::kSaveEquation), DialogAction::kStay);
    EXPECT_EQ(ui.message_texts().back(), meterdesk::kEquationCaution);
    EXPECT_TRUE(state.live_readout_enabled);
    EXPECT_EQ(sim_get("area.eq"), equation);
    EXPECT_EQ(disconnects, 0);
}

TEST_F(TestControlPanelTest, EquationSaveWritesTheFitEvenWhenBadThenDisconnects) {
    connect();
    state.tes_four_part = false;
    state.tes_check_limit_db = 0.001;
    const auto levmar = meterdesk::levmar_folder();
    write_file(levmar / "data_to_fit.dat", "-25 0.0001\n-24 0.00013\n-23 0.00016\n");
    write_file(levmar / "fn_dn_ou.dat",
               "x\n\n0.35 47.0 -0.17\n\n38.9 0.66 -0.15 1.99\n\n-49.5 0.98 0.89\n");
    auto p = panel();
    p.open(controls);
    EXPECT_EQ(p.clicked(controls, ids::kSaveEquation), DialogAction::kClose);
    const auto texts = ui.message_texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].substr(0, 9), "Bad fit.\n");
    EXPECT_EQ(sim_get("area.eq").substr(160, 48),
              "0000000000000000000000000000F03F000000000000F03F");
    EXPECT_EQ(sim_get("stamp.eq"), "050306");
    EXPECT_EQ(disconnects, 1);
    EXPECT_TRUE(state.live_readout_enabled);
}

TEST_F(TestControlPanelTest, TestExecSettingsApplyWritesTheFileAndTheTemplate) {
    const auto levmar = meterdesk::levmar_folder();
    write_file(levmar / "fn_dn_three_part.dat", "three\n");
    namespace box = meterdesk::test_exec_box;
    meterdesk::open_test_exec_box(state, controls);
    EXPECT_EQ(controls.text(box::kCheckLimit), "0.050dB");
    EXPECT_EQ(controls.text(box::kWarningLimit), "0.50dBm");
    EXPECT_TRUE(controls.checked(box::kFourPart));
    meterdesk::test_exec_box_clicked(state, ui, controls, box::kThreePart);
    controls.set_text(box::kCheckLimit, "0.125dB");
    controls.set_text(box::kWarningLimit, "x");
    EXPECT_EQ(meterdesk::test_exec_box_clicked(state, ui, controls, box::kApply),
              DialogAction::kStay);
    EXPECT_EQ(ui.message_texts().back(), "Test Error Warning Limit must be a number above 0.");
    controls.set_text(box::kWarningLimit, "0.75");
    EXPECT_EQ(meterdesk::test_exec_box_clicked(state, ui, controls, box::kApply),
              DialogAction::kClose);
    EXPECT_FALSE(state.tes_four_part);
    EXPECT_EQ(state.tes_check_limit_db, 0.125);
    std::ifstream copy(levmar / "fn_dn.dat");
    std::string line;
    std::getline(copy, line);
    EXPECT_EQ(line, "three");
    std::ifstream tes(home.path() / "tes.dat", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(tes)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.size(), 18u);
    EXPECT_EQ(bytes[0], 0);
}

} // namespace
