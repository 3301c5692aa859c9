// The three RF calculators: VSWR mismatch, microwave parameters and power units. Each is the
// logic of a modeless dialog, created once with its panel and kept for the whole run, so that
// its values live as long as the program (they are not saved). They touch no sensor.
//
// The two scroll-bar calculators apply one step rule to the events their dialog forwards:
// dragging sets the position to the thumb's, the left and right arrows step it by one within
// the range, and every other action puts the thumb back where the value is.
#pragma once

#include "meterdesk/base/controls.h"

#include <functional>
#include <string>

namespace meterdesk {

class Ui;

// The position after a scroll event under the calculators' rule.
int calculator_scroll_position(int position, ScrollAction action, int drag_position, int minimum,
                               int maximum);

namespace mismatch_calculator {
inline constexpr const char *kResourceName = "MismatchCalculatorBox";
inline constexpr const char *kCaption = "VSWR Mismatch Calculator";
inline constexpr int kSourceBar = 1591;
inline constexpr int kLoadBar = 1592;
inline constexpr int kSourceVswr = 1593;
inline constexpr int kSourceRho = 1594;
inline constexpr int kSourceReturnLoss = 1601;
inline constexpr int kLoadVswr = 1595;
inline constexpr int kLoadRho = 1596;
inline constexpr int kLoadReturnLoss = 1602;
inline constexpr int kMaximumVswr = 1403;
inline constexpr int kCombinedReturnLoss = 1597;
inline constexpr int kPlusUncertainty = 1598;
inline constexpr int kMinusUncertainty = 1599;
inline constexpr int kMismatchLoss = 1600;
inline constexpr int kClose = 1603;
inline constexpr int kHelp = 1604;
inline constexpr int kHelpTopic = 3;
inline constexpr int kMaximumPosition = 400;
} // namespace mismatch_calculator

class MismatchCalculator {
  public:
    // `show_help(topic)` opens the help window at a topic.
    explicit MismatchCalculator(std::function<void(int topic)> show_help = {});

    void open(Controls &controls);
    void scrolled(Controls &controls, int id, ScrollAction action, int drag_position);
    DialogAction clicked(Controls &controls, int id);

    // The VSWR of a bar position: 1.00 at the left end, 5.00 at the right.
    static double vswr_of(int position) { return 1.0 + 0.01 * position; }

  private:
    void show(Controls &controls) const;

    std::function<void(int)> show_help_;
    int source_position_ = 200;
    int load_position_ = 200;
};

namespace microwave_calculator {
inline constexpr const char *kResourceName = "uWaveCalculatorBox";
inline constexpr const char *kCaption = "Microwave Parameters Calculator";
inline constexpr const char *kRefusalCaption = "Microwave Calculator";
inline constexpr int kVswrRadio = 1581;
inline constexpr int kRhoRadio = 1582;
inline constexpr int kReturnLossRadio = 1583;
inline constexpr int kEntry = 1584;
inline constexpr int kVswr = 1403;
inline constexpr int kRho = 1585;
inline constexpr int kReturnLoss = 1586;
inline constexpr int kMismatchLoss = 1587;
inline constexpr int kCalculate = 1589;
inline constexpr int kClose = 1590;
inline constexpr int kHelp = 1455;
inline constexpr int kHelpTopic = 2;
inline constexpr std::size_t kEntryChars = 14;
} // namespace microwave_calculator

class MicrowaveCalculator {
  public:
    MicrowaveCalculator(Ui &ui, std::function<void(int topic)> show_help = {});

    void open(Controls &controls);
    DialogAction clicked(Controls &controls, int id);

  private:
    void calculate(Controls &controls);

    Ui &ui_;
    std::function<void(int)> show_help_;
    int selected_ = microwave_calculator::kVswrRadio;
};

namespace power_units_converter {
inline constexpr const char *kResourceName = "PowerUnitsConverterBox";
inline constexpr const char *kCaption = "Power Units Converter";
inline constexpr int kBar = 1578;
inline constexpr int kLog = 1579;
inline constexpr int kLinear = 1403;
inline constexpr int kClose = 1580;
inline constexpr int kMaximumPosition = 1000;
} // namespace power_units_converter

class PowerUnitsConverter {
  public:
    void open(Controls &controls);
    void scrolled(Controls &controls, int id, ScrollAction action, int drag_position);
    DialogAction clicked(Controls &controls, int id);

    // "10.000uW" for -20 dBm.
    static std::string linear_text(double dbm);

  private:
    void show(Controls &controls) const;

    int position_ = 500;
};

} // namespace meterdesk
