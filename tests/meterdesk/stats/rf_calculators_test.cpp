// The three RF calculators' logic against a fake dialog: texts, scroll rules and refusals.
#include "meterdesk/settings/rf_calculators.h"

#include "tests/meterdesk/support/fake_controls.h"
#include "tests/meterdesk/support/fake_ui.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace meterdesk;
using meterdesk_test::FakeControls;
using meterdesk_test::FakeUi;
namespace mm = meterdesk::mismatch_calculator;
namespace mw = meterdesk::microwave_calculator;
namespace pu = meterdesk::power_units_converter;

FakeControls mismatch_controls() {
    return FakeControls({mm::kSourceBar, mm::kLoadBar, mm::kSourceVswr, mm::kSourceRho,
                         mm::kSourceReturnLoss, mm::kLoadVswr, mm::kLoadRho, mm::kLoadReturnLoss,
                         mm::kMaximumVswr, mm::kCombinedReturnLoss, mm::kPlusUncertainty,
                         mm::kMinusUncertainty, mm::kMismatchLoss, mm::kClose, mm::kHelp});
}

TEST(MismatchCalculator, StartValues) {
    FakeControls controls = mismatch_controls();
    MismatchCalculator calculator;
    calculator.open(controls);
    EXPECT_EQ(controls.caption(), "VSWR Mismatch Calculator");
    EXPECT_EQ(controls.scroll_position(mm::kSourceBar), 200);
    EXPECT_EQ(controls.text(mm::kSourceVswr), "3.00");
    EXPECT_EQ(controls.text(mm::kLoadVswr), "3.00");
    EXPECT_EQ(controls.text(mm::kSourceRho), "0.500");
    EXPECT_EQ(controls.text(mm::kSourceReturnLoss), "6.02 dB");
    EXPECT_EQ(controls.text(mm::kLoadReturnLoss), "6.02 dB");
    EXPECT_EQ(controls.text(mm::kMaximumVswr), "9.00");
    EXPECT_EQ(controls.text(mm::kCombinedReturnLoss), "1.94 dB");
    EXPECT_EQ(controls.text(mm::kPlusUncertainty), "1.938 dB  (56.25%)");
    EXPECT_EQ(controls.text(mm::kMinusUncertainty), "-2.499 dB  (-43.75%)");
    EXPECT_EQ(controls.text(mm::kMismatchLoss), "1.25 dB");
}

// 200 steps of the left arrow reach VSWR 1 exactly (no accumulated 0.01s), and a step at the
// end does nothing.
TEST(MismatchCalculator, ArrowsToTheLeftEndReachExactlyOne) {
    FakeControls controls = mismatch_controls();
    MismatchCalculator calculator;
    calculator.open(controls);
    for (int i = 0; i < 201; ++i) {
        calculator.scrolled(controls, mm::kSourceBar, ScrollAction::kLineUp, 0);
        calculator.scrolled(controls, mm::kLoadBar, ScrollAction::kLineUp, 0);
    }
    EXPECT_EQ(controls.scroll_position(mm::kSourceBar), 0);
    EXPECT_EQ(controls.text(mm::kSourceVswr), "1.00");
    EXPECT_EQ(controls.text(mm::kSourceReturnLoss), "> 70 dB");
    EXPECT_EQ(controls.text(mm::kLoadReturnLoss), "> 70 dB");
    EXPECT_EQ(controls.text(mm::kCombinedReturnLoss), "Infinite");
    EXPECT_EQ(controls.text(mm::kPlusUncertainty), "0.000 dB  (0.00%)");
    EXPECT_EQ(controls.text(mm::kMinusUncertainty), "0.000 dB  (0.00%)");
    EXPECT_EQ(controls.text(mm::kMismatchLoss), "0.00 dB");
}

