// The factory's "Sensor Calibration & Test Control Panel" (resource "TestControlPanel", modal,
// command 40067): the sensor's type and serial number, the data files of the calibration and
// test steps, the equation save and the equation fit check.
//
// Test plans live in the install root's "test/sensor test plan" folder, for the panel's path as
// for its file dialog.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/core/sensor_takeover.h"

#include <ctime>
#include <functional>
#include <string>

namespace meterdesk {

struct AppState;
class Ui;

namespace test_panel {
inline constexpr const char *kResourceName = "TestControlPanel";
inline constexpr const char *kCaption = "Sensor Calibration & Test Control Panel";
inline constexpr int kType = 1495;
inline constexpr int kSerial = 1403;
inline constexpr int kSerialFileNames = 1496;
inline constexpr int kSelectEquationData = 1455;
inline constexpr int kEquationDataEdit = 1498;
inline constexpr int kSelectResults = 1507;
inline constexpr int kResultsEdit = 1508;
inline constexpr int kSelectTestPlan = 1503;
inline constexpr int kTestPlanEdit = 1504;
inline constexpr int kSaveEquation = 1500;
inline constexpr int kSaveCalFactors = 1502;
inline constexpr int kView = 1427;
inline constexpr int kCheck = 1539;
inline constexpr int kCalBeforeTesting = 1505;
inline constexpr int kDaily50MHz = 1537;
inline constexpr int kDailyMultiFreq = 1538;
inline constexpr int kDaily1GHz = 1540;
inline constexpr int kDailyEquation = 1686;
inline constexpr int kDailyCf = 1687;
inline constexpr int kDaily50MHzFilter = 1706;
inline constexpr int kClose = 1509;
} // namespace test_panel

inline constexpr const char *kEquationCaution =
    "CAUTION\n\nThis procedure will\nover-write the current\nequation values.";

// The Type text: first brand (serial beginning R or X) "RX1", "RX2LOKAN", "RX3LOKAN" for model
// indexes 0, 1, 2 and "RX4LO" above; second brand "71308", "71312", "71318", else "71326".
std::string test_panel_type(const std::string &serial, int model_index);

struct TestControlPanelLinks {
    // Opens "EquationCheckBox" modally.
    std::function<void()> open_equation_check;
    // Disconnects the sensor so that it is identified again with its new data.
    std::function<void()> force_disconnect;
    TakeoverTiming takeover;
    // The date stamped with a saved equation; the local date when not given.
    std::function<std::tm()> today;
};

class TestControlPanel {
  public:
    TestControlPanel(AppState &state, Ui &ui, TestControlPanelLinks links = {});

    void open(Controls &controls);
    DialogAction clicked(Controls &controls, int id);

  private:
    void set_paths(Controls &controls);
    void select(Controls &controls, int id);
    void save_equation(DialogAction &action);

    AppState &state_;
    Ui &ui_;
    TestControlPanelLinks links_;
};

} // namespace meterdesk
