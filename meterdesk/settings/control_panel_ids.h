// Control ids of the measurement control panel (resource "MeasurementControlPanel").
#pragma once

#include <array>

namespace meterdesk::control_panel {

inline constexpr const char *kResourceName = "MeasurementControlPanel";
inline constexpr const char *kCaptionPrefix = "Measurement Control Panel for ";

// "Measurement Mode": the ids are also the meas_mode values.
inline constexpr int kVolts = 1216;
inline constexpr int kLinear = 1217;
inline constexpr int kLog = 1218;
inline constexpr int kTemperature = 1219;

// "Measurement Frequency".
inline constexpr int kFrequencyEdit = 1063;
inline constexpr int kMhz = 1300;
inline constexpr int kGhz = 1301;

// "Calibration Factor".
inline constexpr int kCalFactorEdit = 1016;
inline constexpr int kUseTable = 1328;

// The offset group; its caption follows the mode.
inline constexpr int kOffsetGroup = 1622;
inline constexpr int kOffsetEdit = 1106;
inline constexpr int kOffsetEnable = 1105;

// "Duty Cycle ".
inline constexpr int kDutyEdit = 1224;
inline constexpr int kDutyEnable = 1225;

// "Measurement Resolution": radios for 0..3 decimal places.
inline constexpr int kResolutionNone = 1284;
inline constexpr int kResolutionThree = 1287;

// "Relative Measurement Mode" with "Max && Min".
inline constexpr int kRelativeEdit = 1279;
inline constexpr int kRelativeUnitLabel = 1514;
inline constexpr int kRelativeSet = 1281;
inline constexpr int kRelativeEnable = 1280;
inline constexpr int kRelativeAutoSet = 1329;
inline constexpr int kMaxMinRecord = 1464;
inline constexpr int kMaxMinClear = 1455;

// "Limits".
inline constexpr int kLowLimitLabel = 1513;
inline constexpr int kLowLimitEdit = 1289;
inline constexpr int kHighLimitLabel = 1512;
inline constexpr int kHighLimitEdit = 1288;
inline constexpr int kLimitsBeep = 1291;
inline constexpr int kLimitsEnable = 1290;
inline constexpr int kLimitsUnitLabel = 1637;
inline constexpr int kLimitsUnitList = 1636;

// "Display Setup": "Measurement", "Meter Scaling", "Info".
inline constexpr int kNumeric = 1205;
inline constexpr int kMeter = 1206;
inline constexpr int kBoth = 1207;
inline constexpr int kMeterAuto = 1208;
inline constexpr int kMeterMinLabel = 1346;
inline constexpr int kMeterMinEdit = 1209;
inline constexpr int kMeterMaxLabel = 1347;
inline constexpr int kMeterMaxEdit = 1211;
inline constexpr int kMeterUnitLabel = 1635;
inline constexpr int kMeterUnitList = 1634;
inline constexpr int kInfoShow = 1198;

// Buttons.
inline constexpr int kApply = 1327;
inline constexpr int kClose = 1326;
inline constexpr int kHelp = 1325;

// The setting controls, enabled and disabled together with the measurement mode.
inline constexpr std::array<int, 31> kSettingControls = {
    1063, 1300, 1301, 1016, 1328, 1106, 1105, 1224, 1225, 1284, 1285, 1286, 1287, 1279, 1281, 1329,
    1280, 1464, 1455, 1205, 1206, 1207, 1288, 1289, 1291, 1290, 1209, 1211, 1208, 1198, 1327};

// The two "Linear Units" lists and their labels, which follow their own enable rule.
inline constexpr std::array<int, 4> kUnitListControls = {kMeterUnitList, kMeterUnitLabel,
                                                         kLimitsUnitList, kLimitsUnitLabel};

// Every control the panel's logic reads or sets.
inline constexpr std::array<int, 47> kAllControls = {
    kVolts,
    kLinear,
    kLog,
    kTemperature,
    kFrequencyEdit,
    kMhz,
    kGhz,
    kCalFactorEdit,
    kUseTable,
    kOffsetGroup,
    kOffsetEdit,
    kOffsetEnable,
    kDutyEdit,
    kDutyEnable,
    1284,
    1285,
    1286,
    1287,
    kRelativeEdit,
    kRelativeUnitLabel,
    kRelativeSet,
    kRelativeEnable,
    kRelativeAutoSet,
    kMaxMinRecord,
    kMaxMinClear,
    kLowLimitLabel,
    kLowLimitEdit,
    kHighLimitLabel,
    kHighLimitEdit,
    kLimitsBeep,
    kLimitsEnable,
    kLimitsUnitLabel,
    kLimitsUnitList,
    kNumeric,
    kMeter,
    kBoth,
    kMeterAuto,
    kMeterMinLabel,
    kMeterMinEdit,
    kMeterMaxLabel,
    kMeterMaxEdit,
    kMeterUnitLabel,
    kMeterUnitList,
    kInfoShow,
    kApply,
    kClose,
    kHelp,
};

// Private commands the panel takes from the main window and the frequency box.
inline constexpr int kRefreshFrequencyCommand = 100;
inline constexpr int kReselectModeCommand = 101;
inline constexpr int kRefreshDisplaySetupCommand = 102;
inline constexpr int kRefreshResolutionCommand = 103;

} // namespace meterdesk::control_panel