TEST(MismatchCalculator, DragSetsArrowsStepOthersRestore) {
    FakeControls controls = mismatch_controls();
    MismatchCalculator calculator;
    calculator.open(controls);
    calculator.scrolled(controls, mm::kLoadBar, ScrollAction::kThumbTrack, 400);
    EXPECT_EQ(controls.text(mm::kLoadVswr), "5.00");
    calculator.scrolled(controls, mm::kLoadBar, ScrollAction::kLineDown, 0);
    EXPECT_EQ(controls.scroll_position(mm::kLoadBar), 400);
    calculator.scrolled(controls, mm::kLoadBar, ScrollAction::kLineUp, 0);
    EXPECT_EQ(controls.text(mm::kLoadVswr), "4.99");
    for (ScrollAction other : {ScrollAction::kPageUp, ScrollAction::kPageDown, ScrollAction::kTop,
                               ScrollAction::kBottom, ScrollAction::kEndScroll}) {
        controls.set_scroll_position(mm::kLoadBar, 17); // the view moved the thumb
        calculator.scrolled(controls, mm::kLoadBar, other, 0);
        EXPECT_EQ(controls.scroll_position(mm::kLoadBar), 399);
        EXPECT_EQ(controls.text(mm::kLoadVswr), "4.99");
    }
    // The values live on: opening again shows them.
    calculator.open(controls);
    EXPECT_EQ(controls.text(mm::kLoadVswr), "4.99");
    EXPECT_EQ(controls.text(mm::kSourceVswr), "3.00");
}

TEST(MismatchCalculator, HelpShowsTopicThreeAndCloseHides) {
    FakeControls controls = mismatch_controls();
    int topic = -1;
    MismatchCalculator calculator([&topic](int t) { topic = t; });
    EXPECT_EQ(calculator.clicked(controls, mm::kHelp), DialogAction::kStay);
    EXPECT_EQ(topic, 3);
    EXPECT_EQ(calculator.clicked(controls, mm::kClose), DialogAction::kClose);
}

FakeControls microwave_controls() {
    return FakeControls({mw::kVswrRadio, mw::kRhoRadio, mw::kReturnLossRadio, mw::kEntry, mw::kVswr,
                         mw::kRho, mw::kReturnLoss, mw::kMismatchLoss, mw::kCalculate, mw::kClose,
                         mw::kHelp});
}

struct MicrowaveCase {
    int radio;
    const char *entry;
    const char *refusal = nullptr; // nullptr: accepted
    const char *vswr = nullptr;
    const char *rho = nullptr;
    const char *return_loss = nullptr;
    const char *mismatch_loss = nullptr;
};

TEST(MicrowaveCalculator, ResultsAndRefusals) {
    const char *vswr_refusal = "VSWR must be greater than one.";
    const char *rho_refusal =
        "Reflection Co-efficient\nmust be less than one\nand greater than zero.";
    const char *rl_refusal = "Return Loss can't be zero.";
    const MicrowaveCase cases[] = {
        {mw::kVswrRadio, "3", nullptr, "3.00", "0.500", "6.02", "1.25"},
        {mw::kVswrRadio, "1", vswr_refusal},
        {mw::kVswrRadio, "nan", vswr_refusal},
        {mw::kVswrRadio, "1e999", vswr_refusal},
        {mw::kVswrRadio, "abc", vswr_refusal},
        {mw::kRhoRadio, "0", rho_refusal},
        {mw::kRhoRadio, "1", rho_refusal},
        {mw::kRhoRadio, "nan", rho_refusal},
        {mw::kRhoRadio, "0.5", nullptr, "3.00", "0.500", "6.02", "1.25"},
        {mw::kReturnLossRadio, "0", rl_refusal},
        {mw::kReturnLossRadio, "1e999", rl_refusal},
        {mw::kReturnLossRadio, "-1e999", rl_refusal},
        {mw::kReturnLossRadio, "10", nullptr, "1.92", "0.316", "10.00", "0.46"},
        {mw::kReturnLossRadio, "-10", nullptr, "1.92", "0.316", "10.00", "0.46"},
        // Only 14 characters are read: "1.500000000000" then "9" is dropped.
        {mw::kVswrRadio, "1.5000000000009", nullptr, "1.50", "0.200", "13.98", "0.18"},
    };
    for (const MicrowaveCase &c : cases) {
        SCOPED_TRACE(c.entry);
        FakeUi ui;
        FakeControls controls = microwave_controls();
        MicrowaveCalculator calculator(ui);
        calculator.open(controls);
        calculator.clicked(controls, c.radio);
        for (int id : {mw::kVswr, mw::kRho, mw::kReturnLoss, mw::kMismatchLoss})
            controls.set_text(id, "old");
        controls.set_text(mw::kEntry, c.entry);
        EXPECT_EQ(calculator.clicked(controls, mw::kCalculate), DialogAction::kStay);
        EXPECT_EQ(controls.text(mw::kEntry), c.entry);
        if (c.refusal) {
            const auto messages = ui.of_kind(FakeUi::Kind::message);
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].caption, "Microwave Calculator");
            EXPECT_EQ(messages[0].text, c.refusal);
            EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
            EXPECT_EQ(controls.text(mw::kVswr), "old");
            EXPECT_EQ(controls.text(mw::kMismatchLoss), "old");
        } else {
            EXPECT_EQ(ui.count(FakeUi::Kind::message), 0);
            EXPECT_EQ(controls.text(mw::kVswr), c.vswr);
            EXPECT_EQ(controls.text(mw::kRho), c.rho);
            EXPECT_EQ(controls.text(mw::kReturnLoss), c.return_loss);
            EXPECT_EQ(controls.text(mw::kMismatchLoss), c.mismatch_loss);
        }
    }
}

TEST(MicrowaveCalculator, RadioIsRememberedAndHelpIsTopicTwo) {
    FakeUi ui;
    FakeControls controls = microwave_controls();
    int topic = -1;
    MicrowaveCalculator calculator(ui, [&topic](int t) { topic = t; });
    calculator.open(controls);
    EXPECT_TRUE(controls.checked(mw::kVswrRadio));
    calculator.clicked(controls, mw::kReturnLossRadio);
    FakeControls again = microwave_controls();
    calculator.open(again);
    EXPECT_TRUE(again.checked(mw::kReturnLossRadio));
    EXPECT_FALSE(again.checked(mw::kVswrRadio));
    calculator.clicked(again, mw::kHelp);
    EXPECT_EQ(topic, 2);
    EXPECT_EQ(calculator.clicked(again, mw::kClose), DialogAction::kClose);
}

TEST(PowerUnitsConverter, StartAndBothEnds) {
    FakeControls controls({pu::kBar, pu::kLog, pu::kLinear, pu::kClose});
    PowerUnitsConverter converter;
    converter.open(controls);
    EXPECT_EQ(controls.text(pu::kLog), "-20.000dBm");
    EXPECT_EQ(controls.text(pu::kLinear), "10.000uW");
    converter.scrolled(controls, pu::kBar, ScrollAction::kThumbPosition, 0);
    EXPECT_EQ(controls.text(pu::kLog), "-70.000dBm");
    EXPECT_EQ(controls.text(pu::kLinear), "100.000pW");
    converter.scrolled(controls, pu::kBar, ScrollAction::kLineUp, 0);
    EXPECT_EQ(controls.scroll_position(pu::kBar), 0);
    converter.scrolled(controls, pu::kBar, ScrollAction::kThumbTrack, 1000);
    EXPECT_EQ(controls.text(pu::kLog), "30.000dBm");
    EXPECT_EQ(controls.text(pu::kLinear), "1000.000mW");
    converter.scrolled(controls, pu::kBar, ScrollAction::kLineUp, 0);
    EXPECT_EQ(controls.text(pu::kLog), "29.900dBm");
    EXPECT_EQ(PowerUnitsConverter::linear_text(-35), "316.228nW");
    EXPECT_EQ(converter.clicked(controls, pu::kClose), DialogAction::kClose);
}

} // namespace
